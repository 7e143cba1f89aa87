#include "pipeline/TWalkAxis.h"

#include <algorithm>

namespace {
double LowestOf(const TStepSequence& edges) {
  return std::min(edges.First(), edges.Term(edges.Count() - 1));
}
double HighestOf(const TStepSequence& edges) {
  return std::max(edges.First(), edges.Term(edges.Count() - 1));
}
} // namespace

TWalkAxis::TWalkAxis(const TStepSequence& sourceEdges, bool sourceReversed,
                     const TStepSequence& resultEdges, const TWalkRun& walk)
    : SourceEdges(sourceEdges), SourceReversed(sourceReversed), ResultEdges(resultEdges),
      Walk(walk), Lowest(std::max(LowestOf(resultEdges), LowestOf(sourceEdges))),
      Highest(std::min(HighestOf(resultEdges), HighestOf(sourceEdges))) {}
