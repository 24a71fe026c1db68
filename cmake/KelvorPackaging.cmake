# The downloads, each named with the project version (from the file VERSION):
# - Linux (cpack in a build folder): kelvor-<version>-Linux.tar.gz and
#   kelvor_<version>_<arch>.deb, each with the program and the C++ package
#   (static libraries, headers, CMake package config), stripped, under /usr in
#   the .deb. The Python package is left out: the wheel is its download.
# - Windows (target windows_zip of the cross build): kelvor-<version>-windows-x86_64.zip
#   with the stripped kelvor.exe and a README for Windows users.
if(WIN32)
  set(zip_name kelvor-${PROJECT_VERSION}-windows-x86_64)
  set(zip_stage ${PROJECT_BINARY_DIR}/zip/${zip_name})
  # The README in the line ends Notepad expects.
  configure_file(${PROJECT_SOURCE_DIR}/docs/README-windows.txt ${zip_stage}/README.txt @ONLY
                 NEWLINE_STYLE CRLF)
  add_custom_target(windows_zip
    COMMAND ${CMAKE_STRIP} -o ${zip_stage}/kelvor.exe $<TARGET_FILE:kelvor>
    COMMAND ${CMAKE_COMMAND} -E tar cf ${PROJECT_BINARY_DIR}/${zip_name}.zip --format=zip
            ${zip_name}
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}/zip
    DEPENDS kelvor
    COMMENT "Packing ${zip_name}.zip"
    VERBATIM)
  return()
endif()

set(CPACK_PACKAGE_NAME kelvor)
set(CPACK_PACKAGE_VENDOR "KELVOR")
set(CPACK_PACKAGE_CONTACT "KELVOR maintainers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Conical corrugated horns designed to beamwidth: the console program and its C++ libraries")
set(CPACK_GENERATOR TGZ DEB)
set(CPACK_STRIP_FILES ON)
# The program and the C++ package (the default install component); the Python
# package has its own download.
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};kelvor;Unspecified;/")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The batch library's consumers link oneTBB themselves.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libtbb-dev")
# Under /usr in the .deb; the .tar.gz holds bin/, include/ and lib/ at its top.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/KelvorCPackOptions.cmake)
include(CPack)
