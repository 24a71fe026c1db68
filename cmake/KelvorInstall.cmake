# The installed package: the core (the numerical library, the horn model and the row
# layer, with their headers under include/kelvor, included as "rows/rows.hpp" and so
# on) and two optional components, each with its own dependency:
#   batch  the row layer's batch entry points (oneTBB when it was built with it);
#   feed   the model-true feed library (oneTBB when it was built with it);
#   modal  the mode-matching engine (oneTBB when it was built with it);
#   asbuilt  the horn as built: synthesis, optimisation (NLopt), exports; it loads feed
#          and modal too.
# A consumer names the components it uses, and oneTBB is sought only for them:
#   find_package(kelvor CONFIG REQUIRED)                    # the core alone
#   find_package(kelvor CONFIG REQUIRED COMPONENTS batch)   # and the batch library
#   target_link_libraries(app PRIVATE kelvor::kelvor)       # all that was found
# Every target carries C++20 as a usage requirement, so the consumer needs no standard
# of its own. The program, its manual page and, when built, the Python package are
# installed too.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(KELVOR_PACKAGE_LIBRARIES kelvor_numeric kelvor_horn kelvor_rows)
set(KELVOR_PACKAGE_COMPONENTS "")
set(KELVOR_PACKAGE_TBB_COMPONENTS "")
if(TARGET kelvor_batch)
  list(APPEND KELVOR_PACKAGE_COMPONENTS batch)
  if(KELVOR_BATCH_TBB)
    list(APPEND KELVOR_PACKAGE_TBB_COMPONENTS batch)
  endif()
endif()
# The model-true numerics (composite Gauss-Legendre, the phase-centre fit), where Boost.Math was found.
if(TARGET kelvor_numeric_model)
  list(APPEND KELVOR_PACKAGE_LIBRARIES kelvor_numeric_model)
endif()
# Boost.Math is used inside the feed library only; no consumer needs it.
if(TARGET kelvor_feed)
  list(APPEND KELVOR_PACKAGE_COMPONENTS feed)
  if(KELVOR_FEED_TBB)
    list(APPEND KELVOR_PACKAGE_TBB_COMPONENTS feed)
  endif()
endif()
# The mode-matching library, where Boost.Math and Eigen were found (both inside it alone);
# it spreads bands over the cores with oneTBB when it was built so.
if(TARGET kelvor_modal)
  list(APPEND KELVOR_PACKAGE_COMPONENTS modal)
  if(KELVOR_MODAL_TBB)
    list(APPEND KELVOR_PACKAGE_TBB_COMPONENTS modal)
  endif()
endif()
# The horn as built, where modal/, feed/ and NLopt were found: it needs both components and
# NLopt (Debian's libnlopt-cxx-dev) in the consumer.
set(KELVOR_PACKAGE_NLOPT_COMPONENTS "")
if(TARGET kelvor_asbuilt)
  list(APPEND KELVOR_PACKAGE_COMPONENTS asbuilt)
  list(APPEND KELVOR_PACKAGE_NLOPT_COMPONENTS asbuilt)
endif()
add_library(kelvor_kelvor INTERFACE)
add_library(kelvor::kelvor ALIAS kelvor_kelvor)
target_link_libraries(kelvor_kelvor INTERFACE ${KELVOR_PACKAGE_LIBRARIES})

list(TRANSFORM KELVOR_PACKAGE_COMPONENTS PREPEND kelvor_ OUTPUT_VARIABLE component_libraries)
foreach(library IN LISTS KELVOR_PACKAGE_LIBRARIES component_libraries)
  string(REGEX REPLACE "^kelvor_" "" name ${library})
  set_target_properties(${library} PROPERTIES EXPORT_NAME ${name})
  target_compile_features(${library} PUBLIC cxx_std_20)
endforeach()
set_target_properties(kelvor_kelvor PROPERTIES EXPORT_NAME kelvor)
set_target_properties(kelvor_exact_fp PROPERTIES EXPORT_NAME exact_fp)

set(KELVOR_INCLUDE_DIR ${CMAKE_INSTALL_INCLUDEDIR}/kelvor)
set(KELVOR_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/kelvor)
# Each library's headers are the list that its folder gives (kelvor_public_headers).
set(KELVOR_INSTALL_LIBRARY ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    FILE_SET HEADERS DESTINATION ${KELVOR_INCLUDE_DIR} INCLUDES DESTINATION ${KELVOR_INCLUDE_DIR})
install(TARGETS kelvor_exact_fp ${KELVOR_PACKAGE_LIBRARIES} kelvor_kelvor EXPORT kelvorTargets
        ${KELVOR_INSTALL_LIBRARY})
install(EXPORT kelvorTargets NAMESPACE kelvor:: DESTINATION ${KELVOR_CMAKE_DIR})
# Each component in an export file of its own, which the config loads on request.
foreach(component IN LISTS KELVOR_PACKAGE_COMPONENTS)
  install(TARGETS kelvor_${component} EXPORT kelvor-${component} ${KELVOR_INSTALL_LIBRARY})
  install(EXPORT kelvor-${component} NAMESPACE kelvor:: DESTINATION ${KELVOR_CMAKE_DIR}
          FILE kelvor-${component}-targets.cmake)
endforeach()

configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/kelvorConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/kelvorConfig.cmake
                              INSTALL_DESTINATION ${KELVOR_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/kelvorConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/kelvorConfig.cmake
              ${PROJECT_BINARY_DIR}/kelvorConfigVersion.cmake
        DESTINATION ${KELVOR_CMAKE_DIR})

install(TARGETS kelvor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The manual page and the changelog, compressed as Debian's tools expect (gzip -n:
# no name or time in the header, so the bytes depend on the text alone); the licence,
# as the .deb's copyright file or at the top of the .tar.gz (components that cpack
# installs for its generator alone).
if(NOT WIN32)
  set(KELVOR_MAINTAINER "KELVOR developers <kelvor@example.org>" CACHE STRING
      "Name and e-mail address of the .deb's maintainer")
  configure_file(${PROJECT_SOURCE_DIR}/docs/kelvor.1 ${PROJECT_BINARY_DIR}/doc/kelvor.1 @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/docs/changelog ${PROJECT_BINARY_DIR}/doc/changelog @ONLY)
  set(compressed ${PROJECT_BINARY_DIR}/doc/kelvor.1.gz ${PROJECT_BINARY_DIR}/doc/changelog.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND sh -c "gzip -9n -c kelvor.1 > kelvor.1.gz && gzip -9n -c changelog > changelog.gz"
    DEPENDS ${PROJECT_BINARY_DIR}/doc/kelvor.1 ${PROJECT_BINARY_DIR}/doc/changelog
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}/doc VERBATIM)
  add_custom_target(kelvor_docs ALL DEPENDS ${compressed})
  install(FILES ${PROJECT_BINARY_DIR}/doc/kelvor.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${PROJECT_BINARY_DIR}/doc/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR}
          RENAME copyright COMPONENT deb EXCLUDE_FROM_ALL)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . COMPONENT archive EXCLUDE_FROM_ALL)
endif()

# The Python package goes to the interpreter's site folder under the prefix
# (python/CMakeLists.txt): /usr/local/lib/python3.11/dist-packages on Debian.
if(TARGET _kelvor)
  install(TARGETS _kelvor LIBRARY DESTINATION ${KELVOR_PYTHON_DIR}/kelvor COMPONENT python)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/python/kelvor DESTINATION ${KELVOR_PYTHON_DIR}
          COMPONENT python
          FILES_MATCHING PATTERN "*.py" PATTERN "*.pyi" PATTERN "py.typed")
endif()
