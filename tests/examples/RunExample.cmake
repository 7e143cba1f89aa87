# Runs an example program and checks what it did: exit status 0, nothing on
# standard output or standard error, and each output file equal to a frozen
# file or to a SHA-256 digest.
#   cmake -DPROGRAM=<path> -DARGS=<a|b|c> -DCHECKS=<file=expected|...> -P RunExample.cmake
# where expected is a path to a file of the expected bytes, or a digest.
string(REPLACE "|" ";" args "${ARGS}")
execute_process(COMMAND ${PROGRAM} ${args}
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT out STREQUAL "" OR NOT err STREQUAL "")
  message(FATAL_ERROR "${PROGRAM} ended with ${status}\nout: ${out}\nerr: ${err}")
endif()

string(REPLACE "|" ";" checks "${CHECKS}")
foreach(check IN LISTS checks)
  string(FIND "${check}" "=" at)
  string(SUBSTRING "${check}" 0 ${at} file)
  math(EXPR after "${at} + 1")
  string(SUBSTRING "${check}" ${after} -1 expected)
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "${file} was not written")
  endif()
  if(EXISTS "${expected}")
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${file}" "${expected}"
      RESULT_VARIABLE differs)
    if(differs)
      message(FATAL_ERROR "${file} differs from ${expected}")
    endif()
  else()
    file(SHA256 "${file}" digest)
    if(NOT digest STREQUAL expected)
      message(FATAL_ERROR "${file} has digest ${digest}, not ${expected}")
    endif()
  endif()
endforeach()
