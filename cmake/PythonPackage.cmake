# The Python package (python/): built when pybind11, the Python development
# files and an interpreter with numpy are found. QUILLMAP_BUILD_PYTHON is ON
# (all of them required), OFF, or AUTO (built when found; otherwise the part
# is named in the configure step's one line of skipped parts).
#
# The interpreter is the system's /usr/bin/python3 where it exists, whatever
# python3 comes first on PATH: the Debian interpreter is the one that has
# numpy, xarray and dask. -DPython_EXECUTABLE=... chooses another.
function(quillmap_find_python result_variable)
  set(${result_variable} OFF PARENT_SCOPE)
  string(TOUPPER "${QUILLMAP_BUILD_PYTHON}" wanted)
  if(NOT wanted OR wanted STREQUAL "OFF")
    return()
  endif()
  if(NOT Python_EXECUTABLE AND EXISTS /usr/bin/python3)
    set(Python_EXECUTABLE /usr/bin/python3 CACHE FILEPATH "The interpreter of the Python package")
  endif()
  find_package(Python 3.7 QUIET COMPONENTS Interpreter Development.Module)
  set(missing)
  if(QUILLMAP_SANITIZE OR QUILLMAP_THREAD_SANITIZE OR QUILLMAP_FUZZ)
    # An instrumented extension would need an instrumented interpreter.
    set(missing "an interpreter built with the sanitizers")
  elseif(NOT Python_Interpreter_FOUND OR NOT Python_Development.Module_FOUND)
    set(missing "Python development files")
  else()
    find_package(pybind11 2.6 CONFIG QUIET)
    if(NOT pybind11_FOUND)
      set(missing "pybind11")
    else()
      quillmap_python_imports(numpy has_numpy)
      if(NOT has_numpy)
        set(missing "numpy for ${Python_EXECUTABLE}")
      endif()
    endif()
  endif()
  if(missing)
    if(wanted STREQUAL "AUTO")
      set(QUILLMAP_SKIPPED_PARTS ${QUILLMAP_SKIPPED_PARTS} "the Python package (${missing} not found)"
        PARENT_SCOPE)
      return()
    endif()
    message(FATAL_ERROR "quillmap: the Python package needs ${missing}")
  endif()
  set(${result_variable} ON PARENT_SCOPE)
endfunction()

# Sets <result_variable> to whether the package's interpreter imports <module>.
function(quillmap_python_imports module result_variable)
  execute_process(COMMAND ${Python_EXECUTABLE} -c "import ${module}"
    RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
  if(status EQUAL 0)
    set(${result_variable} ON PARENT_SCOPE)
  else()
    set(${result_variable} OFF PARENT_SCOPE)
  endif()
endfunction()
