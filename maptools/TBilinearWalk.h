// TBilinearWalk: the sample walk with which TMapTools::BilinearInterpolate
// fills a destination grid (built by TMapTools::Downscale) from a source map.
//
// The walk's ordinates come from TWalkRun: x from the destination's west
// edge + S while x <= east edge - S - R, in steps of R; for every x, y from
// its start for as long as the walk goes on, the first y of every column
// being taken without testing it. Each walk point stores, into the
// destination cell that holds it, the bilinear interpolation between the
// centres of the four source cells around it, under the corner policy
// (TRowFill).
//
// Two ways of running it give the same bits and the same failure. The
// per-point way performs each point with the map's own lookups. The table
// way, when every axis is strictly monotonic and the maps are rectangular,
// resolves each x (per column) and each y (per row, the same in every
// column) once into a TWalkStation, so that a point costs O(1) and allocates
// nothing; the first failure then follows from the stations (TWalkFailure)
// before any cell is written. When all points share one area (TSharedArea)
// and there are more points than a quarter of the source cells, the corner
// quotients are computed once per source row (TRowPairCache).
//
// The walk may also run between frames (maps with axes and no stored rows)
// whose cells lie in row-major buffers of their counts; it then takes the
// table way only, which OnTables() tells in advance.
//
// Ownership: both maps (and buffers) stay the caller's; only the
// destination's cell values are written. The source must have its four
// axes with no empty slot.
//
// Throws "New resolution is too small for the map's coordinates in
// TMapTools::BilinearInterpolate" when a step does not move the ordinate,
// "LngGetX1 is out of range in TMapTools::BilinearInterpolate" (LngGetX2,
// LngGetY1, LngGetY2 likewise) and what the map and axis lookups throw; the
// per-point way may leave the destination partly written then.
#ifndef QUILLMAP_MAPTOOLS_TBILINEARWALK_H
#define QUILLMAP_MAPTOOLS_TBILINEARWALK_H

#include <vector>

#include "grid/TAxisLookup.h"
#include "grid/TMap.h"
#include "maptools/NoDataCorners.h"
#include "maptools/TWalkStation.h"

class TBilinearWalk {
public:
  TBilinearWalk(TMap* source, TMap* destination, double NewResolution,
                TCornerPolicy policy = TCornerPolicy::Plain);
  // Between frames whose cells are the buffers given; Run needs OnTables().
  TBilinearWalk(TMap* sourceFrame, const double* sourceCells, TMap* destinationFrame,
                double* destinationCells, double NewResolution, TCornerPolicy policy);

  void Run();
  // Whether Run takes the table way: the cells are stored (in the maps'
  // rows or in buffers) and every axis matches its count and is strictly
  // monotonic.
  bool OnTables() const;
  // Run on a destination whose rows are reserved but hold no cells
  // (mapsupport::ReserveRows): the table way sets each row to the
  // destination's no-data value just before the walk first writes into it,
  // while it is in the cache, and the rows the walk never reaches after the
  // walk; the per-point way sets every row first. Each cell's memory is
  // then written once, from the worker that fills it. A failure leaves the
  // rows as they are.
  void RunOnReservedRows();
  // Run between frames whose destination buffer holds no cells yet (the
  // table way): each destination row is set to the no-data value just
  // before the walk first writes into it, and the rows the walk never
  // reaches after the walk, as on reserved rows. A failure leaves the
  // buffer as it is.
  void RunOnUnsetCells();

  // Number of walk points a complete walk visits.
  long PointCount() const;

private:
  struct TCorners {
    long X1, X2, Y1, Y2;
  };

  void BuildOrdinates();
  bool AxesMatchCounts() const;
  bool AxesMonotonic() const;
  // The stations of every x (columns) and every y (rows) in walk order;
  // the axes strictly monotonic.
  void ResolveWalk(std::vector<TWalkStation>& columns, std::vector<TWalkStation>& rows) const;
  void ResolveStations(const std::vector<double>& ordinates, const TAxisLookup& destinationEdges,
                       const TAxisLookup& sourceEdges, TAxis* sourceCentres, char selector,
                       long count, std::vector<TWalkStation>& stations) const;
  void RaiseFirstFailure(const std::vector<TWalkStation>& columns,
                         const std::vector<TWalkStation>& rows) const;
  void RunTables();
  void RunPointByPoint();
  // Sets the rows of a destination run on reserved rows (or unset cells)
  // that do not hold their cells yet to its no-data value.
  void FillEmptyRows();
  // The cells of destination row `cell`, set to the no-data value first if
  // the row was reserved (or unset) and is still empty.
  double* DestinationRow(long cell);
  // The row tables of the maps, when the source is rectangular and the
  // destination holds every row (or, reserved, has room for every row).
  void TakeRows();
  void FillRowByRow(const std::vector<TWalkStation>& columns,
                    const std::vector<TWalkStation>& rows);
  void FillFromQuotients(const std::vector<TWalkStation>& columns,
                         const std::vector<TWalkStation>& rows, double area);
  void VisitPoint(double x, double y);
  // The source lookups and the four index checks of one point.
  TCorners LocateCorners(double x, double y) const;

  TMap* MbrPtrSource;
  TMap* MbrPtrDestination;
  double MbrDblResolution;
  TCornerPolicy MbrEnmPolicy;
  bool MbrBlnDescending;
  // The first cell of each stored (or reserved) row, empty where the rows
  // are not rectangular (the per-point way then reads the maps).
  std::vector<const double*> MbrVecSourceRows;
  std::vector<double*> MbrVecDestinationRows;
  // The walk's ordinates in visiting order, and whether the run stopped at
  // a step that did not move the ordinate.
  std::vector<double> MbrVecX;
  std::vector<double> MbrVecY;
  bool MbrBlnXStalls;
  bool MbrBlnYStalls;
  bool MbrBlnRowsReserved = false;
  // Per destination row of a buffer run on unset cells, whether it is still
  // unset; empty otherwise. Bands keep each row on one worker.
  std::vector<unsigned char> MbrVecRowsUnset;
};

#endif
