# Flags for the programs we hand out: hardened where the toolchain allows,
# and the same bytes from the same commit wherever it is built.

# Paths into the source tree, the build folder under it included, are
# written relative to it into debug information and __FILE__.
if(NOT MSVC)
  add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.)
endif()

# The Windows programs: relocatable at a random base (ASLR, with a 64-bit
# address space where the program is 64-bit) and data never executable
# (DEP). mingw-w64's GCC 12 and binutils 2.40 have no Control Flow Guard.
# No link time in the program file's header either.
if(MINGW)
  add_link_options(LINKER:--dynamicbase LINKER:--nxcompat LINKER:--no-insert-timestamp)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    add_link_options(LINKER:--high-entropy-va)
  endif()
endif()

# The Debian package: Debian's own hardening flags (fortify, stack
# protector, relro, bindnow, PIE), as dpkg-buildflags gives them.
option(TORVA_DPKG_BUILDFLAGS "Build with the flags of dpkg-buildflags (hardening=+all)" OFF)
if(TORVA_DPKG_BUILDFLAGS)
  set(ENV{DEB_BUILD_MAINT_OPTIONS} "hardening=+all")
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(COMMAND dpkg-buildflags --get ${kind}
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
      OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    if(kind STREQUAL "LDFLAGS")
      add_link_options(${flags})
    else()
      add_compile_options(${flags})
    endif()
  endforeach()
endif()
