#include "TBandResample.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "maptools/TDownscaleFrame.h"
#include "maptools/TMapTools.h"

TBandResample::TBandResample(const TGridHeader& source, double NewResolution, bool noDataAware)
    : MbrSource(source), MbrEnmPolicy(noDataAware ? TBilinearWalk::TCornerPolicy::NoDataAware
                                                  : TBilinearWalk::TCornerPolicy::Plain),
      MbrPtrSourceFrame(source.Frame()) {
  // The whole-grid call refuses the resolution first, with its own message,
  // before it reads any cell.
  if (!(NewResolution > 0.0))
    TMapTools::BilinearInterpolate(MbrPtrSourceFrame.get(), NewResolution);
  // The cells are never held together: only the counts must fit.
  MbrPtrFrame = TDownscaleFrame::Build(MbrPtrSourceFrame.get(), NewResolution, 0.0,
                                       std::numeric_limits<double>::infinity());
  TBilinearWalk walk(MbrPtrSourceFrame.get(), MbrPtrFrame.get(), NewResolution, MbrEnmPolicy);
  MbrBlnBanded = walk.ResolveWalk(MbrVecColumns, MbrVecRows);
  if (!MbrBlnBanded)
    return;
  walk.RaiseFirstFailure(MbrVecColumns, MbrVecRows);
  // The last row station of a result row decides it, as in the walk.
  MbrVecRowStation.assign(MbrPtrFrame->MbrLngYDim, -1);
  for (std::size_t r = 0; r < MbrVecRows.size(); ++r)
    MbrVecRowStation[MbrVecRows[r].Cell] = static_cast<long>(r);
}

std::vector<long> TBandResample::FirstSourceRows() const {
  std::vector<long> first(MbrVecRowStation.size(), -1);
  for (std::size_t d = 0; d < first.size(); ++d)
    if (MbrVecRowStation[d] >= 0) {
      const TBilinearWalk::TStation& row = MbrVecRows[MbrVecRowStation[d]];
      first[d] = std::min(row.Low, row.High);
    }
  return first;
}

std::pair<long, long> TBandResample::SourceRows(long begin, long end) const {
  long first = std::numeric_limits<long>::max();
  long last = -1;
  for (long d = std::max(begin, 0L); d < end && d < static_cast<long>(MbrVecRowStation.size()); ++d)
    if (MbrVecRowStation[d] >= 0) {
      const TBilinearWalk::TStation& row = MbrVecRows[MbrVecRowStation[d]];
      first = std::min({first, row.Low, row.High});
      last = std::max({last, row.Low, row.High});
    }
  if (last < 0)
    return {0, 0};
  return {first, last + 1};
}

void TBandResample::FillRows(long begin, long end, const double* rows, long firstRow, long rowCount,
                             double* out) const {
  if (begin < 0 || begin > end || end > MbrPtrFrame->MbrLngYDim)
    throw std::out_of_range("the band lies outside the result's rows");
  const std::pair<long, long> needed = SourceRows(begin, end);
  if (needed.first < needed.second &&
      (needed.first < firstRow || needed.second > firstRow + rowCount))
    throw std::out_of_range("the source rows given do not cover the band");
  const long columns = MbrPtrFrame->MbrLngXDim;
  const double noData = MbrSource.NoData;
  for (long d = begin; d < end; ++d, out += columns) {
    std::fill(out, out + columns, noData);
    const long station = MbrVecRowStation[d];
    if (station < 0)
      continue;
    const TBilinearWalk::TStation& row = MbrVecRows[station];
    const double* low = rows + (row.Low - firstRow) * MbrSource.Columns;
    const double* high = rows + (row.High - firstRow) * MbrSource.Columns;
    TBilinearWalk::FillRow(MbrEnmPolicy, noData, low, high, row, MbrVecColumns, out);
  }
}
