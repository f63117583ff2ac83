# The version forms for Windows from versions of one to four numbers, and
# the manifests written with them: their assembly identity always has four
# parts.
#   cmake -DSOURCE=<source tree> -DSCRATCH=<folder> -P version_forms_test.cmake
include(${SOURCE}/cmake/Version.cmake)

# version | version record's numbers | its text | manifest's version
set(cases
  "1.0.0.4|1,0,0,4|1.00.0004|1.0.0.4"
  "1.1|1,1,0,0|1.01.0000|1.1.0.0"
  "2|2,0,0,0|2.00.0000|2.0.0.0"
  "1.2.3|1,2,3,0|1.02.0000|1.2.3.0"
  "10.20.30.40|10,20,30,40|10.20.0040|10.20.30.40")
set(manifests panel/torva-inout.manifest.in tools/torva-port.manifest.in)

foreach(case IN LISTS cases)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 version)
  list(GET fields 1 parts)
  list(GET fields 2 text)
  list(GET fields 3 dotted)
  torva_version_forms(${version})
  foreach(form parts:TORVA_VERSION_PARTS text:TORVA_VERSION_TEXT dotted:TORVA_MANIFEST_VERSION)
    string(REPLACE ":" ";" pair ${form})
    list(GET pair 0 wanted)
    list(GET pair 1 variable)
    if(NOT "${${variable}}" STREQUAL "${${wanted}}")
      message(SEND_ERROR "${version}: ${variable} is ${${variable}}, not ${${wanted}}")
    endif()
  endforeach()
  foreach(manifest IN LISTS manifests)
    get_filename_component(name ${manifest} NAME_WE)
    configure_file(${SOURCE}/${manifest} ${SCRATCH}/${name}-${version}.manifest @ONLY)
    file(READ ${SCRATCH}/${name}-${version}.manifest written)
    string(REGEX MATCH "<assemblyIdentity type=\"win32\" name=\"[^\"]+\" version=\"([^\"]*)\"" found "${written}")
    set(identity "${CMAKE_MATCH_1}")
    if(NOT identity MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+$" OR NOT identity STREQUAL dotted)
      message(SEND_ERROR "${version}: ${manifest} names version \"${identity}\", not ${dotted}")
    endif()
  endforeach()
  message(STATUS "${version}: ${TORVA_VERSION_PARTS}, ${TORVA_VERSION_TEXT}, manifests ${TORVA_MANIFEST_VERSION}")
endforeach()
