# One helper adds every unit test with the same flags and labels:
#   kelvor_add_test(besj0_test SOURCES besj0_test.cpp LIBS kelvor_numeric)
if(KELVOR_TESTS)
  enable_testing()
  find_package(GTest REQUIRED)
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
  # Tests are listed when ctest runs, not when the binary is linked: a new case folder under
  # tests/cases is then run at once, without a rebuild.
  gtest_discover_tests(${name} PROPERTIES LABELS ${T_LABEL} DISCOVERY_TIMEOUT 60
                       DISCOVERY_MODE PRE_TEST)
endfunction()
