# CLI11, which reads torva-port's command line: the headers of Debian's
# libcli11-dev, for the Windows programs too. The cross compiler gets
# them alone, in a folder of their own, since /usr/include holds this
# machine's C library as well.
if(WIN32 AND CMAKE_CROSSCOMPILING)
  set(cli11_include ${PROJECT_BINARY_DIR}/cli11-include)
  if(NOT EXISTS /usr/include/CLI/CLI.hpp)
    message(FATAL_ERROR "CLI11's headers are missing: install libcli11-dev (make deps)")
  endif()
  file(MAKE_DIRECTORY ${cli11_include})
  file(CREATE_LINK /usr/include/CLI ${cli11_include}/CLI SYMBOLIC)
  add_library(cli11 INTERFACE)
  target_include_directories(cli11 SYSTEM INTERFACE ${cli11_include})
  add_library(CLI11::CLI11 ALIAS cli11)
else()
  find_package(CLI11 REQUIRED)
endif()
