// TMapTools: building a grid of another cell size over a map's extent.
#include <memory>
#include <vector>

#include "grid/TStepSequence.h"
#include "maptools/MapSupport.h"
#include "maptools/MapToolsMessages.h"
#include "maptools/TDownscaleGeometry.h"
#include "maptools/TMapTools.h"
#include "platform/TMemoryBudget.h"

namespace {
const char* const kSubdivideTooLarge = "Grid dimensions are too large in TMapTools::Subdivide";
const char* const kDownscaleNoAxes = "Map has no axes in TMapTools::Downscale";
const char* const kSubdivideNoAxes = "Map has no axes in TMapTools::Subdivide";
const char* const kFactorBelowOne = "Subdivision factor must be at least 1 in TMapTools::Subdivide";

// Heap bookkeeping per allocated axis point, on top of the point itself.
const double kAllocationOverhead = 16.0;

// What a grid of that size holds on the heap: its cells and rows, if it
// has them, and the points of its four axes.
double GridBytes(long columns, long rows, bool withCells) {
  const double c = columns > 0 ? static_cast<double>(columns) : 0.0;
  const double r = rows > 0 ? static_cast<double>(rows) : 0.0;
  const double points = 2.0 * (c + r + 1.0);
  const double cells = withCells ? c * r * sizeof(double) + r * sizeof(std::vector<double>) : 0.0;
  return cells + points * (sizeof(TPoint) + sizeof(TPoint*) + kAllocationOverhead);
}

// Refuses, before anything is allocated, a grid that could not fit in this
// machine's memory or in the address space the process is allowed.
void RequireMemoryFor(long columns, long rows, const char* message, bool withCells = true) {
  if (!TMemoryBudget::Holds(GridBytes(columns, rows, withCells)))
    throw message;
}

TPoint* EdgePoint(TAxis* edges, long index, const char* noAxes) {
  TPoint* point = edges->GetPoint(index);
  if (point == nullptr)
    throw noAxes;
  return point;
}

// The source's first X edge (x0), first Y edge (y0) and last Y edge (yn).
void ReadAnchor(TMap* source, const char* noAxes, double& x0, double& y0, double& yn) {
  mapsupport::RequireEdgeAxes(source, noAxes);
  x0 = EdgePoint(source->MbrPtrXAxisInterval, 0, noAxes)->x;
  y0 = EdgePoint(source->MbrPtrYAxisInterval, 0, noAxes)->y;
  yn = EdgePoint(source->MbrPtrYAxisInterval, source->MbrLngYDim, noAxes)->y;
}

// A point per ordinate, along x ('X') or y (any other selector); the other
// ordinate of every point is `other`.
std::unique_ptr<TAxis> AxisFrom(char selector, double resolution, const TStepSequence& ordinates,
                                double other) {
  auto axis = std::make_unique<TAxis>(resolution);
  axis->MbrVecPoints.reserve(ordinates.Count());
  ordinates.ForEach([&](double ordinate) {
    axis->AddPoint(selector == 'X' ? new TPoint(ordinate, other) : new TPoint(other, ordinate));
  });
  return axis;
}

// Copies source cell (i, j) into the factor x factor block of cells at
// (i * factor, j * factor).
// A source whose rows match its dimensions is copied in bands of its rows on
// every core; any other cell by cell, where its first missing cell fails.
void CopySubdivided(TMap* source, TMap* result, long factor) {
  const auto copy = [result, factor](long i, long j, double value) {
    for (long b = 0; b < factor; ++b) {
      double* out = result->MbrVecValues[j * factor + b].data() + i * factor;
      for (long a = 0; a < factor; ++a)
        out[a] = value;
    }
  };
  if (!source->IsRectangular()) {
    mapsupport::ForEachCell(source, copy);
    return;
  }
  mapsupport::ForRowBands(source->MbrLngYDim, source->MbrLngXDim * factor * factor,
                          [&](long first, long end) {
                            for (long j = first; j < end; ++j)
                              for (long i = 0; i < source->MbrLngXDim; ++i)
                                copy(i, j, source->MbrVecValues[j][i]);
                          });
}

} // namespace

namespace {
// What a grid that Downscale builds holds of its rows.
enum class TRows { Stored, Reserved, None };

// The grid Downscale builds, with its cells, with room for them, or as a
// frame; cellsFit: its cells must fit in memory, even when not stored.
TMap* DownscaledMap(TMap* source, double NewResolution, double noData, TRows rows, bool cellsFit) {
  const TDownscaleGeometry geometry(source->MbrDblResolution, source->MbrLngXDim,
                                    source->MbrLngYDim, NewResolution, kDownscaleTooLarge);
  RequireMemoryFor(geometry.Columns(), geometry.Rows(), kDownscaleTooLarge, cellsFit);
  double x0 = 0.0, y0 = 0.0, yn = 0.0;
  ReadAnchor(source, kDownscaleNoAxes, x0, y0, yn);
  auto result = std::make_unique<TMap>(NewResolution);
  result->MbrLngXDim = geometry.Columns();
  result->MbrLngYDim = geometry.Rows();
  result->MbrDblNoDataValue = noData;
  if (rows == TRows::Stored)
    mapsupport::StoreRows(*result, noData);
  else if (rows == TRows::Reserved)
    mapsupport::ReserveRows(*result);
  std::unique_ptr<TAxis> xAxis = AxisFrom('X', NewResolution, geometry.XCentres(x0), y0);
  std::unique_ptr<TAxis> yAxis = AxisFrom('Y', NewResolution, geometry.YCentres(y0, yn), x0);
  result->SetXAxis(xAxis.get());
  result->SetYAxis(yAxis.get());
  return result.release();
}
} // namespace

TMap* mapsupport::DownscaledGrid(TMap* source, double NewResolution, double noData) {
  return DownscaledMap(source, NewResolution, noData, TRows::Stored, true);
}

TMap* mapsupport::DownscaledReserved(TMap* source, double NewResolution, double noData) {
  return DownscaledMap(source, NewResolution, noData, TRows::Reserved, true);
}

TMap* mapsupport::DownscaledFrame(TMap* source, double NewResolution, double noData,
                                  bool cellsFit) {
  return DownscaledMap(source, NewResolution, noData, TRows::None, cellsFit);
}

TMap* TMapTools::Downscale(TMap* source, double NewResolution) {
  return mapsupport::DownscaledGrid(source, NewResolution, TMap::kDefaultNoDataValue);
}

TMap* TMapTools::Subdivide(TMap* source, int factor) {
  if (factor < 1)
    throw kFactorBelowOne;
  const long k = factor;
  if (!TDownscaleGeometry::FitsCount(static_cast<double>(k) * source->MbrLngXDim) ||
      !TDownscaleGeometry::FitsCount(static_cast<double>(k) * source->MbrLngYDim))
    throw kSubdivideTooLarge;
  const double cellSize = source->MbrDblResolution / factor;
  const long columns = k * source->MbrLngXDim;
  const long rows = k * source->MbrLngYDim;
  RequireMemoryFor(columns, rows, kSubdivideTooLarge);
  auto result = std::make_unique<TMap>(cellSize);
  result->MbrLngXDim = columns;
  result->MbrLngYDim = rows;
  mapsupport::StoreRows(*result, TMap::kDefaultNoDataValue);
  CopySubdivided(source, result.get(), k);

  double x0 = 0.0, y0 = 0.0, yn = 0.0;
  ReadAnchor(source, kSubdivideNoAxes, x0, y0, yn);

  std::unique_ptr<TAxis> xEdges =
      AxisFrom('X', cellSize, TStepSequence(x0, cellSize, columns + 1), y0);
  std::unique_ptr<TAxis> yEdges =
      AxisFrom('Y', cellSize, TStepSequence(y0, yn > y0 ? cellSize : -cellSize, rows + 1), x0);
  result->SetXAxisInterval(xEdges.get());
  result->SetYAxisInterval(yEdges.get());
  return result.release();
}
