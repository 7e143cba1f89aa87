#include "grid/TAxisRules.h"

TStepSequence TAxisRules::XEdgesOf(double firstCentre, double r, long count, long spacing) {
  return TStepSequence(firstCentre - r * 0.5, r, count + 1, spacing);
}

TStepSequence TAxisRules::YEdgesOf(double firstCentre, double lastCentre, double r, long count,
                                   char selector, long spacing) {
  const double half = r * 0.5;
  if (firstCentre > lastCentre || (count == 1 && selector == 'Y'))
    return TStepSequence(firstCentre + half, selector == 'Y' ? -r : r, count + 1, spacing);
  return TStepSequence(firstCentre - half, r, count + 1, spacing);
}
