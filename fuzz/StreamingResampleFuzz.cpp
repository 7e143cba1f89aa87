// The file-to-file resampling against the in-memory pipeline on arbitrary
// bytes: the first line is the new cell size as the command line reads it,
// the second picks the sizes of the read window, the checked pieces, the
// checkpoints, the bands and the worker count, (its sixth byte) the
// options: lenient reading, no-data-aware interpolation and the digits
// written, (its seventh) the walk plan's checkpoint spacing and (its eighth,
// where it has one) the bytes of the runs' source rows kept; the rest is
// the source grid.
// Both ways run on the same file; their messages and destination bytes must
// be identical, and a failure must leave the earlier destination as it was.
//
// A resampled grid above kMostCells is skipped, as in ResampleFuzz.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>
#include <string>

#include "gridio/TARCGISFileTools.h"
#include "numeric/TDecimalText.h"
#include "pipeline/TFileResampling.h"

namespace {
const double kMostCells = 1 << 16;
const char* const kPrevious = "an earlier destination\n";

std::string Path(const char* name) {
  return "/tmp/quillmap_streaming_fuzz_" + std::to_string(getpid()) + "_" + name;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool TooLargeToTry(const std::string& grid, double NewResolution, bool lenient) {
  std::istringstream in(grid);
  std::unique_ptr<TMap> source;
  try {
    source.reset(lenient ? TARCGISFileTools::LoadARCGISFileLenient(in)
                         : TARCGISFileTools::LoadARCGISFile(in));
  } catch (...) {
    return false;
  }
  if (!(NewResolution > 0.0))
    return false;
  const double columns = source->MbrDblResolution * source->MbrLngXDim / NewResolution;
  const double rows = source->MbrDblResolution * source->MbrLngYDim / NewResolution;
  const double countLimit = static_cast<double>(std::numeric_limits<std::int32_t>::max());
  const bool refused = !(columns < countLimit + 1.0) || !(rows < countLimit + 1.0);
  return !refused && columns * rows > kMostCells;
}

// The message, or the destination's bytes after success.
std::string Outcome(const std::string& source, const std::string& destination, double R,
                    const TResampleSettings& settings, const TPipelineKnobs& knobs) {
  std::ofstream(destination, std::ios::binary) << kPrevious;
  try {
    TFileResampling::Run(source, destination, R, settings, knobs);
  } catch (const char* message) {
    if (ReadAll(destination) != kPrevious)
      std::abort();
    return std::string("failure: ") + message;
  } catch (const std::string& message) {
    if (ReadAll(destination) != kPrevious)
      std::abort();
    return "failure: " + message;
  }
  return ReadAll(destination);
}

unsigned Byte(const std::string& line, std::size_t i) {
  return i < line.size() ? static_cast<unsigned char>(line[i]) : 0u;
}

TPipelineKnobs KnobsFrom(const std::string& line) {
  TPipelineKnobs knobs;
  knobs.ReadBytes = 1 + Byte(line, 1) % 64;
  knobs.PieceBytes = 1 + Byte(line, 2) % 128;
  knobs.CheckpointValues = 1 + Byte(line, 3) % 16;
  knobs.BandBytes = 1 + Byte(line, 4) * 16;
  knobs.StationSpacing = Byte(line, 6) % 8;
  if (Byte(line, 7) != 0)
    knobs.RunRowsBytes = (Byte(line, 7) - 1) * 8;
  return knobs;
}

TResampleSettings SettingsFrom(const std::string& line) {
  const unsigned byte = Byte(line, 5);
  TResampleSettings settings;
  settings.Threads = 1 + Byte(line, 0) % 4;
  settings.Lenient = (byte & 1) != 0;
  settings.Policy = (byte & 2) != 0 ? TCornerPolicy::NoDataAware : TCornerPolicy::Plain;
  // 0: the writer's own rule; else 1 to 17 digits.
  settings.Digits = TDigits(static_cast<int>((byte >> 2) % 18));
  return settings;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::size_t first = text.find('\n');
  if (first == std::string::npos)
    return 0;
  const std::size_t second = text.find('\n', first + 1);
  if (second == std::string::npos)
    return 0;
  const double NewResolution = TDecimalText::ToDouble(text.substr(0, first).c_str());
  const std::string settings = text.substr(first + 1, second - first - 1);
  const TPipelineKnobs knobs = KnobsFrom(settings);
  const TResampleSettings chosen = SettingsFrom(settings);
  const std::string grid = text.substr(second + 1);
  if (TooLargeToTry(grid, NewResolution, chosen.Lenient))
    return 0;

  static const std::string source = Path("source.asc");
  static const std::string destination = Path("dest.asc");
  std::ofstream(source, std::ios::binary) << grid;
  TPipelineKnobs inMemory;
  inMemory.Mode = TPipelineKnobs::TMode::InMemory;
  const std::string expected = Outcome(source, destination, NewResolution, chosen, inMemory);
  const std::string actual = Outcome(source, destination, NewResolution, chosen, knobs);
  if (actual != expected) {
    std::fprintf(stderr, "in memory: %.300s\nbounded: %.300s\n", expected.c_str(), actual.c_str());
    std::abort();
  }
  return 0;
}
