// TProgressLine against the line written out tick by tick: after every
// report the stream holds exactly the ticks that the greatest fraction so far
// reaches, each once and in order, whatever the sequence of fractions; an
// interrupted line ends once and takes nothing more.
#include "app/TProgressLine.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {
const std::string kLine = "0...10...20...30...40...50...60...70...80...90...100 - done.\n";

// The line's first `ticks` ticks, of 41: a number at every tenth, a dot at
// each 2.5% between.
std::string Ticks(int ticks) {
  std::string text;
  for (int tick = 0; tick < ticks; ++tick)
    text += tick == 40 ? "100 - done.\n" : tick % 4 == 0 ? std::to_string(tick / 4 * 10) : ".";
  return text;
}

int Reached(double fraction) {
  return fraction >= 1.0 ? 41 : static_cast<int>(std::floor(fraction * 40.0)) + 1;
}

TEST(TProgressLineTest, TheWholeLineIsTheLineUsersKnow) {
  EXPECT_EQ(Ticks(41), kLine);
}

TEST(TProgressLineTest, EveryReportWritesTheTicksReachedSoFar) {
  std::mt19937_64 random(18);
  for (int run = 0; run < 2000; ++run) {
    std::ostringstream out;
    TProgressLine line(out);
    std::vector<double> fractions(random() % 60);
    std::uniform_real_distribution<double> fraction(0.0, run % 2 == 0 ? 1.0 : 0.3);
    for (double& f : fractions)
      f = fraction(random);
    // Non-decreasing, with repeats, tick boundaries and the end itself.
    std::sort(fractions.begin(), fractions.end());
    if (!fractions.empty() && run % 3 == 0)
      fractions[fractions.size() / 2] = std::floor(fractions[fractions.size() / 2] * 40) / 40;
    if (run % 4 != 3)
      fractions.push_back(1.0);
    double most = -1.0;
    for (double f : fractions) {
      line.Report(f);
      most = std::max(most, f);
      ASSERT_EQ(out.str(), Ticks(Reached(most))) << "run " << run << " at " << f;
    }
  }
}

TEST(TProgressLineTest, NothingIsWrittenBeforeTheFirstReport) {
  std::ostringstream out;
  TProgressLine line(out);
  line.Interrupt();
  line.Report(0.5);
  EXPECT_EQ(out.str(), "");
}

TEST(TProgressLineTest, AFractionBelowAnEarlierOneOrNotANumberWritesNothing) {
  std::ostringstream out;
  TProgressLine line(out);
  line.Report(0.5);
  line.Report(0.1);
  line.Report(std::numeric_limits<double>::quiet_NaN());
  line.Report(-1.0);
  EXPECT_EQ(out.str(), Ticks(21));
}

TEST(TProgressLineTest, AnInterruptedLineEndsOnceAndTakesNothingMore) {
  for (const double f : {0.0, 0.025, 0.5, 0.999}) {
    std::ostringstream out;
    TProgressLine line(out);
    line.Report(f);
    line.Interrupt();
    line.Interrupt();
    line.Report(1.0);
    EXPECT_EQ(out.str(), Ticks(Reached(f)) + "\n") << f;
  }
}

TEST(TProgressLineTest, AFinishedLineIsNotEndedAgain) {
  std::ostringstream out;
  TProgressLine line(out);
  line.Report(1.0);
  line.Interrupt();
  line.Report(1.0);
  EXPECT_EQ(out.str(), kLine);
}
} // namespace
