# The toolkit as its users take it in: installed and found as a package, built
# from its sources with add_subdirectory, and its installed headers free of
# inline floating-point code. A sanitized library would need the sanitizer
# runtimes in the consumers too, so only plain builds run these.
if(QUILLMAP_SANITIZE)
  return()
endif()

list(JOIN QUILLMAP_PUBLIC_HEADERS "," public_headers)
add_test(NAME InstalledPackageConsumer
  COMMAND ${CMAKE_COMMAND} -DBINARY_DIR=${PROJECT_BINARY_DIR}
    -DPUBLIC_HEADERS=${public_headers} -DSOURCE_DIR=${CMAKE_CURRENT_LIST_DIR}
    -DCXX=${CMAKE_CXX_COMPILER} -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/consumer-work
    -P ${CMAKE_CURRENT_LIST_DIR}/RunConsumer.cmake)

add_test(NAME SubdirectoryConsumer
  COMMAND ${CMAKE_COMMAND} -DQUILLMAP_SOURCE_DIR=${PROJECT_SOURCE_DIR}
    -DSOURCE_DIR=${CMAKE_CURRENT_LIST_DIR}/subdirectory -DCXX=${CMAKE_CXX_COMPILER}
    -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/subdirectory-work
    -P ${CMAKE_CURRENT_LIST_DIR}/RunSubdirectoryConsumer.cmake)

# GCC emits every inline function with -fkeep-inline-functions; other
# compilers ignore the flag, and the FMA instructions are x86's.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64")
  add_test(NAME InstalledHeadersWithoutFusedMultiplyAdd
    COMMAND ${CMAKE_COMMAND} -DBINARY_DIR=${PROJECT_BINARY_DIR} -DCXX=${CMAKE_CXX_COMPILER}
      -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/fma-work
      -P ${CMAKE_CURRENT_LIST_DIR}/CheckNoFusedMultiplyAdd.cmake)
endif()
