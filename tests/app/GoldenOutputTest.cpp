// The sample terrain resampled by the tool and by the library's read,
// resample and write, compared byte for byte with outputs frozen in the
// repository: the 40 m grid as a file (app/golden), the 10 m grid, too large
// to keep, as its length and digest. Unlike the resampling oracle, which
// builds its destination with TMapTools::Downscale, these catch a fault in
// building the destination grid too. A deliberate change of output updates
// the frozen files together with the change.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "gridio/TARCGISFileTools.h"
#include "maptools/TMapTools.h"
#include "support/Digest.h"
#include "support/Sandbox.h"

namespace {
const std::string kSample = QUILLMAP_SOURCE_DIR "/examples/sample_terrain.asc";
const std::string kGolden = QUILLMAP_SOURCE_DIR "/tests/app/golden/";

struct GoldenCase {
  const char* name;
  const char* NewResolution;
  const char* goldenFile; // null: the output is known by length and digest
  std::size_t length;     // with a golden file: 0
  const char* digest;
};

std::vector<GoldenCase> Cases() {
  return {
      {"FortyMetres", "40", "sample_terrain_40m.asc", 0, nullptr},
      {"TenMetres", "10", nullptr, 3356827, "5f2197ea0ee22c86"},
  };
}

// The output matches the frozen one; on a mismatch, says where they part.
void ExpectFrozen(const GoldenCase& c, const std::string& output) {
  if (c.goldenFile != nullptr) {
    const std::string golden = ReadFileBytes(kGolden + c.goldenFile);
    ASSERT_FALSE(golden.empty()) << "no golden file " << c.goldenFile;
    const auto parting = std::mismatch(golden.begin(), golden.end(), output.begin(), output.end());
    EXPECT_TRUE(output == golden) << "differs from " << c.goldenFile << " at byte "
                                  << (parting.first - golden.begin());
    return;
  }
  EXPECT_EQ(output.size(), c.length);
  EXPECT_EQ(Fnv1a64Hex(output), c.digest);
}

void PrintTo(const GoldenCase& c, std::ostream* out) {
  *out << c.name;
}

class GoldenOutputTest : public testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenOutputTest, ToolWritesTheFrozenBytes) {
  const GoldenCase& c = GetParam();
  const Sandbox sandbox;
  const ToolRun run = sandbox.Run({kSample, "{out}", c.NewResolution});
  ASSERT_EQ(run.Status, 0);
  ASSERT_EQ(run.Out, "");
  EXPECT_EQ(run.Err, "");
  ExpectFrozen(c, sandbox.Read("out.asc"));
}

TEST_P(GoldenOutputTest, LibraryWritesTheFrozenBytes) {
  const GoldenCase& c = GetParam();
  std::unique_ptr<TMap> source(TARCGISFileTools::LoadARCGISFile(kSample));
  std::unique_ptr<TMap> result(
      TMapTools::BilinearInterpolate(source.get(), std::stod(c.NewResolution)));
  std::ostringstream output;
  TARCGISFileTools::WriteARCGISFile(result.get(), output);
  ExpectFrozen(c, output.str());
}

INSTANTIATE_TEST_SUITE_P(SampleTerrain, GoldenOutputTest, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<GoldenCase>& info) {
                           return std::string(info.param.name);
                         });
} // namespace
