// TBilinearWalk: the sample walk with which TMapTools::BilinearInterpolate
// fills a destination grid (built by TMapTools::Downscale) from a source map.
//
// With S the source's cell size and R the new one, the walk's x runs from
// the destination's west edge + S while x <= east edge - S - R, in steps of
// R; for every x, y runs from its start for as long as the walk goes on
// (north edge - S - R down to south edge + S for a descending Y axis, south
// edge + S up to north edge - S for an ascending one), the first y of every
// column being taken without testing it. Both ordinates advance by repeated
// addition. Each walk point stores, into the destination cell that holds it,
// the bilinear interpolation (maptools/BilinearFormula.h) between the centres
// of the four source cells around it.
//
// Two ways of running it give the same bits and the same failure at the same
// point. The per-point way performs each point with the map's own lookups.
// The table way reads the axes once and, when every axis is strictly
// monotonic and the maps are rectangular, resolves each x (per column) and
// each y (per row, the same in every column) once, so that a point costs
// O(1) and allocates nothing; a point that would fail is handed to the
// per-point way, which raises the failure. When all points share one area A,
// as on evenly spaced axes, and there are more points than a quarter of the
// source cells, the corner quotients Q / A are computed once per source row
// (two rows held at a time) rather than four times per point.
//
// With the no-data-aware policy a point whose four source corners include a
// no-data cell (NoDataCorners.h) stores the source's no-data value instead of
// the interpolation; the walk, and where it fails, stay the same.
//
// Ownership: both maps stay the caller's; only the destination's cell values
// are written. The source must have its four axes with no empty slot.
//
// Throws "New resolution is too small for the map's coordinates in
// TMapTools::BilinearInterpolate" when a step does not move the ordinate,
// "LngGetX1 is out of range in TMapTools::BilinearInterpolate" (LngGetX2,
// LngGetY1, LngGetY2 likewise) and what the map and axis lookups throw.
#ifndef QUILLMAP_MAPTOOLS_TBILINEARWALK_H
#define QUILLMAP_MAPTOOLS_TBILINEARWALK_H

#include <vector>

#include "grid/TAxisLookup.h"
#include "grid/TMap.h"

class TBilinearWalk {
public:
  enum class TCornerPolicy { Plain, NoDataAware };

  TBilinearWalk(TMap* source, TMap* destination, double NewResolution,
                TCornerPolicy policy = TCornerPolicy::Plain);

  // Runs the whole walk; a failure leaves the destination partly written.
  void Run();

  // Number of walk points a complete walk visits.
  long PointCount() const;

  // Everything one walk ordinate needs: the destination cell index, the two
  // source neighbours and their centre ordinates. `Fails` marks an ordinate
  // whose lookups or neighbour indices would fail.
  struct TStation {
    double At;
    long Cell;
    long Low;
    long High;
    double LowCentre;
    double HighCentre;
    bool Fails;
  };

  // For a caller that holds the cells elsewhere (the maps may be frames with
  // axes and counts only). Resolves the stations of every x (columns) and
  // every y (rows) in walk order; false when the axes are not strictly
  // monotonic, where only the per-point way applies.
  bool ResolveWalk(std::vector<TStation>& columns, std::vector<TStation>& rows) const;
  // Throws the failure that Run raises, at the same point, without reading
  // or writing any cell; returns when the walk succeeds. Then every point
  // stores its value from its column's and its row's stations, and the last
  // row station of a destination row decides that row.
  void RaiseFirstFailure(const std::vector<TStation>& columns, const std::vector<TStation>& rows);
  // Whether every point has the same area A = (x2 - x1) x (y2 - y1), as on
  // evenly spaced axes; then each corner's Q / A is a quotient of the source
  // cell alone, computed once per source row instead of once per point.
  static bool SharesOneArea(const std::vector<TStation>& columns, const std::vector<TStation>& rows,
                            double& area);

  // The values of one destination row from its row station and the two
  // source rows it names (out indexed by destination column; cells no
  // column station names are left alone), under the policy with the
  // source's no-data value: from the rows' values, or from their quotients
  // by the shared area (SharesOneArea; the values still decide the policy's
  // test). Both give the same bits.
  static void FillRow(TCornerPolicy policy, double noData, const double* low, const double* high,
                      const TStation& row, const std::vector<TStation>& columns, double* out);
  static void FillRowFromQuotients(TCornerPolicy policy, double noData, const double* low,
                                   const double* high, const double* lowQuotients,
                                   const double* highQuotients, const TStation& row,
                                   const std::vector<TStation>& columns, double* out);

private:
  struct TCorners {
    long X1, X2, Y1, Y2;
  };

  void BuildOrdinates();
  bool TablesApply() const;
  bool AxesMatchCounts() const;
  void RunTables();
  void RunPointByPoint();
  void ResolveStations(const std::vector<double>& ordinates, const TAxisLookup& destinationEdges,
                       const TAxisLookup& sourceEdges, TAxis* sourceCentres, char selector,
                       long count, std::vector<TStation>& stations) const;
  void FillInRowOrder(const std::vector<TStation>& columns, const std::vector<TStation>& rows);
  // Each point from its four corners; with NoDataAware, a point with a
  // no-data corner stores the no-data value.
  template <bool NoDataAware>
  static void FillRowOf(double noData, const double* low, const double* high, const TStation& row,
                        const std::vector<TStation>& columns, double* out);
  template <bool NoDataAware>
  static void FillRowOfQuotients(double noData, const double* low, const double* high,
                                 const double* lowQuotients, const double* highQuotients,
                                 const TStation& row, const std::vector<TStation>& columns,
                                 double* out);
  void FillRowByRow(const std::vector<TStation>& columns, const std::vector<TStation>& rows);
  // The value a point stores from its four corners: the interpolation, or
  // the no-data value under the no-data-aware policy.
  double PointValue(double Q11, double Q21, double Q12, double Q22, double x, double x1, double x2,
                    double y, double y1, double y2) const;
  void FillFromQuotients(const std::vector<TStation>& columns, const std::vector<TStation>& rows,
                         double area);
  void ReplayInWalkOrder(const std::vector<TStation>& columns, const std::vector<TStation>& rows);
  void StoreFromTables(const TStation& column, const TStation& row);
  void VisitPoint(double x, double y);
  // The source lookups and the four index checks of one point.
  TCorners LocateCorners(double x, double y) const;
  TCornerPolicy Policy() const {
    return MbrBlnNoDataAware ? TCornerPolicy::NoDataAware : TCornerPolicy::Plain;
  }
  bool YGoesOn(double y) const { return MbrBlnDescending ? y >= MbrDblYEnd : y <= MbrDblYEnd; }

  TMap* MbrPtrSource;
  TMap* MbrPtrDestination;
  double MbrDblResolution;
  bool MbrBlnNoDataAware;
  bool MbrBlnDescending;
  double MbrDblXEnd;
  double MbrDblYEnd;
  // The walk's ordinates in visiting order, and whether the step after the
  // last one fails to move the ordinate while the walk would go on.
  std::vector<double> MbrVecX;
  std::vector<double> MbrVecY;
  bool MbrBlnXStalls;
  bool MbrBlnYStalls;
};

#endif
