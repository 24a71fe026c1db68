# ctest driver of the layering probes (tests/CMakeLists.txt): builds each probe target and
# checks that a forbidden include fails for want of its header and an allowed one compiles.
#   cmake -DBUILD_DIR=... -DPROBES=target:header:allowed|forbidden,... -P layering.cmake
string(REPLACE "," ";" probes ${PROBES})
foreach(probe ${probes})
  string(REPLACE ":" ";" fields ${probe})
  list(GET fields 0 target)
  list(GET fields 1 header)
  list(GET fields 2 verdict)
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${target}
                  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  string(REGEX MATCH "${header}'?:? (No such file|file not found)" missing "${output}")
  if(verdict STREQUAL "allowed" AND NOT status EQUAL 0)
    message(SEND_ERROR "${target}: the allowed include of ${header} does not compile:\n${output}")
  elseif(verdict STREQUAL "forbidden" AND (status EQUAL 0 OR NOT missing))
    message(SEND_ERROR "${target}: the include of ${header} is not refused for want of it:\n${output}")
  endif()
endforeach()
