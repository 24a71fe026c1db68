# The installed package: the numerical library, the horn model, the row layer and
# (when oneTBB is there) its batch entry points, with their headers (under
# include/kelvor, included as "rows/rows.hpp" and so on), the umbrella target
# kelvor::kelvor, and a CMake package config for
#   find_package(kelvor CONFIG REQUIRED)
#   target_link_libraries(app PRIVATE kelvor::kelvor)
# The program and, when built, the Python package are installed too.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(KELVOR_PACKAGE_LIBRARIES kelvor_numeric kelvor_horn kelvor_rows)
set(KELVOR_PACKAGE_NEEDS_TBB OFF)
if(TARGET kelvor_batch)
  list(APPEND KELVOR_PACKAGE_LIBRARIES kelvor_batch)
  set(KELVOR_PACKAGE_NEEDS_TBB ON)
  set_target_properties(kelvor_batch PROPERTIES EXPORT_NAME batch)
endif()
# The model-true numerics (composite Gauss-Legendre, the phase-centre fit), where Boost.Math was found.
if(TARGET kelvor_numeric_model)
  list(APPEND KELVOR_PACKAGE_LIBRARIES kelvor_numeric_model)
  set_target_properties(kelvor_numeric_model PROPERTIES EXPORT_NAME numeric_model)
endif()
# The model-true feed library, where Boost.Math was found; it links oneTBB privately when found.
if(TARGET kelvor_feed)
  list(APPEND KELVOR_PACKAGE_LIBRARIES kelvor_feed)
  set_target_properties(kelvor_feed PROPERTIES EXPORT_NAME feed)
  if(KELVOR_FEED_TBB)
    set(KELVOR_PACKAGE_NEEDS_TBB ON)
  endif()
endif()
# The mode-matching library, where Boost.Math and Eigen were found; it links oneTBB privately when
# found.
if(TARGET kelvor_modal)
  list(APPEND KELVOR_PACKAGE_LIBRARIES kelvor_modal)
  set_target_properties(kelvor_modal PROPERTIES EXPORT_NAME modal)
  if(KELVOR_MODAL_TBB)
    set(KELVOR_PACKAGE_NEEDS_TBB ON)
  endif()
endif()
add_library(kelvor_kelvor INTERFACE)
add_library(kelvor::kelvor ALIAS kelvor_kelvor)
target_link_libraries(kelvor_kelvor INTERFACE ${KELVOR_PACKAGE_LIBRARIES})

set_target_properties(kelvor_numeric PROPERTIES EXPORT_NAME numeric)
set_target_properties(kelvor_horn PROPERTIES EXPORT_NAME horn)
set_target_properties(kelvor_rows PROPERTIES EXPORT_NAME rows)
set_target_properties(kelvor_kelvor PROPERTIES EXPORT_NAME kelvor)
set_target_properties(kelvor_exact_fp PROPERTIES EXPORT_NAME exact_fp)

set(KELVOR_INCLUDE_DIR ${CMAKE_INSTALL_INCLUDEDIR}/kelvor)
set(KELVOR_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/kelvor)
# Each library's headers are the list that its folder gives (kelvor_public_headers).
install(TARGETS kelvor_exact_fp ${KELVOR_PACKAGE_LIBRARIES} kelvor_kelvor EXPORT kelvorTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        FILE_SET HEADERS DESTINATION ${KELVOR_INCLUDE_DIR}
        INCLUDES DESTINATION ${KELVOR_INCLUDE_DIR})
install(EXPORT kelvorTargets NAMESPACE kelvor:: DESTINATION ${KELVOR_CMAKE_DIR})

configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/kelvorConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/kelvorConfig.cmake
                              INSTALL_DESTINATION ${KELVOR_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/kelvorConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/kelvorConfig.cmake
              ${PROJECT_BINARY_DIR}/kelvorConfigVersion.cmake
        DESTINATION ${KELVOR_CMAKE_DIR})

install(TARGETS kelvor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The Python package goes to the interpreter's site folder under the prefix
# (python/CMakeLists.txt): /usr/local/lib/python3.11/dist-packages on Debian.
if(TARGET _kelvor)
  install(TARGETS _kelvor LIBRARY DESTINATION ${KELVOR_PYTHON_DIR}/kelvor COMPONENT python)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/python/kelvor DESTINATION ${KELVOR_PYTHON_DIR}
          COMPONENT python
          FILES_MATCHING PATTERN "*.py" PATTERN "*.pyi" PATTERN "py.typed")
endif()
