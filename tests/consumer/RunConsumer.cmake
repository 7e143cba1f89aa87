# Installs the build tree into a fresh prefix, then configures, builds and
# runs the consumer project against it. Variables: BINARY_DIR (the project's
# build), SOURCE_DIR (this folder), WORK_DIR (scratch).
file(REMOVE_RECURSE ${WORK_DIR})

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "Command failed (${status}): ${ARGN}\n${out}\n${err}")
  endif()
  set(run_output "${out}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} --install ${BINARY_DIR} --prefix ${WORK_DIR}/prefix)
run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/build -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix)
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
run(${WORK_DIR}/build/consumer)
if(NOT run_output STREQUAL "42\n")
  message(FATAL_ERROR "Unexpected consumer output: '${run_output}'")
endif()
foreach(installed bin/quillmap share/man/man1/quillmap.1 lib/pkgconfig/quillmap.pc
        include/quillmap/grid/TMap.h)
  if(NOT EXISTS ${WORK_DIR}/prefix/${installed})
    message(FATAL_ERROR "Not installed: ${installed}")
  endif()
endforeach()
