// Counts every allocation through operator new of the test program that
// uses these functions: linking this file replaces the global operator new
// and delete of the whole program. The counts are atomic, since other tests
// of the same program may allocate on worker threads meanwhile; a test
// reads them before and after the code it measures.
#ifndef QUILLMAP_TESTS_SUPPORT_ALLOCATIONCOUNT_H
#define QUILLMAP_TESTS_SUPPORT_ALLOCATIONCOUNT_H

#include <cstddef>

// The number of allocations since the program started.
long AllocationCount();
// The bytes asked for by them.
std::size_t AllocatedBytes();

#endif
