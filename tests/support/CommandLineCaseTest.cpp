// The reader of the command-line case files: a case read wrongly would check
// the wrong thing, and a fault read silently would drop a case.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/CommandLineCase.h"

namespace {
CommandLineCase One(const std::string& text, const CaseTexts& shared = {}) {
  const std::vector<CommandLineCase> cases = ReadCaseText("cases/exit-status.txt", text, shared);
  EXPECT_EQ(cases.size(), 1u);
  return cases.empty() ? CommandLineCase{} : cases[0];
}

TEST(CommandLineCase, ReadsEveryKey) {
  const CommandLineCase c = One("# a comment\n"
                                "case Everything\n"
                                "args: --digits \"\" \"a b\" {in}\n"
                                "source:\n"
                                "  ncols 3$\n"
                                "  -9999 6 $\n"
                                "  no line end\n"
                                "earlier: @garbage \\x7fELF\\x00\n"
                                "stdout: tab\\there$\n"
                                "stderr: back\\\\slash \\x24\\r$\n"
                                "status: 1\n"
                                "dest: @digest 12 00ff\n"
                                "limits: address-space=256MiB cpu-seconds=2 timeout-seconds=30\n");
  EXPECT_EQ(c.Name, "ExitStatus_Everything");
  EXPECT_EQ(c.Where, "exit-status.txt:2");
  EXPECT_EQ(c.Fault, "");
  EXPECT_EQ(c.Args, (std::vector<std::string>{"--digits", "", "a b", "{in}"}));
  EXPECT_EQ(c.Source.Form, "");
  EXPECT_EQ(c.Source.Text, "ncols 3\n-9999 6 \nno line end");
  EXPECT_EQ(c.Earlier.Form, "garbage");
  EXPECT_EQ(c.Earlier.Text, std::string("\x7f"
                                        "ELF\0",
                                        5));
  EXPECT_EQ(c.Stdout, "tab\there\n");
  EXPECT_EQ(c.Stderr, "back\\slash $\r\n");
  EXPECT_EQ(c.Status, 1);
  EXPECT_TRUE(c.Dest.Is("digest"));
  EXPECT_EQ(c.Dest.Text, "12 00ff");
  EXPECT_EQ(c.Limits.AddressSpaceBytes, 256L << 20);
  EXPECT_EQ(c.Limits.CpuSeconds, 2);
  EXPECT_EQ(c.TimeoutSeconds, 30);
}

TEST(CommandLineCase, DefaultsLeaveTheDirectoryAsItWasAndExpectSilence) {
  const CommandLineCase c = One("case Bare\nargs:\n");
  EXPECT_EQ(c.Fault, "");
  EXPECT_TRUE(c.Args.empty());
  EXPECT_TRUE(c.Source.Is("none"));
  EXPECT_TRUE(c.Earlier.Is("none"));
  EXPECT_TRUE(c.Dest.Is("unchanged"));
  EXPECT_EQ(c.Stdout + c.Stderr, "");
  EXPECT_EQ(c.Status, 0);
  EXPECT_EQ(c.Limits.AddressSpaceBytes, 0);
  EXPECT_EQ(c.TimeoutSeconds, 120);
}

TEST(CommandLineCase, TextsOfTheFileAndSharedOnesStandWhereATextGoes) {
  std::vector<CommandLineCase> faults;
  const CaseTexts shared = ReadCaseTexts("grids.texts", "text grid:\n  1 2$\n", faults);
  EXPECT_TRUE(faults.empty());
  const CommandLineCase c = One("text line:\n  Usage$\n\n"
                                "case Uses\nargs: x\nsource: @fifo @grid\nstdout: @line\n"
                                "dest: @grid\n",
                                shared);
  EXPECT_EQ(c.Fault, "");
  EXPECT_TRUE(c.Source.Is("fifo"));
  EXPECT_EQ(c.Source.Text, "1 2\n");
  EXPECT_EQ(c.Stdout, "Usage\n");
  EXPECT_EQ(c.Dest.Form, "");
  EXPECT_EQ(c.Dest.Text, "1 2\n");
}

TEST(CommandLineCase, CasesFollowEachOtherAfterBlankLines) {
  const std::vector<CommandLineCase> cases =
      ReadCaseText("usage.txt", "case A\nargs: 1\n\n# between\n\ncase B\nargs: 2\nstatus: 3\n");
  ASSERT_EQ(cases.size(), 2u);
  EXPECT_EQ(cases[0].Name, "Usage_A");
  EXPECT_EQ(cases[1].Name, "Usage_B");
  EXPECT_EQ(cases[1].Where, "usage.txt:6");
  EXPECT_EQ(cases[1].Status, 3);
}

struct FaultCase {
  const char* Label;
  const char* Text;
  const char* Fault; // a part of the fault's message
  const char* Name;  // of the case that carries it
};

void PrintTo(const FaultCase& f, std::ostream* out) {
  *out << f.Label;
}

class CaseFileFault : public testing::TestWithParam<FaultCase> {};

// Every fault is carried by a case that will fail, and the cases after it
// are still read.
TEST_P(CaseFileFault, IsCarriedByACaseAndTheNextCaseIsRead) {
  const FaultCase& f = GetParam();
  const std::vector<CommandLineCase> cases =
      ReadCaseText("usage.txt", std::string(f.Text) + "\ncase Next\nargs: 1\n");
  ASSERT_EQ(cases.size(), 2u);
  EXPECT_EQ(cases[0].Name, f.Name);
  EXPECT_NE(cases[0].Fault.find(f.Fault), std::string::npos) << cases[0].Fault;
  EXPECT_EQ(cases[1].Name, "Usage_Next");
  EXPECT_EQ(cases[1].Fault, "");
}

INSTANTIATE_TEST_SUITE_P(
    Faults, CaseFileFault,
    testing::Values(
        FaultCase{"NoArgs", "case A\nstdout: x$", "states no args", "Usage_A"},
        FaultCase{"KeyTwice", "case A\nargs: 1\nargs: 2", "not given before", "Usage_A"},
        FaultCase{"UnknownKey", "case A\nargs: 1\nsdout: x", "unknown key", "Usage_A"},
        FaultCase{"StatusNotANumber", "case A\nargs: 1\nstatus: one", "whole number", "Usage_A"},
        FaultCase{"OpenQuote", "case A\nargs: \"open", "no closing quote", "Usage_A"},
        FaultCase{"UnknownEscape", "case A\nargs: 1\nstdout: \\q", "unknown escape", "Usage_A"},
        FaultCase{"ShortHexEscape", "case A\nargs: 1\nstdout: \\x4", "unknown escape", "Usage_A"},
        FaultCase{"NoBlankAfterColon", "case A\nargs: 1\nstdout:x", "must follow the colon",
                  "Usage_A"},
        FaultCase{"InlineAndBlock", "case A\nargs: 1\nstdout: x\n  y$", "not both", "Usage_A"},
        FaultCase{"UnknownText", "case A\nargs: 1\ndest: @missing", "neither a text", "Usage_A"},
        FaultCase{"FormOfAnotherKey", "case A\nargs: 1\nsource: @unchanged", "neither a text",
                  "Usage_A"},
        FaultCase{"UnknownLimit", "case A\nargs: 1\nlimits: memory=1", "unknown limit", "Usage_A"},
        FaultCase{"BadCaseName", "case A-B\nargs: 1", "letters and digits", "Usage_FaultOnLine1"},
        FaultCase{"KeyOutsideACase", "args: 1", "expected \"case NAME\"", "Usage_FaultOnLine1"},
        FaultCase{"BadTextName", "text Grid:\n  1$", "a text name", "Usage_FaultOnLine1"}),
    [](const testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.Label); });

TEST(CommandLineCase, ANameGivenTwiceIsAFaultOfTheSecondCase) {
  const std::vector<CommandLineCase> cases =
      ReadCaseText("usage.txt", "case A\nargs: 1\n\ncase A\nargs: 2\n");
  ASSERT_EQ(cases.size(), 2u);
  EXPECT_EQ(cases[0].Fault, "");
  EXPECT_EQ(cases[1].Name, "Usage_FaultOnLine4");
  EXPECT_NE(cases[1].Fault.find("given twice"), std::string::npos);
}

TEST(CommandLineCase, ATextsFileHoldsTextsOnly) {
  std::vector<CommandLineCase> faults;
  ReadCaseTexts("grids.texts", "text a:\n  1$\ncase B\nargs: 1\n", faults);
  ASSERT_EQ(faults.size(), 1u);
  EXPECT_EQ(faults[0].Name, "Grids_FaultOnLine3");
  EXPECT_NE(faults[0].Fault.find("expected \"text NAME:\""), std::string::npos);
}
} // namespace
