# The command-line cases (cases/*.txt, with the shared texts of
# cases/*.texts) are read by app_tests when it runs. A changed or new case
# file relinks it, so that the test list that ctest reads is made again.
file(GLOB QUILLMAP_CASE_FILES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/cases/*.txt)
file(GLOB QUILLMAP_CASE_TEXTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/cases/*.texts)
set_property(TARGET app_tests APPEND PROPERTY LINK_DEPENDS
  ${QUILLMAP_CASE_FILES} ${QUILLMAP_CASE_TEXTS})

# The cases once more with the tool under a memory checker, one ctest test
# per case file: any memory error or leak makes the checker exit with status
# 1, which the cases see. Plain builds only; a sanitized tool brings its own
# checks.
find_program(QUILLMAP_VALGRIND valgrind)
if(QUILLMAP_VALGRIND AND NOT QUILLMAP_SANITIZE)
  set(memcheck "${QUILLMAP_VALGRIND} --error-exitcode=1 --leak-check=full --quiet")
  foreach(case_file IN LISTS QUILLMAP_CASE_FILES)
    # The theme as the case names spell it: exit-status.txt gives ExitStatus.
    get_filename_component(stem ${case_file} NAME_WE)
    string(REGEX MATCHALL "[A-Za-z0-9]+" words ${stem})
    set(theme "")
    foreach(word IN LISTS words)
      string(SUBSTRING ${word} 0 1 first)
      string(SUBSTRING ${word} 1 -1 rest)
      string(TOUPPER ${first} first)
      string(APPEND theme ${first}${rest})
    endforeach()
    add_test(NAME CommandLineCases.${theme}.UnderValgrind
      COMMAND app_tests --gtest_filter=Cases/CommandLine.Case/${theme}_*)
    set_tests_properties(CommandLineCases.${theme}.UnderValgrind PROPERTIES ENVIRONMENT
      "QUILLMAP_BINARY_DIR=${PROJECT_BINARY_DIR};QUILLMAP_TOOL_WRAPPER=${memcheck}")
  endforeach()
elseif(NOT QUILLMAP_VALGRIND)
  message(STATUS "valgrind not found: the command-line cases will not run under it")
endif()
