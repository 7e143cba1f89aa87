#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "numeric/TDecimalText.h"
#include "support/ParameterName.h"

namespace {
struct Case {
  const char* text;
  double expected;
};

// The case's name in test listings, as in its test name.
void PrintTo(const Case& c, std::ostream* out) {
  *out << ParameterName(c.text);
}

class TDecimalTextCases : public ::testing::TestWithParam<Case> {};

TEST_P(TDecimalTextCases, ConvertsTheDecimalPrefix) {
  const Case& c = GetParam();
  const double got = TDecimalText::ToDouble(c.text);
  EXPECT_EQ(got, c.expected) << '"' << c.text << '"';
  EXPECT_EQ(std::signbit(got), std::signbit(c.expected)) << '"' << c.text << '"';
}

const double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Table, TDecimalTextCases,
    ::testing::Values(Case{"2.5", 2.5}, Case{"2.5m", 2.5}, Case{"  \t\n7", 7.0}, Case{"+3", 3.0},
                      Case{"-1", -1.0}, Case{"0", 0.0}, Case{"-0", -0.0}, Case{".5", 0.5},
                      Case{"5.", 5.0}, Case{".", 0.0}, Case{"-.", 0.0}, Case{"+-1", 0.0},
                      Case{"1e3", 1000.0}, Case{"1E-2", 0.01}, Case{"1e", 1.0}, Case{"1e+", 1.0},
                      Case{"1.5e+x", 1.5}, Case{"2e3.5", 2000.0}, Case{"abc", 0.0}, Case{"", 0.0},
                      Case{"inf", 0.0}, Case{"-infinity", 0.0}, Case{"nan", 0.0},
                      Case{"NAN(1)", 0.0}, Case{"0x1A", 0.0}, Case{"-0x10p2", -0.0},
                      Case{"12 34", 12.0}, Case{"1e400", kInf}, Case{"-1e400", -kInf},
                      Case{"1e-400", 0.0}, Case{"4.9e-324", 4.9e-324}, Case{"0.1", 0.1},
                      Case{"123456789012345678901234567890", 1.2345678901234568e29}),
    [](const ::testing::TestParamInfo<Case>& info) { return ParameterName(info.param.text); });

TEST(TDecimalText, NumberLengthStopsAtTheFirstCharacterThatCannotContinue) {
  EXPECT_EQ(TDecimalText::NumberLength("12.5e+3kg"), 7u);
  EXPECT_EQ(TDecimalText::NumberLength("1e+kg"), 1u);
  EXPECT_EQ(TDecimalText::NumberLength(" 1"), 0u);
  EXPECT_EQ(TDecimalText::NumberLength("-"), 0u);
}
} // namespace
