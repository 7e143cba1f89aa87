# Installs the build tree into a fresh prefix, compiles one file that includes
# every installed header the way a consumer tuned for its own machine might
# (FMA contraction allowed, every inline function emitted), and fails if the
# assembly holds a fused multiply-add: floating-point arithmetic in an inline
# function of a public header would give the consumer other results than the
# library's. Variables: BINARY_DIR (the project's build), CXX (the compiler),
# WORK_DIR (scratch).
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK_DIR})

include(${CMAKE_CURRENT_LIST_DIR}/Run.cmake)

run(${CMAKE_COMMAND} --install ${BINARY_DIR} --prefix ${WORK_DIR}/prefix)
set(include_dir ${WORK_DIR}/prefix/include/quillmap)
file(GLOB_RECURSE headers RELATIVE ${include_dir} ${include_dir}/*.h)
list(SORT headers)
list(LENGTH headers count)
if(count EQUAL 0)
  message(FATAL_ERROR "No headers installed under ${include_dir}")
endif()
set(source "")
foreach(header IN LISTS headers)
  string(APPEND source "#include \"${header}\"\n")
endforeach()
file(WRITE ${WORK_DIR}/AllHeaders.cpp "${source}")

run(${CXX} -std=c++17 -O2 -march=haswell -ffp-contract=fast -fkeep-inline-functions
  -I${include_dir} -S -o ${WORK_DIR}/AllHeaders.s ${WORK_DIR}/AllHeaders.cpp)
file(STRINGS ${WORK_DIR}/AllHeaders.s fused REGEX "[ \t]vfn?m(add|sub)")
if(fused)
  list(JOIN fused "\n" fused)
  message(FATAL_ERROR "Fused multiply-add in inline code of the installed headers "
    "(${WORK_DIR}/AllHeaders.s):\n${fused}")
endif()
message(STATUS "${count} installed headers, no fused multiply-add")
