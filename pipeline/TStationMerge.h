// TStationMerge: the walk's stations along one axis, in walk order, from a
// point of the walk on: each ordinate of the walk (TWalkSteps) merged with
// the result's edges and the source's edges, which only move forward as the
// ordinates do (Descending: every sequence descends with its index, as along
// y; else every one ascends, as along x). An ordinate outside either grid's
// edges (or not a number) gives a station whose lookups fail and moves no
// edge. Otherwise its result cell is the segment that holds it and its
// source cell likewise, as TAxis::GetIndex finds them on a strictly
// monotonic axis (a segment closed at its lower ordinate, the larger end
// ordinate of the axis in the segment ending there); its pair and the
// centres (TAxisRules) follow TWalkStation.
//
// A merge starts at station 0, or at a checkpoint of an earlier merge: the
// station's index and ordinate, and the result and source segments reached
// before it (ResultSegment and SourceSegment after the station before),
// which give the same stations as the merge that passed there. The edges
// come from the axis's sequences by addition (backward, for the source's
// reversed edges, a block at a time), so a station costs O(1). The axis
// must outlive the merge. Nothing here throws but allocation failures.
#ifndef QUILLMAP_PIPELINE_TSTATIONMERGE_H
#define QUILLMAP_PIPELINE_TSTATIONMERGE_H

#include <algorithm>
#include <limits>

#include "grid/TAxisRules.h"
#include "grid/TStepSequence.h"
#include "maptools/TWalkStation.h"
#include "pipeline/TWalkAxis.h"

template <bool Descending> class TStationMerge {
public:
  TStationMerge(const TWalkAxis& axis, long station, double at, long resultSegment,
                long sourceSegment)
      : MbrSource(axis.SourceEdges, TermOf(axis, sourceSegment + 3), axis.SourceReversed ? -1 : 1),
        MbrDblAt(at), MbrDblWalkStep(axis.Walk.Step), MbrDblWalkEnd(axis.Walk.End),
        MbrDblResultStep(axis.ResultEdges.Step()), MbrDblSourceStep(axis.SourceEdges.Step()),
        MbrBlnSourceReversed(axis.SourceReversed), MbrLngResultSegment(resultSegment),
        MbrLngResultLast(axis.ResultEdges.Count() - 2), MbrLngSourceSegment(sourceSegment),
        MbrLngSourceLast(axis.SourceEdges.Count() - 2), MbrDblLowest(axis.Lowest),
        MbrDblHighest(axis.Highest), MbrLngIndex(station) {
    MbrDblResultNext = axis.ResultEdges.Term(resultSegment + 1);
    // The source's edges sourceSegment - 1 to sourceSegment + 2 give the
    // centres of its cells sourceSegment - 1 to sourceSegment + 1.
    double edges[4];
    SourceEdges(axis, sourceSegment - 1, edges);
    for (int offset = 0; offset < 3; ++offset)
      MbrDblCentres[offset] = CentreOf(edges[offset], edges[offset + 1]);
    MbrDblSourceNext = edges[2];
    MbrDblSourceAfter = edges[3];
    Resolve();
  }

  long Index() const { return MbrLngIndex; }
  const TWalkStation& Station() const { return MbrStation; }
  // The segments reached once the current station is resolved.
  long ResultSegment() const { return MbrLngResultSegment; }
  long SourceSegment() const { return MbrLngSourceSegment; }
  bool Stalls() const { return MbrBlnStalls; }

  // Moves to the next station (TWalkSteps' rule); false at the end of the
  // walk, the current one staying.
  bool Advance() {
    const double next = MbrDblAt + MbrDblWalkStep;
    if (!(Descending ? next >= MbrDblWalkEnd : next <= MbrDblWalkEnd))
      return false;
    if (next == MbrDblAt) {
      MbrBlnStalls = true;
      return false;
    }
    MbrDblAt = next;
    ++MbrLngIndex;
    Resolve();
    return true;
  }

private:
  static constexpr double kBeyond = std::numeric_limits<double>::quiet_NaN();

  static long TermOf(const TWalkAxis& axis, long index) {
    return axis.SourceReversed ? axis.SourceEdges.Count() - 1 - index : index;
  }
  // The four source edges from index `first` on, not-a-number beyond the
  // axis: one term looked up, the others added to it in term order.
  static void SourceEdges(const TWalkAxis& axis, long first, double* edges) {
    const TStepSequence& terms = axis.SourceEdges;
    const long a = TermOf(axis, first);
    const long b = TermOf(axis, first + 3);
    const long low = std::max(0L, std::min(a, b));
    const long high = std::min(terms.Count() - 1, std::max(a, b));
    std::fill(edges, edges + 4, kBeyond);
    double term = low <= high ? terms.Term(low) : 0.0;
    for (long k = low; k <= high; ++k, term = term + terms.Step())
      edges[(axis.SourceReversed ? terms.Count() - 1 - k : k) - first] = term;
  }
  static double CentreOf(double a, double b) {
    return Descending ? TAxisRules::YCentreOf(a, b) : TAxisRules::XCentreOf(a, b);
  }
  // Whether the walk has passed the edge: the segment after it holds the
  // ordinate (an edge belongs to the segment above it in value).
  static bool Passed(double edge, double at) { return Descending ? edge > at : edge <= at; }

  // The source's edge after MbrDblSourceAfter: the next term forward, or
  // from the cursor where the edges are held backward. Past the last edge
  // it is never a centre's that a station uses.
  double NextSourceEdge() {
    if (!MbrBlnSourceReversed)
      return MbrDblSourceAfter + MbrDblSourceStep;
    if (MbrLngSourceSegment + 2 > MbrLngSourceLast + 1)
      return kBeyond;
    const double edge = MbrSource.Value();
    MbrSource.Advance();
    return edge;
  }

  void Resolve() {
    const double at = MbrDblAt;
    if (!(at >= MbrDblLowest && at <= MbrDblHighest)) {
      MbrStation = TWalkStation::OutsideAt(at);
      return;
    }
    // Every edge sequence is one of repeated additions: the next result
    // edge is the one before plus the step.
    while (MbrLngResultSegment < MbrLngResultLast && Passed(MbrDblResultNext, at)) {
      ++MbrLngResultSegment;
      MbrDblResultNext = MbrDblResultNext + MbrDblResultStep;
    }
    while (MbrLngSourceSegment < MbrLngSourceLast && Passed(MbrDblSourceNext, at)) {
      ++MbrLngSourceSegment;
      MbrDblSourceNext = MbrDblSourceAfter;
      MbrDblSourceAfter = NextSourceEdge();
      MbrDblCentres[0] = MbrDblCentres[1];
      MbrDblCentres[1] = MbrDblCentres[2];
      MbrDblCentres[2] = CentreOf(MbrDblSourceNext, MbrDblSourceAfter);
    }
    const long segment = MbrLngSourceSegment;
    MbrStation = TWalkStation::Resolve(
        at, MbrLngResultSegment, segment, MbrLngSourceLast + 1, Descending,
        [this, segment](long index) { return MbrDblCentres[index - segment + 1]; });
  }

  // The source's edges held backward come from a cursor (at the third edge
  // after the current segment).
  TStepSequence::TCursor MbrSource;
  double MbrDblAt;
  double MbrDblWalkStep;
  double MbrDblWalkEnd;
  double MbrDblResultStep;
  double MbrDblSourceStep;
  bool MbrBlnSourceReversed;
  bool MbrBlnStalls = false;
  long MbrLngResultSegment;
  long MbrLngResultLast;
  long MbrLngSourceSegment;
  long MbrLngSourceLast;
  // The ordinates inside both grids' edges.
  double MbrDblLowest;
  double MbrDblHighest;
  long MbrLngIndex;
  // The result's next edge, the source's next two.
  double MbrDblResultNext = 0.0;
  double MbrDblSourceNext = 0.0;
  double MbrDblSourceAfter = 0.0;
  // The centres of source cells MbrLngSourceSegment - 1 to + 1.
  double MbrDblCentres[3] = {0.0, 0.0, 0.0};
  TWalkStation MbrStation;
};

#endif
