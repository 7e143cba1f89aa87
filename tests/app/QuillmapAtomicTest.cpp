// --atomic on the command line: a full disk (a file size limit on the tool)
// or a tool killed in mid-write (SIGXFSZ at that limit) leaves the earlier
// destination exactly as it was and no replacement beside it; without the
// option the destination is truncated and written in place, as it always
// was. On success the result is the one written in place, with the earlier
// destination's permission bits. Each case runs the tool once in a fresh
// sandbox.
#include <signal.h>
#include <sys/stat.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/GridText.h"
#include "support/Sandbox.h"

namespace {
const char* const kEarlier = "an earlier file\n";

// 60 x 60 cells: at half the cell size a result of about 100 kB.
std::string Source() {
  std::vector<double> values;
  for (int i = 0; i < 3600; ++i)
    values.push_back(100.0 + (i * 37 % 1000) / 10.0);
  return GridText(60, 60, 0, 0, 1, -9999, values);
}

int Leftovers(const Sandbox& sandbox) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(sandbox.Dir()))
    count += entry.path().filename().string().find(".quillmap-") != std::string::npos;
  return count;
}

enum class TLeft { Earlier, Result, Cut };

struct AtomicCase {
  const char* Name;
  std::vector<std::string> Args;
  // The file the tool writes: out.asc, or in.asc (the source) itself.
  const char* Destination;
  long FileSizeBytes;
  bool SignalKills;
  std::string Out;
  int Status;
  TLeft Left;
};

const std::vector<AtomicCase> kCases = {
    {"FullDiskAtomic",
     {"--atomic", "{in}", "{out}", "0.5"},
     "out.asc",
     20000,
     false,
     "Unable to write file {out}\n",
     0,
     TLeft::Earlier},
    {"FullDiskAtomicExitStatus",
     {"--atomic", "--exit-status", "{in}", "{out}", "0.5"},
     "out.asc",
     20000,
     false,
     "",
     1,
     TLeft::Earlier},
    {"FullDiskInPlace",
     {"{in}", "{out}", "0.5"},
     "out.asc",
     20000,
     false,
     "Unable to write file {out}\n",
     0,
     TLeft::Cut},
    {"KilledAtomic",
     {"--atomic", "{in}", "{out}", "0.5"},
     "out.asc",
     20000,
     true,
     "",
     128 + SIGXFSZ,
     TLeft::Earlier},
    {"KilledInPlace",
     {"--lenient", "{in}", "{out}", "0.5"},
     "out.asc",
     20000,
     true,
     "",
     128 + SIGXFSZ,
     TLeft::Cut},
    {"AtomicSucceeds",
     {"--atomic", "{in}", "{out}", "0.5"},
     "out.asc",
     0,
     false,
     "",
     0,
     TLeft::Result},
    {"AtomicOntoTheSource",
     {"--atomic", "{in}", "{in}", "0.5"},
     "in.asc",
     0,
     false,
     "",
     0,
     TLeft::Result},
    {"AtomicFailsEarly",
     {"--atomic", "{in}", "{out}", "0"},
     "out.asc",
     0,
     false,
     "New resolution cannot be <= 0.0 in TMapTools::BilinearInterpolate\n",
     0,
     TLeft::Earlier},
};

void PrintTo(const AtomicCase& test, std::ostream* out) {
  *out << test.Name;
}

class QuillmapAtomicTest : public testing::TestWithParam<AtomicCase> {};

TEST_P(QuillmapAtomicTest, LeavesTheEarlierDestinationOrTheResult) {
  const AtomicCase& test = GetParam();
  const Sandbox sandbox;
  const std::string source = Source();
  sandbox.Write("in.asc", source);
  // The result written in place, without limits.
  ASSERT_EQ(sandbox.Run({"{in}", "{dir}/expected.asc", "0.5"}).Out, "");
  const std::string expected = sandbox.Read("expected.asc");
  ASSERT_GT(expected.size(), 40000u);
  const std::string destination = test.Destination;
  if (destination != "in.asc")
    sandbox.Write(destination, kEarlier);
  ASSERT_EQ(chmod(sandbox.Path(destination).c_str(), 0640), 0);

  ToolLimits limits;
  limits.FileSizeBytes = test.FileSizeBytes;
  limits.FileSizeSignalKills = test.SignalKills;
  const ToolRun run = sandbox.Run(test.Args, limits);
  EXPECT_EQ(run.Out, sandbox.Expand(test.Out));
  EXPECT_EQ(run.Status, test.Status);
  const std::string left = sandbox.Read(destination);
  switch (test.Left) {
  case TLeft::Earlier:
    EXPECT_TRUE(left == kEarlier) << left.substr(0, 200);
    break;
  case TLeft::Result:
    EXPECT_TRUE(left == expected);
    EXPECT_EQ(std::filesystem::status(sandbox.Path(destination)).permissions(),
              std::filesystem::perms(0640));
    break;
  case TLeft::Cut:
    EXPECT_EQ(left, expected.substr(0, left.size()));
    EXPECT_LT(left.size(), expected.size());
    break;
  }
  EXPECT_EQ(Leftovers(sandbox), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, QuillmapAtomicTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<AtomicCase>& info) {
                           return std::string(info.param.Name);
                         });
} // namespace
