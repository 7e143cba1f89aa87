#include "TArrayMemory.h"

#define NPY_NO_DEPRECATED_API NPY_1_22_API_VERSION
#include <numpy/arrayobject.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "TRecycledBlocks.h"

namespace py = pybind11;

namespace quillmap_python {
namespace {

// Never destroyed: numpy may free arrays as the process ends, after static
// objects are gone.
TRecycledBlocks& Blocks() {
  static TRecycledBlocks* blocks = new TRecycledBlocks();
  return *blocks;
}

// numpy calls these with the GIL held and expects no exception: nullptr is
// its out-of-memory answer.
void* Allocate(void*, std::size_t bytes) {
  try {
    return Blocks().Allocate(bytes);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void* AllocateZeroed(void* context, std::size_t count, std::size_t size) {
  if (size != 0 && count > static_cast<std::size_t>(-1) / size)
    return nullptr;
  void* memory = Allocate(context, count * size);
  if (memory != nullptr)
    std::memset(memory, 0, count * size);
  return memory;
}

void Release(void*, void* memory, std::size_t) {
  if (memory != nullptr)
    Blocks().Release(memory);
}

void* Reallocate(void* context, void* memory, std::size_t bytes) {
  if (memory == nullptr)
    return Allocate(context, bytes);
  void* moved = Allocate(context, bytes);
  if (moved == nullptr)
    return nullptr;
  std::memcpy(moved, memory, std::min(bytes, Blocks().Size(memory)));
  Blocks().Release(memory);
  return moved;
}

PyDataMem_Handler gHandler = {
    "quillmap_recycled", 1, {nullptr, Allocate, AllocateZeroed, Reallocate, Release}};

// numpy's C interface, imported once; the capsule that names the handler,
// made once and held for as long as the process runs.
PyObject* HandlerCapsule() {
  static PyObject* capsule = [] {
    if (_import_array() < 0)
      throw py::error_already_set();
    PyObject* made = PyCapsule_New(&gHandler, "mem_handler", nullptr);
    if (made == nullptr)
      throw py::error_already_set();
    return made;
  }();
  return capsule;
}

} // namespace

TArrayMemory::TArrayMemory() {
  // Imports numpy's interface before the call reads it.
  PyObject* handler = HandlerCapsule();
  PyObject* previous = PyDataMem_SetHandler(handler);
  if (previous == nullptr)
    throw py::error_already_set();
  MbrObjPrevious = py::reinterpret_steal<py::object>(previous);
}

TArrayMemory::~TArrayMemory() {
  PyObject* ours = PyDataMem_SetHandler(MbrObjPrevious.ptr());
  if (ours == nullptr)
    PyErr_WriteUnraisable(MbrObjPrevious.ptr());
  Py_XDECREF(ours);
}

} // namespace quillmap_python
