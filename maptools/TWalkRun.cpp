#include "maptools/TWalkRun.h"

TWalkRun TWalkRun::AlongX(double west, double east, double S, double R) {
  return TWalkRun{west + S, R, east - S - R, false};
}

TWalkRun TWalkRun::AlongY(double first, double last, double S, double R) {
  if (first > last)
    return TWalkRun{first - S - R, -R, last + S, true};
  return TWalkRun{first + S, R, last - S, false};
}
