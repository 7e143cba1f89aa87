// TLineWriter on its own: generated lines of text, characters, whole and
// real numbers, runs of values and georeferencing values, some far longer
// than the writer's buffer, written with every digit count through the fast
// path (a stream in its default state) and through the stream's operators (a
// stream whose locale is an equal copy of the classic one), must both give
// the text of printf, a flush at every line end and nothing of a line that
// is not ended.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <locale>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/FlushCounter.h"
#include "text/TLineWriter.h"

namespace {
const double kValues[] = {0.0,
                          -0.0,
                          1.0,
                          -9999.0,
                          0.1,
                          1.0 / 3.0,
                          -2493.725,
                          123456.5,
                          999999.5,
                          9.9999995,
                          4.5e6,
                          512000.5,
                          1e15,
                          1e-5,
                          1e-310,
                          std::numeric_limits<double>::max(),
                          std::numeric_limits<double>::min(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(),
                          std::numeric_limits<double>::quiet_NaN()};

std::string Printf(const char* format, int width, int digits, double value) {
  char text[64];
  const int length = std::snprintf(text, sizeof text, format, width, digits, value);
  return std::string(text, static_cast<std::size_t>(length));
}

// One generated script of writes, and the text printf gives for it.
class Script {
public:
  Script(unsigned seed, int digits) : MbrRandom(seed), MbrDigits(digits) {
    const int lines = Uniform(1, 6);
    for (int line = 0; line < lines; ++line)
      AddLine();
  }

  void WriteTo(TLineWriter& out) const {
    for (const Op& op : MbrOps)
      switch (op.Kind) {
      case Op::kText:
        out.Text(op.Text.c_str());
        break;
      case Op::kChar:
        out.Char(op.Text[0]);
        break;
      case Op::kWhole:
        out.Whole(op.Whole);
        break;
      case Op::kReal:
        out.Real(op.Reals[0]);
        break;
      case Op::kReals:
        out.Reals(op.Reals.data(), static_cast<long>(op.Reals.size()), op.Text[0]);
        break;
      case Op::kGeoreference:
        out.Georeference(op.Reals[0], static_cast<int>(op.Whole));
        break;
      case Op::kEndLine:
        out.EndLine();
        break;
      }
  }

  const std::string& Expected() const { return MbrExpected; }
  int Lines() const { return MbrLines; }

private:
  struct Op {
    enum TKind { kText, kChar, kWhole, kReal, kReals, kGeoreference, kEndLine };
    TKind Kind;
    std::string Text;
    long Whole = 0;
    std::vector<double> Reals;
  };

  int Uniform(int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(MbrRandom);
  }

  double Value() {
    if (Uniform(0, 2) == 0)
      return kValues[Uniform(0, sizeof kValues / sizeof kValues[0] - 1)];
    return std::ldexp(std::uniform_real_distribution<double>(-1.0, 1.0)(MbrRandom),
                      Uniform(-60, 60));
  }

  std::string RealText(double value) const {
    return Printf("%*.*g", 0, MbrDigits == TLineWriter::kStreamDigits ? 6 : MbrDigits, value);
  }

  // Six digits when they read back as the value, else twelve.
  static std::string GeoreferenceText(double value, int width) {
    const bool six = std::strtod(Printf("%*.*g", 0, 6, value).c_str(), nullptr) == value;
    return Printf("%*.*g", width, six ? 6 : 12, value);
  }

  void AddLine() {
    const int items = Uniform(0, 8);
    for (int i = 0; i < items; ++i)
      AddItem();
    MbrOps.push_back({Op::kEndLine, "", 0, {}});
    MbrExpected += "\n";
    ++MbrLines;
  }

  void AddItem() {
    Op op{static_cast<Op::TKind>(Uniform(0, 5)), "", 0, {}};
    switch (op.Kind) {
    case Op::kText:
      // Now and then longer than the writer's buffer.
      op.Text = std::string(Uniform(0, 3) == 0 ? Uniform(30000, 70000) : Uniform(0, 12),
                            static_cast<char>('a' + Uniform(0, 25)));
      MbrExpected += op.Text;
      break;
    case Op::kChar:
      op.Text = std::string(1, " ,;\t"[Uniform(0, 3)]);
      MbrExpected += op.Text;
      break;
    case Op::kWhole:
      op.Whole = Uniform(0, 1) ? Uniform(-1000000, 1000000) : std::numeric_limits<long>::min();
      MbrExpected += std::to_string(op.Whole);
      break;
    case Op::kReal:
      op.Reals = {Value()};
      MbrExpected += RealText(op.Reals[0]);
      break;
    case Op::kReals: {
      // Now and then a run of values longer than the writer's buffer.
      const int count = Uniform(0, 3) == 0 ? Uniform(1000, 9000) : Uniform(0, 5);
      op.Text = std::string(1, " ,"[Uniform(0, 1)]);
      for (int k = 0; k < count; ++k) {
        op.Reals.push_back(Value());
        MbrExpected += RealText(op.Reals.back()) + op.Text;
      }
      break;
    }
    default:
      op.Reals = {Value()};
      op.Whole = Uniform(0, 14);
      MbrExpected += GeoreferenceText(op.Reals[0], static_cast<int>(op.Whole));
      break;
    }
    MbrOps.push_back(op);
  }

  std::mt19937 MbrRandom;
  int MbrDigits;
  std::vector<Op> MbrOps;
  std::string MbrExpected;
  int MbrLines = 0;
};

struct Written {
  std::string Text;
  int Flushes;
};

Written Write(const Script& script, int digits, bool byOperators) {
  FlushCounter buffer;
  std::ostream stream(&buffer);
  if (byOperators)
    stream.imbue(std::locale(std::locale::classic(), new std::numpunct<char>()));
  {
    TLineWriter out(stream, digits);
    script.WriteTo(out);
  }
  return {buffer.str(), buffer.Flushes};
}

TEST(TLineWriter, BothPathsWriteWhatPrintfWritesAndFlushEachLine) {
  for (int digits : {TLineWriter::kStreamDigits, 1, 2, 6, 9, 17})
    for (unsigned seed = 0; seed < 40; ++seed) {
      const Script script(seed * 31 + static_cast<unsigned>(digits), digits);
      for (bool byOperators : {false, true}) {
        const Written written = Write(script, digits, byOperators);
        const std::string where = "seed " + std::to_string(seed) + " digits " +
                                  std::to_string(digits) + (byOperators ? " by operators" : "");
        ASSERT_EQ(written.Text.size(), script.Expected().size()) << where;
        ASSERT_TRUE(written.Text == script.Expected()) << where;
        EXPECT_EQ(written.Flushes, script.Lines()) << where;
      }
    }
}

TEST(TLineWriter, AFastLineNotEndedIsDropped) {
  std::ostringstream stream;
  {
    TLineWriter out(stream);
    out.Text("kept");
    out.EndLine();
    out.Text("dropped ");
    out.Real(1.5);
  }
  EXPECT_EQ(stream.str(), "kept\n");
}

// A stream in another state keeps it: its precision for real numbers
// without a digit count, its flags for all of them.
TEST(TLineWriter, AStreamInAnotherStateWritesWithItsOwnFormatting) {
  std::ostringstream stream;
  stream.precision(3);
  stream.setf(std::ios_base::showpos);
  {
    TLineWriter out(stream);
    const double values[] = {1.23456, -2.0};
    out.Reals(values, 2, ' ');
    out.Whole(7);
    out.EndLine();
  }
  {
    TLineWriter out(stream, 5);
    out.Real(1.23456);
    out.Char(' ');
    out.Georeference(512000.5, 10);
    out.EndLine();
  }
  EXPECT_EQ(stream.str(), "+1.23 -2 +7\n+1.2346  +512000.5\n");
  EXPECT_EQ(stream.precision(), 3);
}

// A stream buffer that takes nothing.
class RefusingBuf : public std::streambuf {
protected:
  int_type overflow(int_type) override { return traits_type::eof(); }
};

// A stream that cannot take the text keeps the failure in its state.
TEST(TLineWriter, AnOutputErrorIsLeftInTheStreamsState) {
  for (bool byOperators : {false, true}) {
    RefusingBuf refusing;
    std::ostream stream(&refusing);
    if (byOperators)
      stream.imbue(std::locale(std::locale::classic(), new std::numpunct<char>()));
    TLineWriter out(stream);
    out.Text("lost");
    out.Real(2.5);
    out.EndLine();
    EXPECT_TRUE(stream.bad()) << byOperators;
  }
}
} // namespace
