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
# The model-true feed library, where Boost.Math was found; it links oneTBB privately when found.
if(TARGET kelvor_feed)
  list(APPEND KELVOR_PACKAGE_LIBRARIES kelvor_feed)
  set_target_properties(kelvor_feed PROPERTIES EXPORT_NAME feed)
  if(KELVOR_FEED_TBB)
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
install(TARGETS kelvor_exact_fp ${KELVOR_PACKAGE_LIBRARIES} kelvor_kelvor EXPORT kelvorTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${KELVOR_INCLUDE_DIR})
set(KELVOR_HEADER_DIRS numeric horn rows)
if(TARGET kelvor_feed)
  list(APPEND KELVOR_HEADER_DIRS feed)
endif()
foreach(dir ${KELVOR_HEADER_DIRS})
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/${dir} DESTINATION ${KELVOR_INCLUDE_DIR}
          FILES_MATCHING PATTERN "*.hpp"
          PATTERN "test_support.hpp" EXCLUDE PATTERN "*_reference.hpp" EXCLUDE
          PATTERN "bessel.hpp" EXCLUDE)
endforeach()
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

# The Python package goes where Debian's python3 looks for packages under the
# prefix (/usr/local/lib/python3/dist-packages for the default prefix).
if(TARGET _kelvor)
  set(KELVOR_PYTHON_DIR lib/python3/dist-packages CACHE STRING
      "Install folder of the Python package, relative to the prefix")
  install(TARGETS _kelvor LIBRARY DESTINATION ${KELVOR_PYTHON_DIR}/kelvor)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/python/kelvor DESTINATION ${KELVOR_PYTHON_DIR}
          FILES_MATCHING PATTERN "*.py")
endif()
