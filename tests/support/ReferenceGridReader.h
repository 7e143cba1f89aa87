// ReferenceGridReader: the grid reader written the plain way, one formatted
// extraction (operator>>) per token, with the same checks in the same order
// as TARCGISFileTools::LoadARCGISFile. Slow and obviously right: the oracle
// of the differential tests of the tokenizer-based reader.
#ifndef QUILLMAP_TESTS_SUPPORT_REFERENCEGRIDREADER_H
#define QUILLMAP_TESTS_SUPPORT_REFERENCEGRIDREADER_H

#include <istream>

#include "grid/TMap.h"

// A new map owned by the caller; failures are thrown as const char*.
TMap* ReferenceLoadGrid(std::istream& stream);

#endif
