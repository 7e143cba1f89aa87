// The tool's whole path on arbitrary bytes: the first line is the new cell
// size as the command line reads it, the rest is the source grid. The grid
// is read, resampled and written to memory; every outcome must be a grid or
// one of the toolkit's messages.
//
// A grid that the tool would build and fill is skipped when it is larger
// than kMostCells: the tool builds whatever fits the machine's memory, and a
// fuzzer that chose a tiny cell size would spend its time and memory on one
// legitimate giant grid instead of exploring. Counts that the tool refuses
// (beyond a signed 32-bit count) are still run, since they are refused
// before anything is allocated.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <sstream>
#include <string>

#include "GridOutcome.h"
#include "gridio/TARCGISFileTools.h"
#include "maptools/TMapTools.h"
#include "numeric/TDecimalText.h"

namespace {
const double kMostCells = 1 << 18;

// Whether the resampled grid would be a legitimate one above the cap: the
// same counts as the resampling computes, both within a 32-bit count.
bool TooLargeToTry(const TMap& source, double NewResolution) {
  if (!(NewResolution > 0.0))
    return false;
  const double columns = source.MbrDblResolution * source.MbrLngXDim / NewResolution;
  const double rows = source.MbrDblResolution * source.MbrLngYDim / NewResolution;
  const double countLimit = static_cast<double>(std::numeric_limits<std::int32_t>::max());
  const bool refused = !(columns < countLimit + 1.0) || !(rows < countLimit + 1.0);
  return !refused && columns * rows > kMostCells;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::size_t lineEnd = text.find('\n');
  const std::string resolutionText = text.substr(0, lineEnd);
  const double NewResolution = TDecimalText::ToDouble(resolutionText.c_str());
  std::istringstream grid(lineEnd == std::string::npos ? std::string() : text.substr(lineEnd + 1));

  GridOutcome([&]() -> TMap* {
    std::unique_ptr<TMap> source(TARCGISFileTools::LoadARCGISFile(grid));
    if (TooLargeToTry(*source, NewResolution))
      return source.release();
    return TMapTools::BilinearInterpolate(source.get(), NewResolution);
  });
  return 0;
}
