// The quillmap command against faults of its surroundings and against inputs
// that claim more than they hold. Each fault case prepares a fresh directory,
// runs the tool and checks its one line on standard output, its silence on
// standard error, exit status 0, and that the directory is exactly as it was:
// nothing written, an existing destination untouched. The resource cases run
// the tool under a 256 MiB address-space limit and one second of CPU time.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "support/GridText.h"
#include "support/Sandbox.h"

namespace {
const char* const kEarlier = "an earlier file\n";
const std::string kSourceHeader = GridHeaderText("3", "3", "0", "0", "1", "-9999");
const std::string kSource = GridText(3, 3, 0, 0, 1, -9999, {1, 2, 3, 4, 5, 6, 7, 8, 9});

// Bytes of no text format: control characters, NULs and high bytes from a
// fixed linear congruential sequence, after an executable's magic number.
std::string BinaryGarbage() {
  std::string bytes("\x7f"
                    "ELF\x02\x01\x01\x00",
                    8);
  std::uint32_t state = 12345;
  for (int i = 0; i < 4096; ++i) {
    state = state * 1103515245u + 12345u;
    bytes.push_back(static_cast<char>(state >> 24));
  }
  return bytes;
}

struct FaultCase {
  const char* name;
  std::function<void(const Sandbox& sandbox)> prepare;
  std::vector<std::string> args; // {in}, {out} and {dir} stand for the paths
  std::string expectedOut;       // may name them too
};

void SourceAndEarlier(const Sandbox& sandbox, const std::string& source) {
  sandbox.Write("in.asc", source);
  sandbox.Write("out.asc", kEarlier);
}

std::vector<FaultCase> FaultCases() {
  const std::vector<std::string> usual{"{in}", "{out}", "1"};
  auto validSource = [](const Sandbox& sandbox) { sandbox.Write("in.asc", kSource); };
  return {
      {"DestinationIsADirectory",
       [](const Sandbox& sandbox) {
         sandbox.Write("in.asc", kSource);
         std::filesystem::create_directory(sandbox.Dir() / "out.asc");
       },
       usual, "Unable to open file {out}\n"},
      {"DestinationInAMissingDirectory",
       validSource,
       {"{in}", "{dir}/missing/out.asc", "1"},
       "Unable to open file {dir}/missing/out.asc\n"},
      {"DestinationUnderARegularFile",
       validSource,
       {"{in}", "{in}/out.asc", "1"},
       "Unable to open file {in}/out.asc\n"},
      {"DestinationOnAFullDevice",
       validSource,
       {"{in}", "/dev/full", "1"},
       "Unable to write file /dev/full\n"},
      {"DestinationWithoutAName", validSource, {"{in}", "", "1"}, "Unable to open file \n"},
      {"SourceIsADirectory",
       [](const Sandbox& sandbox) {
         std::filesystem::create_directory(sandbox.Dir() / "in.asc");
         sandbox.Write("out.asc", kEarlier);
       },
       usual, "Unable to open file {in}\n"},
      {"SourceIsEmpty", [](const Sandbox& sandbox) { SourceAndEarlier(sandbox, ""); }, usual,
       "File format error: expected to find ncols tag\n"},
      {"SourceIsTheNullDevice",
       [](const Sandbox& sandbox) { sandbox.Write("out.asc", kEarlier); },
       {"/dev/null", "{out}", "1"},
       "File format error: expected to find ncols tag\n"},
      {"SourceIsBinaryGarbage",
       [](const Sandbox& sandbox) { SourceAndEarlier(sandbox, BinaryGarbage()); }, usual,
       "File format error: expected to find ncols tag\n"},
      {"SourceBodyIsBinaryGarbage",
       [](const Sandbox& sandbox) {
         SourceAndEarlier(sandbox, kSourceHeader + BinaryGarbage().substr(8));
       },
       usual,
       "File format error: cell value is not a number in TARCGISFileTools::LoadARCGISFile\n"},
      {"SourceWithoutAName",
       [](const Sandbox& sandbox) { sandbox.Write("out.asc", kEarlier); },
       {"", "{out}", "1"},
       "Unable to open file \n"},
  };
}

void PrintTo(const FaultCase& c, std::ostream* out) {
  *out << c.name;
}

class QuillmapFaultTest : public testing::TestWithParam<FaultCase> {};

TEST_P(QuillmapFaultTest, PrintsOneLineAndWritesNothing) {
  const FaultCase& c = GetParam();
  if (!std::filesystem::exists("/dev/full") || !std::filesystem::exists("/dev/null"))
    GTEST_SKIP() << "no /dev/full or /dev/null here";
  const Sandbox sandbox;
  c.prepare(sandbox);
  const std::map<std::string, std::string> before = sandbox.Snapshot();

  const ToolRun run = sandbox.Run(c.args);
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Out, sandbox.Expand(c.expectedOut));
  EXPECT_EQ(run.Err, "");
  EXPECT_EQ(sandbox.Snapshot(), before);
}

INSTANTIATE_TEST_SUITE_P(Faults, QuillmapFaultTest, testing::ValuesIn(FaultCases()),
                         [](const testing::TestParamInfo<FaultCase>& info) {
                           return std::string(info.param.name);
                         });

// ---- Resources ----

std::string Header(const std::string& ncols, const std::string& nrows) {
  return GridHeaderText(ncols, nrows, "0", "0", "1", "-9999");
}

std::string TenByTen() {
  std::string text = Header("10", "10");
  for (int row = 0; row < 10; ++row)
    text += "1 2 3 4 5 6 7 8 9 10\n";
  return text;
}

struct ResourceCase {
  const char* name;
  std::string source; // written to in.asc, read unless sourcePath is set
  const char* sourcePath;
  const char* NewResolution;
  const char* expectedOut;
};

void PrintTo(const ResourceCase& c, std::ostream* out) {
  *out << c.name;
}

std::vector<ResourceCase> ResourceCases() {
  const char* const kEndOfFile =
      "Unexpected end of file found in TARCGISFileTools::LoadARCGISFile\n";
  const char* const kTooLarge = "Grid dimensions are too large in TMapTools::Downscale\n";
  return {
      {"HeaderClaimsTenToTheTwelveCells", Header("1000000", "1000000") + "1 2 3\n", nullptr, "1",
       kEndOfFile},
      {"HeaderClaimsTenToTheTwelveColumns", Header("1000000000000", "1") + "1 2 3\n", nullptr, "1",
       kEndOfFile},
      {"HeaderClaimsTenToTheTwelveRows", Header("1", "1000000000000") + "1\n2\n3\n", nullptr, "1",
       kEndOfFile},
      {"NewResolutionOfOneBillionth", TenByTen(), nullptr, "1e-9", kTooLarge},
      // 10^14 cells fit a 32-bit count, but no file system at two bytes a cell.
      {"GridBeyondTheDisk", TenByTen(), nullptr, "0.000001", kTooLarge},
      // One endless word: no white space ever comes.
      {"SourceNeverEnds", "", "/dev/zero", "1", "File format error: expected to find ncols tag\n"},
  };
}

class QuillmapResourceTest : public testing::TestWithParam<ResourceCase> {};

// Sanitizer runtimes reserve terabytes of address space, and a wrapper
// (a memory checker) needs far more than the tool: both only in plain runs.
bool CanLimitAddressSpace() {
#if defined(__SANITIZE_ADDRESS__)
  return false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  return false;
#endif
#endif
  return !ToolIsWrapped();
}

TEST_P(QuillmapResourceTest, FinishesSmallWithItsMessage) {
  const ResourceCase& c = GetParam();
  if (!CanLimitAddressSpace())
    GTEST_SKIP() << "the address space cannot be limited under a sanitizer or a wrapper";
  if (c.sourcePath != nullptr && !std::filesystem::exists(c.sourcePath))
    GTEST_SKIP() << "no " << c.sourcePath << " here";
  const Sandbox sandbox;
  sandbox.Write("in.asc", c.source);
  ToolLimits limits;
  limits.AddressSpaceBytes = 256L << 20;
  limits.CpuSeconds = 1;

  const ToolRun run =
      sandbox.Run({c.sourcePath ? c.sourcePath : "{in}", "{out}", c.NewResolution}, limits, 30);
  EXPECT_FALSE(run.TimedOut);
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Out, c.expectedOut);
  EXPECT_EQ(run.Err, "");
  EXPECT_FALSE(sandbox.Exists("out.asc"));
}

// A result of 44 million cells (355 MB as doubles) is written whole within
// an address space of 256 MiB: the tool holds neither grid.
TEST(QuillmapBoundedMemoryTest, WritesAResultLargerThanItsAddressSpace) {
  if (!CanLimitAddressSpace())
    GTEST_SKIP() << "the address space cannot be limited under a sanitizer or a wrapper";
  const Sandbox sandbox;
  sandbox.Write("in.asc", TenByTen());
  ToolLimits limits;
  limits.AddressSpaceBytes = 256L << 20;
  limits.CpuSeconds = 60;

  const ToolRun run = sandbox.Run({"{in}", "{out}", "0.0015"}, limits, 300);
  EXPECT_FALSE(run.TimedOut);
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Out, "");
  std::ifstream out(sandbox.Path("out.asc"));
  std::string line;
  std::getline(out, line);
  EXPECT_EQ(line, "ncols 6666");
  std::getline(out, line);
  EXPECT_EQ(line, "nrows 6666");
  EXPECT_GT(std::filesystem::file_size(sandbox.Path("out.asc")), 2UL * 6666 * 6666);
}

INSTANTIATE_TEST_SUITE_P(Resources, QuillmapResourceTest, testing::ValuesIn(ResourceCases()),
                         [](const testing::TestParamInfo<ResourceCase>& info) {
                           return std::string(info.param.name);
                         });
} // namespace
