#include "grid/TMap.h"

#include <cassert>
#include <memory>

#include "grid/TAxisTools.h"

namespace {
// Replaces an owned axis pointer once the new axis is fully built.
void Replace(TAxis*& slot, std::unique_ptr<TAxis>& axis) {
  delete slot;
  slot = axis.release();
}
} // namespace

TMap::TMap(double resolution) : TMap(resolution, 0, 0) {}

TMap::TMap(double resolution, long columns, long rows)
    : MbrDblResolution(resolution), MbrLngXDim(0), MbrLngYDim(0), MbrPtrXAxis(nullptr),
      MbrPtrYAxis(nullptr), MbrPtrXAxisInterval(nullptr), MbrPtrYAxisInterval(nullptr),
      MbrDblNoDataValue(kDefaultNoDataValue) {
  Init(resolution, columns, rows, kDefaultNoDataValue);
}

TMap::TMap(TAxis* xAxis, TAxis* yAxis) : TMap(xAxis->MbrDblResolution) {
  if (!(xAxis->MbrDblResolution == yAxis->MbrDblResolution))
    throw "Axes resolutions do not match in TMap::TMap";
  // The delegated constructor has finished, so a failure below runs the
  // destructor, which releases whatever axes were installed.
  Init(xAxis->MbrDblResolution, xAxis->GetSize(), yAxis->GetSize(), kDefaultNoDataValue);
  SetXAxis(xAxis);
  SetYAxis(yAxis);
}

TMap::~TMap() {
  ReleaseAxes();
}

void TMap::ReleaseAxes() {
  delete MbrPtrXAxis;
  delete MbrPtrYAxis;
  delete MbrPtrXAxisInterval;
  delete MbrPtrYAxisInterval;
  MbrPtrXAxis = MbrPtrYAxis = MbrPtrXAxisInterval = MbrPtrYAxisInterval = nullptr;
}

void TMap::Init(double resolution, long columns, long rows, double noDataValue) {
  std::vector<std::vector<double>> values(
      rows > 0 ? rows : 0, std::vector<double>(columns > 0 ? columns : 0, noDataValue));
  ReleaseAxes();
  MbrDblResolution = resolution;
  MbrLngXDim = columns;
  MbrLngYDim = rows;
  MbrDblNoDataValue = noDataValue;
  MbrVecValues.swap(values);
}

void TMap::InitValues(double value) {
  for (long y = 0; HoldsRow(y); ++y)
    for (long x = 0; HoldsColumn(x, y); ++x)
      MbrVecValues[y][x] = value;
}

void TMap::AddRow(std::vector<double> row) {
  const long length = static_cast<long>(row.size());
  MbrVecValues.push_back(std::move(row));
  ++MbrLngYDim;
  if (MbrLngXDim == 0)
    MbrLngXDim = length;
}

std::vector<double> TMap::GetRow(long index) {
  if (index < 0 || index >= static_cast<long>(MbrVecValues.size()))
    throw "Index is out of bounds in TMap::GetRow";
  return MbrVecValues[index];
}

void TMap::SetPoint(long LngX, long LngY, double value) {
  if (!HoldsColumn(LngX, LngY))
    throw "X-ordinate is out of range in TMap::SetPoint";
  if (!HoldsRow(LngY))
    throw "Y-ordinate is out of range in TMap::SetPoint";
  MbrVecValues[LngY][LngX] = value;
}

bool TMap::IsRectangular() const {
  if (MbrLngXDim < 0 || MbrLngYDim < 0 || static_cast<long>(MbrVecValues.size()) != MbrLngYDim)
    return false;
  for (const std::vector<double>& row : MbrVecValues)
    if (static_cast<long>(row.size()) != MbrLngXDim)
      return false;
  return true;
}

void TMap::SetXAxis(TAxis* axis) {
  InstallAxis(axis, 'X', false, "Length of new X axis does not match the X dimension of the map");
}

void TMap::SetYAxis(TAxis* axis) {
  InstallAxis(axis, 'Y', false, "Length of new Y axis does not match the Y dimension of the map");
}

void TMap::SetXAxisInterval(TAxis* axis) {
  InstallAxis(axis, 'X', true,
              "Length of new X interval axis does not fit the X dimension of the map");
}

void TMap::SetYAxisInterval(TAxis* axis) {
  InstallAxis(axis, 'Y', true,
              "Length of new Y interval axis does not fit the Y dimension of the map");
}

void TMap::InstallAxis(TAxis* axis, char selector, bool edges, const char* lengthMessage) {
  const long count = selector == 'X' ? MbrLngXDim : MbrLngYDim;
  if (axis->GetSize() != (edges ? count + 1 : count))
    throw lengthMessage;
  std::unique_ptr<TAxis> copy(axis->Clone());
  std::unique_ptr<TAxis> derived(edges ? TAxisTools::IntervalsToPoints(axis, selector)
                                       : TAxisTools::PointsToIntervals(axis, selector));
  TAxis*& centreSlot = selector == 'X' ? MbrPtrXAxis : MbrPtrYAxis;
  TAxis*& edgeSlot = selector == 'X' ? MbrPtrXAxisInterval : MbrPtrYAxisInterval;
  Replace(edges ? edgeSlot : centreSlot, copy);
  Replace(edges ? centreSlot : edgeSlot, derived);
  assert(centreSlot->GetSize() == count);
  assert(edgeSlot->GetSize() == count + 1);
}

void TMap::RequireEdgeAxes(const char* message) const {
  if (MbrPtrXAxisInterval == nullptr || MbrPtrYAxisInterval == nullptr)
    throw message;
}

void TMap::RequireCentreAxes(const char* message) const {
  if (MbrPtrXAxis == nullptr || MbrPtrYAxis == nullptr)
    throw message;
}

TPoint* TMap::GetCoordinates(long LngX, long LngY) {
  RequireCentreAxes("Map has no axes in TMap::GetCoordinates");
  if (LngX < 0 || LngX >= MbrPtrXAxis->GetSize())
    throw "LngX is out of range for the X-axis in TMap::GetCoordinates";
  if (LngY < 0 || LngY >= MbrPtrYAxis->GetSize())
    throw "LngY is out of range for the Y-axis in TMap::GetCoordinates";
  return new TPoint(MbrPtrXAxis->GetPoint(LngX)->x, MbrPtrYAxis->GetPoint(LngY)->y);
}

TMapPoint* TMap::GetPoint(long LngX, long LngY) {
  if (LngX < 0 || LngX >= MbrLngXDim)
    throw "LngX is out of range in TMap::GetPoint (long,long)";
  if (LngY < 0 || LngY >= MbrLngYDim)
    throw "LngY is out of range in TMap::GetPoint (long,long)";
  RequireCentreAxes("Map has no axes in TMap::GetPoint (long,long)");
  const double value = GetPointVal(LngX, LngY);
  std::unique_ptr<TPoint> centre(GetCoordinates(LngX, LngY));
  return new TMapPoint(centre->x, centre->y, value);
}

long TMap::GetIndex(double coordinate, char selector) {
  RequireEdgeAxes("Map has no axes in TMap::GetIndex");
  if (selector == 'X')
    return MbrPtrXAxisInterval->GetIndex(coordinate, 'X');
  return MbrPtrYAxisInterval->GetIndex(coordinate, selector);
}

void TMap::LocateCell(TPoint* point, long& LngX, long& LngY) {
  LngX = MbrPtrXAxisInterval->GetIndex(point->x, 'X');
  LngY = MbrPtrYAxisInterval->GetIndex(point->y, 'Y');
}

void TMap::LocateStoredCell(TPoint* point, const char* noAxes, const char* columnRange,
                            const char* rowRange, long& LngX, long& LngY) {
  RequireEdgeAxes(noAxes);
  LocateCell(point, LngX, LngY);
  if (LngX < 0 || LngX >= MbrLngXDim)
    throw columnRange;
  if (LngY < 0 || LngY >= MbrLngYDim)
    throw rowRange;
}

double TMap::GetPointVal(TPoint* point) {
  long LngX = 0;
  long LngY = 0;
  LocateStoredCell(point, "Map has no axes in TMap::GetPointVal",
                   "LngX is out of range in TMap::GetPointVal",
                   "LngY is out of range in TMap::GetPointVal", LngX, LngY);
  return GetPointVal(LngX, LngY);
}

TMapPoint* TMap::GetPoint(TPoint* point) {
  long LngX = 0;
  long LngY = 0;
  LocateStoredCell(point, "Map has no axes in TMap::GetPoint (TPoint*)",
                   "LngX is out of range in TMap::GetPoint (TPoint*)",
                   "LngY is out of range in TMap::GetPoint (TPoint*)", LngX, LngY);
  return new TMapPoint(point->x, point->y, GetPointVal(LngX, LngY));
}

void TMap::SetPoint(TPoint* point, double value) {
  RequireEdgeAxes("Map has no axes in TMap::SetPoint");
  long LngX = 0;
  long LngY = 0;
  LocateCell(point, LngX, LngY);
  SetPoint(LngX, LngY, value);
}

std::vector<double> TMap::GetPointValues(std::vector<TPoint*> points) {
  std::vector<double> values;
  values.reserve(points.size());
  for (TPoint* point : points)
    values.push_back(GetPointVal(point));
  return values;
}
