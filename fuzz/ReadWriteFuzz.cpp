// Reads a grid from arbitrary bytes and writes the map back out. The bytes
// are read twice, from a buffer holding the whole text and from one that
// hands out a few characters at a time (the tokenizer's window boundaries
// fall elsewhere); both readings must give the same grid text or the same
// message.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <istream>
#include <sstream>
#include <string>

#include "GridOutcome.h"
#include "gridio/TARCGISFileTools.h"
#include "support/ChunkedStreamBuf.h"

namespace {
const std::size_t kLargestChunk = 7;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::istringstream whole(text);
  const std::string fromWhole =
      GridOutcome([&] { return TARCGISFileTools::LoadARCGISFile(whole); });

  ChunkedStreamBuf chunks(text, size % (kLargestChunk + 1));
  std::istream chunked(&chunks);
  const std::string fromChunks =
      GridOutcome([&] { return TARCGISFileTools::LoadARCGISFile(chunked); });
  if (fromWhole != fromChunks)
    std::abort();
  return 0;
}
