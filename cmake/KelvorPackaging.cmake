# The downloads, each named with the project version (from the file VERSION):
# - Linux (cpack in a build folder): kelvor-<version>-Linux.tar.gz and
#   kelvor_<version>_<arch>.deb, each with the program and the C++ package
#   (static libraries, headers, CMake package config), stripped, under /usr in
#   the .deb, with the manual page, the changelog and the licence. The Python
#   package is left out: the wheel is its download.
# - Windows (target windows_zip of the cross build): kelvor-<version>-windows-x86_64.zip
#   with the stripped kelvor.exe, a README for Windows users and the licence.
if(WIN32)
  set(zip_name kelvor-${PROJECT_VERSION}-windows-x86_64)
  set(zip_stage ${PROJECT_BINARY_DIR}/zip/${zip_name})
  # The README and the licence in the line ends Notepad expects.
  configure_file(${PROJECT_SOURCE_DIR}/docs/README-windows.txt ${zip_stage}/README.txt @ONLY
                 NEWLINE_STYLE CRLF)
  configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${zip_stage}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
  # The program as linked when it is linked stripped (KELVOR_SHIP, as the preset windows
  # does): strip would stamp the time into its header again.
  set(zip_program ${CMAKE_STRIP} -o)
  if(KELVOR_SHIP)
    set(zip_program ${CMAKE_COMMAND} -E copy)
  endif()
  add_custom_target(windows_zip
    COMMAND ${zip_program} $<TARGET_FILE:kelvor> ${zip_stage}/kelvor.exe
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DNAME=${zip_name}
            -DOUTPUT=${PROJECT_BINARY_DIR}/${zip_name}.zip -P ${CMAKE_CURRENT_LIST_DIR}/KelvorZip.cmake
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}/zip
    DEPENDS kelvor
    COMMENT "Packing ${zip_name}.zip"
    VERBATIM)
  return()
endif()

set(CPACK_PACKAGE_NAME kelvor)
set(CPACK_PACKAGE_VENDOR "KELVOR")
# KELVOR_MAINTAINER: cmake/KelvorInstall.cmake (the changelog names it too).
set(CPACK_PACKAGE_CONTACT "${KELVOR_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "conical corrugated horns designed to beamwidth")
set(CPACK_PACKAGE_DESCRIPTION "KELVOR designs a conical corrugated horn to a required beamwidth at a given
pattern level, and gives the frequency response (beamwidths, gain and phase
centre) of a horn over a band, by a dialogue on the console that writes every
table to a report file.
.
This package holds the program kelvor and its C++ libraries (static, with
their headers and a CMake package): the horn model, the design and response
rows, the batch entry points over oneTBB and the model-true feed library.")
set(CPACK_GENERATOR TGZ DEB)
set(CPACK_STRIP_FILES ON)
# The downloads alone in packages/; cpack stages its files in cpack/.
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/cpack)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_BINARY_DIR}/packages)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The batch library's and the feed library's consumers link oneTBB themselves.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libtbb-dev")
# Every staged file gets one timestamp (SOURCE_DATE_EPOCH, else the last commit's),
# so that two builds of one commit give the same archives.
set(CPACK_KELVOR_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_KELVOR_BINARY_DIR ${PROJECT_BINARY_DIR})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/KelvorCPackStage.cmake)
# The install components per generator (the Python package has its own download).
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/KelvorCPackOptions.cmake)
include(CPack)
