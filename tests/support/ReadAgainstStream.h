// ReadAgainstStream: a reader of grid files by name checked against the
// stream reader (TARCGISFileTools::LoadARCGISFile(std::istream&)) of the
// same text: the same map to the bit, or the same message, strict and
// lenient, on 1 to 4 workers.
#ifndef QUILLMAP_TESTS_SUPPORT_READAGAINSTSTREAM_H
#define QUILLMAP_TESTS_SUPPORT_READAGAINSTSTREAM_H

#include <functional>
#include <string>

#include "grid/TMap.h"
#include "support/Sandbox.h"
#include "support/TestMaps.h"

// Reads the named file under the lenient rules or not; a new map.
using TNamedRead = std::function<TMap*(const std::string& path, bool lenient)>;

// The stream reader's outcome for the text.
Outcome ReadStream(const std::string& text, bool lenient);

// Writes the text to in.asc in the sandbox and expects the reader's
// outcome to be the stream reader's in every case (gtest assertions; stops
// at the first difference).
void ExpectReadsAsFromAStream(const Sandbox& sandbox, const std::string& text,
                              const TNamedRead& read);
// The same for `count` grids of GridBodyGenerator(seed); how many of them
// the stream reader reads.
int ExpectGeneratedReadsAsFromAStream(const Sandbox& sandbox, unsigned seed, int count,
                                      const TNamedRead& read);
// The same for a table of hand-picked files: bodies of every fault class
// (short, not a number, junk after, CR LF, extremes, words of two values,
// control characters) under two headers, and headers that fail.
void ExpectHandPickedReadAsFromAStream(const Sandbox& sandbox, const TNamedRead& read);

#endif
