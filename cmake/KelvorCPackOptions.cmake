# Read by cpack for each generator (CPACK_PROJECT_CONFIG_FILE).
include(${CPACK_KELVOR_SOURCE_DIR}/cmake/KelvorSourceDate.cmake)
kelvor_source_date_epoch(${CPACK_KELVOR_SOURCE_DIR} CPACK_KELVOR_EPOCH)
# Under /usr in the .deb, with the licence as its copyright file; the .tar.gz holds
# bin/, include/, lib/, share/ and the LICENSE at its top.
set(bin ${CPACK_KELVOR_BINARY_DIR})
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_INSTALL_CMAKE_PROJECTS "${bin};kelvor;Unspecified;/;${bin};kelvor;deb;/")
else()
  set(CPACK_INSTALL_CMAKE_PROJECTS "${bin};kelvor;Unspecified;/;${bin};kelvor;archive;/")
endif()
