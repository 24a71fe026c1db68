# One helper adds every unit test with the same flags and labels:
#   kelvor_add_test(besj0_test SOURCES besj0_test.cpp LIBS kelvor_numeric)
if(KELVOR_TESTS)
  enable_testing()
  if(CMAKE_CROSSCOMPILING)
    # A cross build has no GoogleTest for its target: build the host's source of
    # it with the same compiler, quietly (its code is not held to our warnings).
    # Debian's googletest package puts it in src/googletest under the prefix that
    # holds CMake itself.
    cmake_path(GET CMAKE_COMMAND PARENT_PATH host_bin)
    cmake_path(GET host_bin PARENT_PATH host_prefix)
    find_path(KELVOR_GTEST_SOURCE CMakeLists.txt PATHS ${host_prefix} PATH_SUFFIXES src/googletest
              NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH
              DOC "GoogleTest's source, built for a cross build's tests")
    if(NOT KELVOR_GTEST_SOURCE)
      message(FATAL_ERROR "No GoogleTest source (scripts/install-deps); set KELVOR_GTEST_SOURCE")
    endif()
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${KELVOR_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    target_compile_options(gtest PRIVATE -w)
    target_compile_options(gtest_main PRIVATE -w)
  else()
    find_package(GTest REQUIRED)
  endif()
  include(GoogleTest)
endif()

function(kelvor_add_test name)
  if(NOT KELVOR_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "LABEL" "SOURCES;LIBS" ${ARGN})
  if(NOT T_LABEL)
    set(T_LABEL unit)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    # Under an emulator every program start costs; one test per program.
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS ${T_LABEL})
  else()
    gtest_discover_tests(${name} PROPERTIES LABELS ${T_LABEL} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
