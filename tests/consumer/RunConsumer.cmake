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

# The same program through the pkg-config file, where pkg-config is present.
find_program(PKG_CONFIG pkg-config)
find_program(CXX_COMPILER NAMES c++ g++)
if(PKG_CONFIG AND CXX_COMPILER)
  set(ENV{PKG_CONFIG_PATH} ${WORK_DIR}/prefix/lib/pkgconfig)
  run(${PKG_CONFIG} --cflags --libs quillmap)
  string(STRIP "${run_output}" flags)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  run(${CXX_COMPILER} -std=c++17 ${SOURCE_DIR}/main.cpp ${flags} -o ${WORK_DIR}/pkgconfig-consumer)
  run(${WORK_DIR}/pkgconfig-consumer)
  if(NOT run_output STREQUAL "42\n")
    message(FATAL_ERROR "Unexpected pkg-config consumer output: '${run_output}'")
  endif()
endif()
