# ctest driver: install the build into a fresh prefix, then configure, build and
# run the consumer project against it: with the components it names, and as the
# core alone with oneTBB out of reach.
#   cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DWORK_DIR=... -DGENERATOR=... -P build_consumer.cmake
file(REMOVE_RECURSE ${WORK_DIR})
function(step)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "failed (${status}): ${ARGN}")
  endif()
endfunction()
step(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix)
foreach(variant components core)
  set(build ${WORK_DIR}/${variant})
  set(options -DKELVOR_CORE_ONLY=OFF)
  if(variant STREQUAL "core")
    set(options -DKELVOR_CORE_ONLY=ON -DCMAKE_DISABLE_FIND_PACKAGE_TBB=ON)
  endif()
  step(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${build} -G ${GENERATOR} ${options}
       -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix -DCMAKE_CXX_COMPILER=${CXX_COMPILER})
  step(${CMAKE_COMMAND} --build ${build})
  step(${build}/consumer)
endforeach()
