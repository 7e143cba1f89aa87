// --progress when the disk fills up in mid-write (a file size limit on the
// tool): standard error holds the ticks written so far, a part of the whole
// line that ends there, and then, under --exit-status, the failure on a line
// of its own; without it the failure goes to standard output as always. The
// blocks, and so the ticks reached, depend on the number of cores: what is
// checked holds for any.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/GridText.h"
#include "support/Sandbox.h"

namespace {
const std::string kLine = "0...10...20...30...40...50...60...70...80...90...100 - done.";

// 60 x 60 cells: at a twentieth of the cell size a result of about 10 MB,
// written in several blocks on any number of cores.
std::string Source() {
  std::vector<double> values;
  for (int i = 0; i < 3600; ++i)
    values.push_back(100.0 + (i * 37 % 1000) / 10.0);
  return GridText(60, 60, 0, 0, 1, -9999, values);
}

// A part of the line that is not the whole of it, then its line end.
void ExpectInterruptedLine(const std::string& text) {
  ASSERT_FALSE(text.empty());
  ASSERT_EQ(text.back(), '\n');
  const std::string ticks = text.substr(0, text.size() - 1);
  EXPECT_FALSE(ticks.empty());
  EXPECT_LT(ticks.size(), kLine.size());
  EXPECT_EQ(kLine.compare(0, ticks.size(), ticks), 0) << ticks;
}

class QuillmapProgressTest : public testing::TestWithParam<bool> {};

TEST_P(QuillmapProgressTest, AFullDiskEndsThePartialLineBeforeTheFailure) {
  const bool exitStatus = GetParam();
  const Sandbox sandbox;
  sandbox.Write("in.asc", Source());
  ToolLimits limits;
  limits.FileSizeBytes = 8000000;
  std::vector<std::string> args = {"--progress", "{in}", "{out}", "0.05"};
  if (exitStatus)
    args.insert(args.begin(), "--exit-status");
  const ToolRun run = sandbox.Run(args, limits);
  const std::string failure = sandbox.Expand("Unable to write file {out}\n");
  if (exitStatus) {
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Status, 1);
    const std::string message = "quillmap: " + failure;
    ASSERT_GT(run.Err.size(), message.size());
    EXPECT_EQ(run.Err.substr(run.Err.size() - message.size()), message);
    ExpectInterruptedLine(run.Err.substr(0, run.Err.size() - message.size()));
  } else {
    EXPECT_EQ(run.Out, failure);
    EXPECT_EQ(run.Status, 0);
    ExpectInterruptedLine(run.Err);
  }
}

INSTANTIATE_TEST_SUITE_P(Reporting, QuillmapProgressTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                           return std::string(info.param ? "ExitStatus" : "StandardOutput");
                         });
} // namespace
