# Configures, builds and runs the add_subdirectory consumer, then checks from
# its compile commands that the toolkit's sources keep their reproducibility
# flag while the consumer's own source gets none of the project's flags.
# Variables: QUILLMAP_SOURCE_DIR (the project), SOURCE_DIR (the consumer),
# CXX (the compiler), WORK_DIR (scratch).
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK_DIR})

include(${CMAKE_CURRENT_LIST_DIR}/Run.cmake)

# Unoptimised, as the library is built once more here: what counts is which
# flags each source gets, and that the program links and runs.
run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR} -DCMAKE_BUILD_TYPE=
  -DCMAKE_CXX_COMPILER=${CXX} -DQUILLMAP_SOURCE_DIR=${QUILLMAP_SOURCE_DIR}
  -DCMAKE_EXPORT_COMPILE_COMMANDS=ON)
run(${CMAKE_COMMAND} --build ${WORK_DIR} --target consumer --parallel 2)
run(${WORK_DIR}/consumer)
if(NOT run_output STREQUAL "42\n")
  message(FATAL_ERROR "Unexpected consumer output: '${run_output}'")
endif()

file(READ ${WORK_DIR}/compile_commands.json commands)
string(JSON count LENGTH "${commands}")
math(EXPR last "${count} - 1")
set(library_sources 0)
foreach(i RANGE ${last})
  string(JSON file GET "${commands}" ${i} file)
  string(JSON command GET "${commands}" ${i} command)
  if(file MATCHES "/main\\.cpp$")
    if(command MATCHES "-ffp-contract|-Wpedantic")
      message(FATAL_ERROR "The project's flags leaked into the consumer: ${command}")
    endif()
  elseif(NOT command MATCHES "-ffp-contract=off")
    message(FATAL_ERROR "A toolkit source lacks -ffp-contract=off: ${command}")
  else()
    math(EXPR library_sources "${library_sources} + 1")
  endif()
endforeach()
if(library_sources EQUAL 0)
  message(FATAL_ERROR "No toolkit source among the compile commands")
endif()
