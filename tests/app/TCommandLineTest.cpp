// TCommandLine on its own: every shape of command line, read into what the
// driver does with it, written as one line of text per case: the action,
// the three arguments or the failure text, then the options that are set.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/TCommandLine.h"

namespace {
const std::string kPlainUsage = "fail: Usage: quillmap source_file dest_file NewResolution";
const std::string kOptionsUsage =
    "fail: Usage: quillmap [OPTION]... source_file dest_file NewResolution";
const std::string kDigitsRange = "fail: Option --digits needs a whole number from 1 to 17, not ";

std::string Describe(const TCommandLine& line) {
  using TAction = TCommandLine::TAction;
  std::string text;
  switch (line.Action()) {
  case TAction::Resample:
    text = "resample [" + line.SourceFile() + "] [" + line.DestFile() + "] [" +
           line.NewResolution() + "]";
    break;
  case TAction::Help:
    text = "help";
    break;
  case TAction::Version:
    text = "version";
    break;
  case TAction::Fail:
    text = "fail: " + line.Failure();
    break;
  }
  if (line.Lenient())
    text += " lenient";
  if (line.NoDataAware())
    text += " nodata-aware";
  if (line.Digits() != TCommandLine::kStreamDigits)
    text += " digits=" + std::to_string(line.Digits());
  if (line.ExitStatus())
    text += " exit-status";
  if (line.Progress())
    text += " progress";
  return text;
}

std::string Read(const std::vector<std::string>& args) {
  std::vector<const char*> argv = {"quillmap"};
  for (const std::string& arg : args)
    argv.push_back(arg.c_str());
  return Describe(TCommandLine(static_cast<int>(argv.size()), argv.data()));
}

struct LineCase {
  std::vector<std::string> Args;
  std::string Read;
};

// The plain shape: exactly three arguments are the three, whatever they
// hold; any other count, without an option first, is the usage failure.
TEST(TCommandLine, ThePlainShape) {
  const LineCase cases[] = {
      {{}, kPlainUsage},
      {{"a"}, kPlainUsage},
      {{"a", "b"}, kPlainUsage},
      {{"a", "b", "c", "d"}, kPlainUsage},
      {{"a", "--lenient", "b", "c"}, kPlainUsage},
      {{"-x", "--help"}, kPlainUsage},
      {{"a", "b", "c", "--exit-status", "x"}, kPlainUsage},
      {{"a", "b", "c"}, "resample [a] [b] [c]"},
      {{"", "", ""}, "resample [] [] []"},
      {{"--help", "b", "1"}, "resample [--help] [b] [1]"},
      {{"--exit-status", "--lenient", "--digits"},
       "resample [--exit-status] [--lenient] [--digits]"},
      {{"-", "--", "2.5m"}, "resample [-] [--] [2.5m]"},
  };
  for (const LineCase& c : cases)
    EXPECT_EQ(Read(c.Args), c.Read) << testing::PrintToString(c.Args);
}

TEST(TCommandLine, OptionsThenExactlyThreeArguments) {
  const LineCase cases[] = {
      {{"--lenient", "a", "b", "c"}, "resample [a] [b] [c] lenient"},
      {{"--nodata-aware", "--exit-status", "a", "b", "c"},
       "resample [a] [b] [c] nodata-aware exit-status"},
      {{"--digits", "2", "a", "b", "c"}, "resample [a] [b] [c] digits=2"},
      {{"--digits", "3", "--digits", "17", "--lenient", "--lenient", "a", "b", "c"},
       "resample [a] [b] [c] lenient digits=17"},
      {{"--digits", "007", "a", "b", "c"}, "resample [a] [b] [c] digits=7"},
      {{"--", "a", "b", "c"}, "resample [a] [b] [c]"},
      {{"--lenient", "--", "--in", "b", "c"}, "resample [--in] [b] [c] lenient"},
      {{"--", "--", "b", "c"}, "resample [--] [b] [c]"},
      {{"--"}, kOptionsUsage},
      {{"--lenient"}, kOptionsUsage + " lenient"},
      {{"--lenient", "a"}, kOptionsUsage + " lenient"},
      {{"--lenient", "a", "b", "c", "d"}, kOptionsUsage + " lenient"},
      {{"--", "a"}, kOptionsUsage},
      {{"--exit-status", "a"}, kOptionsUsage + " exit-status"},
      // Options stop at the first argument that is none: the rest count.
      {{"--lenient", "a", "--exit-status", "b"}, "resample [a] [--exit-status] [b] lenient"},
  };
  for (const LineCase& c : cases)
    EXPECT_EQ(Read(c.Args), c.Read) << testing::PrintToString(c.Args);
}

// --help and --version win over what follows them; the first faulty option
// wins over a --help after it; --exit-status counts wherever it stands among
// the options.
TEST(TCommandLine, HelpVersionAndTheFirstFault) {
  const LineCase cases[] = {
      {{"--help"}, "help"},
      {{"--help", "--foo"}, "help"},
      {{"--help", "a"}, "help"},
      {{"--version", "--help"}, "version"},
      {{"--lenient", "--version"}, "version lenient"},
      {{"--help", "--exit-status"}, "help exit-status"},
      {{"--progress", "--exit-status", "a", "b", "c"}, "resample [a] [b] [c] exit-status progress"},
      {{"--foo"}, "fail: Unknown option --foo"},
      {{"--foo", "--help"}, "fail: Unknown option --foo"},
      {{"--foo", "a", "b", "c"}, "fail: Unknown option --foo"},
      {{"---lenient", "a", "b", "c"}, "fail: Unknown option ---lenient"},
      {{"--Lenient", "a", "b", "c"}, "fail: Unknown option --Lenient"},
      {{"--foo", "--exit-status", "a", "b", "c"}, "fail: Unknown option --foo exit-status"},
      {{"--foo", "--", "--exit-status", "a", "b"}, "fail: Unknown option --foo"},
      {{"--foo", "--bar"}, "fail: Unknown option --foo"},
      {{"--digits"}, "fail: Missing value for option --digits"},
      {{"--lenient", "--digits"}, "fail: Missing value for option --digits lenient"},
      {{"--digits", "0", "a", "b", "c"}, kDigitsRange + "0"},
      {{"--digits", "18", "a", "b", "c"}, kDigitsRange + "18"},
      {{"--digits", "99999999999999999999", "a", "b", "c"}, kDigitsRange + "99999999999999999999"},
      {{"--digits", "9a", "a", "b", "c"}, kDigitsRange + "9a"},
      {{"--digits", "+5", "a", "b", "c"}, kDigitsRange + "+5"},
      {{"--digits", "-1", "a", "b", "c"}, kDigitsRange + "-1"},
      {{"--digits", " 5", "a", "b", "c"}, kDigitsRange + " 5"},
      {{"--digits", "", "a", "b", "c"}, kDigitsRange},
      {{"--digits", "--help", "a", "b", "c"}, kDigitsRange + "--help"},
      {{"--digits", "x", "--help", "a"}, kDigitsRange + "x"},
  };
  for (const LineCase& c : cases)
    EXPECT_EQ(Read(c.Args), c.Read) << testing::PrintToString(c.Args);
}

TEST(TCommandLine, HelpAndVersionTexts) {
  const std::string help = TCommandLine::HelpText();
  EXPECT_EQ(help.substr(0, help.find('\n')), kOptionsUsage.substr(6));
  EXPECT_EQ(help.back(), '\n');
  for (const char* option :
       {"--lenient", "--nodata-aware", "--digits N", "--input-format F", "--output-format F",
        "--band N", "--output-type T", "--compress C", "--exit-status", "--help", "--version"}) {
    const std::size_t at = help.find(std::string("\n  ") + option + " ");
    ASSERT_NE(at, std::string::npos) << option;
    // Each option's text starts in one column.
    EXPECT_EQ(help[at + 21], ' ') << option;
    EXPECT_NE(help[at + 22], ' ') << option;
  }
  const std::string version = TCommandLine::VersionText();
  EXPECT_EQ(version.compare(0, 9, "quillmap "), 0);
  EXPECT_EQ(version.find('\n'), std::string::npos);
}
} // namespace
