# pugixml, which writes check's JUnit reports: Debian's package on Linux
# (libpugixml-dev); for the Windows programs, built here from Debian's
# source of it, which scripts/setup/debian-source.sh fetches into the
# build folder the first time (Debian ships no Windows build of it).
if(WIN32 AND CMAKE_CROSSCOMPILING)
  execute_process(
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/setup/debian-source.sh pugixml ${PROJECT_BINARY_DIR}/debian-sources
    OUTPUT_VARIABLE pugixml_source OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE fetched)
  if(NOT fetched EQUAL 0 OR NOT EXISTS ${pugixml_source}/src/pugixml.cpp)
    message(FATAL_ERROR "pugixml's source could not be fetched (scripts/setup/debian-source.sh pugixml)")
  endif()
  add_library(pugixml STATIC ${pugixml_source}/src/pugixml.cpp)
  target_include_directories(pugixml SYSTEM PUBLIC ${pugixml_source}/src)
  # Its own code, as its authors keep it: none of this project's warnings.
  target_compile_options(pugixml PRIVATE -w)
  add_library(pugixml::pugixml ALIAS pugixml)
else()
  find_package(pugixml REQUIRED)
endif()
