#include "grid/TStepSequence.h"

#include <algorithm>

TStepSequence::TStepSequence(double first, double step, long count, long spacing)
    : MbrDblFirst(first), MbrDblStep(step), MbrLngCount(count > 0 ? count : 0),
      MbrLngSpacing(spacing > 0 ? spacing : 0) {
  if (MbrLngSpacing == 0)
    return;
  MbrVecKept.reserve(static_cast<std::size_t>(MbrLngCount / MbrLngSpacing + 1));
  // A block of additions between kept terms at a time: the loop carries
  // nothing but the term, so it runs at the speed of the additions.
  bool ascends = true;
  bool descends = true;
  double term = first;
  for (long kept = 0; kept < MbrLngCount; kept += MbrLngSpacing) {
    MbrVecKept.push_back(term);
    const long last = std::min(kept + MbrLngSpacing, MbrLngCount - 1);
    for (long k = kept; k < last; ++k) {
      const double next = term + step;
      ascends &= next > term;
      descends &= next < term;
      term = next;
    }
  }
  MbrBlnAscends = ascends;
  MbrBlnDescends = descends;
}

double TStepSequence::Term(long k) const {
  long from = 0;
  double term = MbrDblFirst;
  if (MbrLngSpacing > 0) {
    from = k / MbrLngSpacing * MbrLngSpacing;
    term = MbrVecKept[static_cast<std::size_t>(k / MbrLngSpacing)];
  }
  for (; from < k; ++from)
    term = term + MbrDblStep;
  return term;
}

TStepSequence::TCursor::TCursor(const TStepSequence& sequence, long index, int direction)
    : MbrPtrSequence(&sequence), MbrDblStep(sequence.Step()), MbrLngIndex(index),
      MbrIntDirection(direction < 0 ? -1 : 1), MbrDblValue(0.0) {
  if (index < 0 || index >= sequence.Count())
    return;
  if (MbrIntDirection > 0) {
    MbrDblValue = sequence.Term(index);
    return;
  }
  MbrVecBlock.resize(static_cast<std::size_t>(sequence.MbrLngSpacing));
  FillBlockEndingAt(index);
}

void TStepSequence::TCursor::FillBlockEndingAt(long index) {
  const long spacing = MbrPtrSequence->MbrLngSpacing;
  MbrLngBlockStart = index / spacing * spacing;
  double term = MbrPtrSequence->MbrVecKept[static_cast<std::size_t>(index / spacing)];
  for (long k = MbrLngBlockStart; k <= index; ++k) {
    MbrVecBlock[static_cast<std::size_t>(k - MbrLngBlockStart)] = term;
    term = term + MbrPtrSequence->MbrDblStep;
  }
  MbrDblValue = MbrVecBlock[static_cast<std::size_t>(index - MbrLngBlockStart)];
}
