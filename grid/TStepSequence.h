// TStepSequence: the ordinates of an axis as the system builds every axis:
// term 0 is `first`, and each further term is the term before it plus
// `step`, rounded to a double at each addition (never first + k * step).
// The reader's edges, Downscale's centres, the edges PointsToIntervals
// derives and the file-to-file resampling's streamed geometry all take
// their terms from here, so that they agree to the bit.
//
// Built with a spacing K > 0, the sequence keeps every K-th term, found in
// one pass over the terms, and tells whether the terms strictly ascend or
// strictly descend. Term(k) then costs at most K - 1 additions from the kept
// term at or before k, and a cursor runs through the terms from any index in
// either direction at O(1) per term: forward by addition, backward a block of
// K terms at a time, recomputed forward from a kept term into a buffer.
// Without a spacing nothing is kept: terms come from the first one.
//
// Memory: count / K kept terms, and K terms in a backward cursor. The
// sequence must outlive its cursors. Nothing here throws but the standard
// library's allocation failures.
#ifndef QUILLMAP_GRID_TSTEPSEQUENCE_H
#define QUILLMAP_GRID_TSTEPSEQUENCE_H

#include <vector>

class TStepSequence {
public:
  TStepSequence(double first, double step, long count, long spacing = 0);

  double First() const { return MbrDblFirst; }
  double Step() const { return MbrDblStep; }
  long Count() const { return MbrLngCount; }
  // Term k, 0 <= k < Count().
  double Term(long k) const;
  // Whether every addition raised (lowered) the term, not-a-number never
  // doing either; a sequence of one term does both. Known with a spacing.
  bool Ascends() const { return MbrBlnAscends; }
  bool Descends() const { return MbrBlnDescends; }

  // Calls visit(term) for every term in order.
  template <class TVisit> void ForEach(TVisit visit) const {
    double term = MbrDblFirst;
    for (long k = 0; k < MbrLngCount; ++k) {
      visit(term);
      term = term + MbrDblStep;
    }
  }

  // The terms from an index on, forward (+1) or backward (-1, which needs a
  // spacing). Past either end Index() leaves [0, Count()) and Value() is not
  // a term (forward, the sequence's rule goes on).
  class TCursor {
  public:
    TCursor(const TStepSequence& sequence, long index, int direction);
    long Index() const { return MbrLngIndex; }
    double Value() const { return MbrDblValue; }
    void Advance() {
      MbrLngIndex += MbrIntDirection;
      if (MbrIntDirection > 0)
        MbrDblValue = MbrDblValue + MbrDblStep;
      else if (MbrLngIndex >= MbrLngBlockStart)
        MbrDblValue = MbrVecBlock[static_cast<std::size_t>(MbrLngIndex - MbrLngBlockStart)];
      else if (MbrLngIndex >= 0)
        FillBlockEndingAt(MbrLngIndex);
    }

  private:
    void FillBlockEndingAt(long index);

    const TStepSequence* MbrPtrSequence;
    double MbrDblStep;
    long MbrLngIndex;
    int MbrIntDirection;
    double MbrDblValue;
    // Backward: the terms of the block [MbrLngBlockStart, MbrLngIndex].
    std::vector<double> MbrVecBlock;
    long MbrLngBlockStart = 0;
  };

private:
  double MbrDblFirst;
  double MbrDblStep;
  long MbrLngCount;
  long MbrLngSpacing;
  std::vector<double> MbrVecKept;
  bool MbrBlnAscends = false;
  bool MbrBlnDescends = false;
};

#endif
