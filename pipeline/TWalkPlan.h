// TWalkPlan: the bilinear resampling of a grid planned from its header
// alone: the result's geometry (the grid TMapTools::Downscale builds,
// TDownscaleGeometry), both axes of the walk as streamed sequences
// (TWalkAxis) with their stations planned (TWalkAxisPlan), the walk's first
// failure raised here, and how rows are filled (the corner policy, and the
// quotients of a shared area where the in-memory walk uses them). Every
// ordinate is the one the in-memory operations compute, so rows filled from
// the plan have the bits of TMapTools::BilinearInterpolate on the map the
// reader builds from that header.
//
// Throws, in this order, what TMapTools::BilinearInterpolate throws for that
// map: "New resolution cannot be <= 0.0 in TMapTools::BilinearInterpolate"
// (not-a-number included), "Grid dimensions are too large in
// TMapTools::Downscale" (a count beyond a signed 32-bit count, or a result
// of more cells than `fits` accepts), "Index is out of range in
// TAxis::GetPoint" (a result without columns or rows), then the walk's first
// failure (TWalkFailure). Where the geometry is one the streamed stations do
// not describe (an axis not strictly monotonic, as with coordinates so
// large that adding a cell size leaves them unchanged), Streams() is false,
// the walk is not planned and only the result's geometry is known.
//
// Memory: the axes' kept terms and checkpoints, O((rows + columns) / spacing)
// for both grids together. The plan must stay where it was built (its axis
// plans refer to its axes).
#ifndef QUILLMAP_PIPELINE_TWALKPLAN_H
#define QUILLMAP_PIPELINE_TWALKPLAN_H

#include <functional>
#include <optional>

#include "grid/TGridGeometry.h"
#include "maptools/NoDataCorners.h"
#include "pipeline/TWalkAxis.h"
#include "pipeline/TWalkAxisPlan.h"

class TWalkPlan {
public:
  // spacing: stations and kept terms between checkpoints; 0 for the plan's
  // own choice (a few thousand, more for huge grids).
  TWalkPlan(const TGridGeometry& source, double NewResolution, TCornerPolicy policy,
            const std::function<bool(double cells)>& fits, long spacing = 0);
  TWalkPlan(const TWalkPlan&) = delete;
  TWalkPlan& operator=(const TWalkPlan&) = delete;

  bool Streams() const { return MbrBlnStreams; }
  const TGridGeometry& Source() const { return MbrSource; }
  const TGridGeometry& Result() const { return MbrResult; }
  // Meaningful when Streams().
  const TColumnPlan& Columns() const { return *MbrColumns; }
  const TRowPlan& Rows() const { return *MbrRows; }
  TCornerPolicy Policy() const { return MbrEnmPolicy; }
  // Whether rows are filled from quotients by Area().
  bool UsesQuotients() const { return MbrBlnQuotients; }
  double Area() const { return MbrDblArea; }

  // The most result columns whose source cells span at most sourceColumns
  // columns (one at least).
  long ColumnsWithin(long sourceColumns) const;
  // The source rows [low, high) that the stations deciding result rows
  // [first, end) read; false (and an empty range) where none does.
  bool SourceRowsOf(long first, long end, long& low, long& high) const;
  // The source columns [low, high) that the stations of result columns
  // [first, end) read; false (and an empty range) where none does.
  bool SourceColumnsOf(long first, long end, long& low, long& high) const;
  // For every result row, the low of SourceRowsOf that row alone, -1 where
  // it has none: Result().Rows values, in one pass over the stations.
  void FirstSourceRows(long* first) const;

private:
  TGridGeometry MbrSource;
  TGridGeometry MbrResult;
  TCornerPolicy MbrEnmPolicy;
  bool MbrBlnStreams = false;
  bool MbrBlnQuotients = false;
  double MbrDblArea = 0.0;
  std::optional<TWalkAxis> MbrColumnsAxis;
  std::optional<TWalkAxis> MbrRowsAxis;
  std::optional<TColumnPlan> MbrColumns;
  std::optional<TRowPlan> MbrRows;
};

#endif
