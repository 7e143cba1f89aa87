// TArrayMemory: while one lives, the numpy arrays made on its thread take
// their memory from a process-wide TRecycledBlocks, through a numpy memory
// handler ("quillmap_recycled"); the handler that was current before comes
// back when it ends. The arrays are ordinary numpy arrays that own their
// data: numpy frees (and resizes) them through the same handler whenever
// they go, and their memory then serves the next large array made under a
// TArrayMemory.
//
// Made and ended with the GIL held, around the creation of arrays only.
// Throws pybind11::error_already_set when numpy's C interface cannot be had
// or the handler cannot be set.
#ifndef QUILLMAP_PYTHON_TARRAYMEMORY_H
#define QUILLMAP_PYTHON_TARRAYMEMORY_H

#include <pybind11/pybind11.h>

namespace quillmap_python {

class TArrayMemory {
public:
  TArrayMemory();
  ~TArrayMemory();
  TArrayMemory(const TArrayMemory&) = delete;
  TArrayMemory& operator=(const TArrayMemory&) = delete;

private:
  pybind11::object MbrObjPrevious;
};

} // namespace quillmap_python

#endif
