// The digit setting and the body row rule: the range of a count, the own
// rule on a default stream, and a row written by TRowText equal to the same
// row written through a default stream with the digits set (as the
// in-memory writer writes it), for every digit setting and separator.
#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "text/TDigits.h"
#include "text/TLineWriter.h"
#include "text/TRowText.h"

namespace {
TEST(TDigits, CountsAndSettings) {
  for (int count = -2; count <= 20; ++count) {
    const bool inRange = count >= 1 && count <= 17;
    EXPECT_EQ(TDigits::IsCount(count), inRange) << count;
    EXPECT_EQ(TDigits::IsSetting(count), inRange || count == TDigits::kOwnRule) << count;
    const TDigits digits(count);
    EXPECT_EQ(digits.Setting(), inRange ? count : TDigits::kOwnRule) << count;
    EXPECT_EQ(digits.OnDefaultStream(), inRange ? count : 6) << count;
    EXPECT_EQ(digits.IsOwnRule(), !inRange) << count;
  }
  EXPECT_TRUE(TDigits().IsOwnRule());
  EXPECT_EQ(TLineWriter::kStreamDigits, TDigits::kOwnRule);
}

// The row as a stream writes it: each value with the precision, then the
// separator; the line end.
std::string StreamRow(const std::vector<double>& values, int precision, char separator) {
  std::ostringstream text;
  text.precision(precision);
  for (double value : values)
    text << value << separator;
  text << '\n';
  return text.str();
}

TEST(TRowText, RowsAsAStreamWritesThem) {
  const std::vector<double> values = {0.0,
                                      -0.0,
                                      1.0 / 3.0,
                                      1e-300,
                                      4.5e6,
                                      -9999.0,
                                      1e21,
                                      25.0,
                                      0.1,
                                      123456.5,
                                      1234567.0,
                                      std::numeric_limits<double>::infinity(),
                                      std::numeric_limits<double>::denorm_min()};
  for (int setting = TDigits::kOwnRule; setting <= 17; ++setting)
    for (char separator : {' ', ',', '\t'}) {
      const TRowText row(TDigits(setting), separator);
      std::string text(TRowText::Room(static_cast<long>(values.size())), '#');
      char* end = row.Values(text.data(), values.data(), static_cast<long>(values.size()));
      end = TRowText::EndLine(end);
      text.resize(end - text.data());
      EXPECT_EQ(text, StreamRow(values, setting == TDigits::kOwnRule ? 6 : setting, separator))
          << setting;
      std::ostringstream written;
      TLineWriter writer(written, setting);
      writer.Reals(values.data(), static_cast<long>(values.size()), separator);
      writer.EndLine();
      EXPECT_EQ(written.str(), text) << setting;
    }
  EXPECT_EQ(TRowText::Room(0), 1u);
  EXPECT_EQ(TRowText::Room(-3), 1u);
  EXPECT_EQ(TRowText::Room(2), 2 * TRowText::kValueRoom + 1);
}
} // namespace
