// TMapTools: building a grid of another cell size over a map's extent.
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>

#include "maptools/MapSupport.h"
#include "maptools/MapToolsMessages.h"
#include "maptools/TDownscaleFrame.h"
#include "maptools/TMapTools.h"
#include "platform/TMemoryBudget.h"

namespace {
const char* const kSubdivideTooLarge = "Grid dimensions are too large in TMapTools::Subdivide";
const char* const kDownscaleNoAxes = "Map has no axes in TMapTools::Downscale";
const char* const kSubdivideNoAxes = "Map has no axes in TMapTools::Subdivide";
const char* const kFactorBelowOne = "Subdivision factor must be at least 1 in TMapTools::Subdivide";

// Heap bookkeeping per allocated axis point, on top of the point itself.
const double kAllocationOverhead = 16.0;

// Whether a count computed in floating point truncates to a signed 32-bit value.
bool FitsCount(double count) {
  return count > static_cast<double>(std::numeric_limits<std::int32_t>::min()) - 1.0 &&
         count < static_cast<double>(std::numeric_limits<std::int32_t>::max()) + 1.0;
}

// What a grid of that size holds on the heap: its cells and rows when it
// holds them, and the points of its four axes.
double GridBytes(long columns, long rows, bool holdsCells) {
  const double c = columns > 0 ? static_cast<double>(columns) : 0.0;
  const double r = rows > 0 ? static_cast<double>(rows) : 0.0;
  const double points = 2.0 * (c + r + 1.0);
  const double cells = holdsCells ? c * r * sizeof(double) + r * sizeof(std::vector<double>) : 0.0;
  return cells + points * (sizeof(TPoint) + sizeof(TPoint*) + kAllocationOverhead);
}

// Refuses, before anything is allocated, counts that do not fit a signed
// 32-bit count or a grid that could not fit in this machine's memory or in
// the address space the process is allowed.
void RequireGridFits(double columns, double rows, const char* message, bool holdsCells = true) {
  if (!FitsCount(columns) || !FitsCount(rows))
    throw message;
  const double bytes = GridBytes(static_cast<long>(columns), static_cast<long>(rows), holdsCells);
  if (!TMemoryBudget::Holds(bytes))
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

// count points from `first` by repeated addition of `step`, along x ('X') or
// y (any other selector); the other ordinate of every point is `other`.
std::unique_ptr<TAxis> AxisFrom(char selector, double resolution, long count, double first,
                                double step, double other) {
  auto axis = std::make_unique<TAxis>(resolution);
  axis->MbrVecPoints.reserve(count > 0 ? count : 0);
  double ordinate = first;
  for (long i = 0; i < count; ++i, ordinate += step)
    axis->AddPoint(selector == 'X' ? new TPoint(ordinate, other) : new TPoint(other, ordinate));
  return axis;
}

// Copies source cell (i, j) into the factor x factor block of cells at
// (i * factor, j * factor).
void CopySubdivided(TMap* source, TMap* result, long factor) {
  mapsupport::ForEachCell(source, [result, factor](long i, long j, double value) {
    for (long b = 0; b < factor; ++b) {
      double* out = result->MbrVecValues[j * factor + b].data() + i * factor;
      for (long a = 0; a < factor; ++a)
        out[a] = value;
    }
  });
}

} // namespace

namespace {
// The grid of TMapTools::Downscale with no-data value noData: with its cells
// (all noData), or only its counts and axes. The cells come after the axes;
// only an allocation can fail then. A frame's cells go elsewhere: they must
// fit `cellRoomBytes` at `cellBytes` each.
std::unique_ptr<TMap> DownscaleGrid(TMap* source, double NewResolution, double noData,
                                    bool holdsCells, double cellBytes = 0.0,
                                    double cellRoomBytes = 0.0) {
  const double cellSize = source->MbrDblResolution;
  const double columns = cellSize * source->MbrLngXDim / NewResolution;
  const double rows = cellSize * source->MbrLngYDim / NewResolution;
  RequireGridFits(columns, rows, kDownscaleTooLarge, holdsCells);
  if (!holdsCells && std::trunc(columns) * std::trunc(rows) * cellBytes > cellRoomBytes)
    throw kDownscaleTooLarge;
  const long NX = static_cast<std::int32_t>(columns);
  const long NY = static_cast<std::int32_t>(rows);

  double x0 = 0.0, y0 = 0.0, yn = 0.0;
  ReadAnchor(source, kDownscaleNoAxes, x0, y0, yn);
  auto result = std::make_unique<TMap>(NewResolution);
  if (holdsCells)
    result->Init(NewResolution, NX, NY, noData);
  else {
    result->MbrLngXDim = NX;
    result->MbrLngYDim = NY;
    result->MbrDblNoDataValue = noData;
  }

  const double half = NewResolution / 2;
  const bool ascending = yn > y0;
  std::unique_ptr<TAxis> xAxis = AxisFrom('X', NewResolution, NX, x0 + half, NewResolution, y0);
  std::unique_ptr<TAxis> yAxis = AxisFrom('Y', NewResolution, NY, ascending ? y0 + half : y0 - half,
                                          ascending ? NewResolution : -NewResolution, x0);
  result->SetXAxis(xAxis.get());
  result->SetYAxis(yAxis.get());
  return result;
}
} // namespace

TMap* mapsupport::DownscaledGrid(TMap* source, double NewResolution, double noData) {
  return DownscaleGrid(source, NewResolution, noData, true).release();
}

std::unique_ptr<TMap> TDownscaleFrame::Build(TMap* source, double NewResolution, double cellBytes,
                                             double cellRoomBytes) {
  return DownscaleGrid(source, NewResolution, source->MbrDblNoDataValue, false, cellBytes,
                       cellRoomBytes);
}

TMap* TMapTools::Downscale(TMap* source, double NewResolution) {
  return mapsupport::DownscaledGrid(source, NewResolution, TMap::kDefaultNoDataValue);
}

TMap* TMapTools::Subdivide(TMap* source, int factor) {
  if (factor < 1)
    throw kFactorBelowOne;
  const long k = factor;
  RequireGridFits(static_cast<double>(k) * source->MbrLngXDim,
                  static_cast<double>(k) * source->MbrLngYDim, kSubdivideTooLarge);
  const double cellSize = source->MbrDblResolution / factor;
  const long columns = k * source->MbrLngXDim;
  const long rows = k * source->MbrLngYDim;
  auto result = std::make_unique<TMap>(cellSize, columns, rows);
  CopySubdivided(source, result.get(), k);

  double x0 = 0.0, y0 = 0.0, yn = 0.0;
  ReadAnchor(source, kSubdivideNoAxes, x0, y0, yn);

  std::unique_ptr<TAxis> xEdges = AxisFrom('X', cellSize, columns + 1, x0, cellSize, y0);
  std::unique_ptr<TAxis> yEdges =
      AxisFrom('Y', cellSize, rows + 1, y0, yn > y0 ? cellSize : -cellSize, x0);
  result->SetXAxisInterval(xEdges.get());
  result->SetYAxisInterval(yEdges.get());
  return result.release();
}
