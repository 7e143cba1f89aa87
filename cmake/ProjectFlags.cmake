# Compile and link flags of the project's own targets. They are given to each
# target by quillmap_apply_flags, not to the directory, so that a project that
# adds quillmap with add_subdirectory keeps its own flags for its own targets.

# Results must be reproducible to the bit: no fused multiply-add contraction.
set(QUILLMAP_COMPILE_FLAGS -Wall -Wextra -Wpedantic -ffp-contract=off)
set(QUILLMAP_LINK_FLAGS)
if(QUILLMAP_SANITIZE)
  list(APPEND QUILLMAP_COMPILE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
    -fno-omit-frame-pointer)
  list(APPEND QUILLMAP_LINK_FLAGS -fsanitize=address,undefined)
endif()
if(QUILLMAP_THREAD_SANITIZE)
  list(APPEND QUILLMAP_COMPILE_FLAGS -fsanitize=thread -fno-omit-frame-pointer)
  list(APPEND QUILLMAP_LINK_FLAGS -fsanitize=thread)
endif()
if(QUILLMAP_FUZZ)
  # Coverage instrumentation for the fuzzer in every target; the fuzz targets
  # add the fuzzer's own main when they link.
  list(APPEND QUILLMAP_COMPILE_FLAGS -fsanitize=fuzzer-no-link,address,undefined
    -fno-sanitize-recover=all -fno-omit-frame-pointer -O1 -g)
  list(APPEND QUILLMAP_LINK_FLAGS -fsanitize=address,undefined)
endif()

# Gives a target of this project its warnings, its floating-point flags and
# the sanitizer instrumentation, and keeps it to standard C++.
function(quillmap_apply_flags target)
  target_compile_options(${target} PRIVATE ${QUILLMAP_COMPILE_FLAGS})
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "STATIC_LIBRARY")
    # A static library is not linked itself: whatever links it inside this
    # build needs the sanitizer runtimes.
    target_link_options(${target} INTERFACE $<BUILD_INTERFACE:${QUILLMAP_LINK_FLAGS}>)
  else()
    target_link_options(${target} PRIVATE ${QUILLMAP_LINK_FLAGS})
  endif()
  set_target_properties(${target} PROPERTIES CXX_EXTENSIONS OFF)
endfunction()

# Tests and benchmarks need GoogleTest and Google Benchmark. Each of
# QUILLMAP_BUILD_TESTS and QUILLMAP_BUILD_BENCHMARKS is ON (the package is
# required), OFF, or AUTO (built when the package is found). Sets
# <result_variable> to whether the part is built; a part skipped under AUTO is
# added to QUILLMAP_SKIPPED_PARTS for one status line, with <label> naming
# the missing package.
function(quillmap_optional_part option package label what result_variable)
  set(${result_variable} OFF PARENT_SCOPE)
  string(TOUPPER "${${option}}" value)
  if(value STREQUAL "AUTO")
    find_package(${package} QUIET)
    if(${package}_FOUND)
      set(${result_variable} ON PARENT_SCOPE)
    else()
      set(QUILLMAP_SKIPPED_PARTS ${QUILLMAP_SKIPPED_PARTS} "${what} (${label} not found)" PARENT_SCOPE)
    endif()
  elseif(value)
    find_package(${package} REQUIRED)
    set(${result_variable} ON PARENT_SCOPE)
  endif()
endfunction()
