# Installs the build tree into a fresh prefix, then configures, builds and
# runs the consumer project against it, and checks that exactly the public
# headers were installed. Variables: BINARY_DIR (the project's build),
# PUBLIC_HEADERS (comma-separated, relative to the include folder),
# SOURCE_DIR (this folder), CXX (the compiler), WORK_DIR (scratch).
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK_DIR})

include(${CMAKE_CURRENT_LIST_DIR}/Run.cmake)

run(${CMAKE_COMMAND} --install ${BINARY_DIR} --prefix ${WORK_DIR}/prefix)
run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/build -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix
  -DCMAKE_CXX_COMPILER=${CXX})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
run(${WORK_DIR}/build/consumer)
if(NOT run_output STREQUAL "42\n")
  message(FATAL_ERROR "Unexpected consumer output: '${run_output}'")
endif()
foreach(installed bin/quillmap share/man/man1/quillmap.1 lib/pkgconfig/quillmap.pc)
  if(NOT EXISTS ${WORK_DIR}/prefix/${installed})
    message(FATAL_ERROR "Not installed: ${installed}")
  endif()
endforeach()

# Every public header is installed, and nothing else: no header of the
# library's private layers and helpers (text/, the tokenizer, the walk).
string(REPLACE "," ";" public "${PUBLIC_HEADERS}")
file(GLOB_RECURSE installed RELATIVE ${WORK_DIR}/prefix/include/quillmap
  ${WORK_DIR}/prefix/include/quillmap/*)
foreach(header IN LISTS public)
  if(NOT header IN_LIST installed)
    message(FATAL_ERROR "Public header not installed: ${header}")
  endif()
endforeach()
foreach(header IN LISTS installed)
  if(NOT header IN_LIST public)
    message(FATAL_ERROR "Private header installed: ${header}")
  endif()
endforeach()

# The same program through the pkg-config file, where pkg-config is present.
find_program(PKG_CONFIG pkg-config)
if(PKG_CONFIG)
  set(ENV{PKG_CONFIG_PATH} ${WORK_DIR}/prefix/lib/pkgconfig)
  run(${PKG_CONFIG} --cflags --libs quillmap)
  string(STRIP "${run_output}" flags)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  run(${CXX} -std=c++17 ${SOURCE_DIR}/main.cpp ${flags} -o ${WORK_DIR}/pkgconfig-consumer)
  run(${WORK_DIR}/pkgconfig-consumer)
  if(NOT run_output STREQUAL "42\n")
    message(FATAL_ERROR "Unexpected pkg-config consumer output: '${run_output}'")
  endif()
endif()
