#include "ToolkitCall.h"

#include <Python.h>

#include <exception>

namespace py = pybind11;

namespace quillmap_python {

void RegisterErrors(py::module_& module) {
  // Created once per interpreter and kept for the process's life, as Python
  // keeps the module's exception classes.
  static PyObject* error = PyErr_NewExceptionWithDoc(
      "quillmap.Error",
      "A failure of the toolkit; str() of it is the toolkit's exact message text.", PyExc_Exception,
      nullptr);
  if (error == nullptr)
    throw py::error_already_set();
  py::tuple fileBases = py::make_tuple(py::handle(error), py::handle(PyExc_OSError));
  static PyObject* fileError = PyErr_NewExceptionWithDoc(
      "quillmap.FileError",
      "A grid file that cannot be opened or written: both a quillmap.Error and an OSError; str() "
      "of it is the toolkit's exact message text, which names the file.",
      fileBases.ptr(), nullptr);
  if (fileError == nullptr)
    throw py::error_already_set();
  module.attr("Error") = py::handle(error);
  module.attr("FileError") = py::handle(fileError);
  py::register_exception_translator([](std::exception_ptr failure) {
    try {
      if (failure)
        std::rethrow_exception(failure);
    } catch (const TToolkitFailure& toolkit) {
      // File names are bytes: decoded as Python decodes file names.
      py::object text = py::reinterpret_steal<py::object>(PyUnicode_DecodeFSDefaultAndSize(
          toolkit.Message.data(), static_cast<Py_ssize_t>(toolkit.Message.size())));
      if (!text)
        return;
      PyErr_SetObject(toolkit.FileFailure ? fileError : error, text.ptr());
    }
  });
}

} // namespace quillmap_python
