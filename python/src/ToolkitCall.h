// ToolkitCall: how the binding calls the toolkit. The call runs without the
// GIL, so that other Python threads go on while the C++ code works, and the
// toolkit's failures come back to Python as quillmap.Error (every message
// text the toolkit throws as const char*) or quillmap.FileError (the
// std::string failures: a file that cannot be opened or written), both
// carrying the exact message text. FileError is both a quillmap.Error and an
// OSError. Other exceptions (an exhausted heap) pass to pybind11 as they are.
//
// The work given to RunToolkit must not touch Python objects: it runs with
// the GIL released.
#ifndef QUILLMAP_PYTHON_TOOLKITCALL_H
#define QUILLMAP_PYTHON_TOOLKITCALL_H

#include <pybind11/pybind11.h>

#include <string>
#include <utility>

namespace quillmap_python {

// A toolkit failure on its way to Python.
struct TToolkitFailure {
  std::string Message;
  bool FileFailure;
};

// Runs work() with the GIL released and translates the toolkit's failures.
template <class TWork> auto RunToolkit(TWork&& work) -> decltype(work()) {
  pybind11::gil_scoped_release unlocked;
  try {
    return work();
  } catch (const char* message) {
    throw TToolkitFailure{message != nullptr ? message : "", false};
  } catch (const std::string& message) {
    throw TToolkitFailure{message, true};
  }
}

// Creates quillmap.Error and quillmap.FileError in the module and registers
// the translation of TToolkitFailure.
void RegisterErrors(pybind11::module_& module);

} // namespace quillmap_python

#endif
