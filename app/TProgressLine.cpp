#include "app/TProgressLine.h"

#include <cmath>
#include <string>

namespace {
// Ticks 0 to 40: a number at every fourth, a dot elsewhere.
const int kLastTick = 40;
const int kTicksPerTenth = 4;

std::string TickText(int tick) {
  if (tick == kLastTick)
    return "100 - done.\n";
  if (tick % kTicksPerTenth != 0)
    return ".";
  return std::to_string(tick / kTicksPerTenth * 10);
}

// The ticks that `fraction` reaches, counting tick 0.
int TicksReached(double fraction) {
  if (fraction >= 1.0)
    return kLastTick + 1;
  if (!(fraction >= 0.0))
    return 0;
  // Below 1, at most tick 39.
  return static_cast<int>(std::floor(fraction * kLastTick)) + 1;
}
} // namespace

TProgressLine::TProgressLine(std::ostream& out) : MbrOut(out), MbrIntWritten(0) {}

void TProgressLine::Report(double fraction) {
  const int reached = TicksReached(fraction);
  if (reached <= MbrIntWritten)
    return;
  std::string text;
  for (int tick = MbrIntWritten; tick < reached; ++tick)
    text += TickText(tick);
  MbrIntWritten = reached;
  MbrOut << text << std::flush;
}

void TProgressLine::Interrupt() {
  if (MbrIntWritten > 0 && MbrIntWritten <= kLastTick)
    MbrOut << std::endl;
  MbrIntWritten = kLastTick + 1;
}
