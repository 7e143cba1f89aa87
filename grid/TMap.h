// TMap: a raster grid of double values, MbrLngXDim columns by MbrLngYDim rows,
// square cells of side MbrDblResolution, a no-data value (-9999 unless set
// otherwise) and four axes that place the cells in map coordinates.
//
// Invariants: cell (LngX, LngY) is MbrVecValues[LngY][LngX]; column 0 is the
// western column and X ascends eastward; row 0 is the northern row and Y
// descends southward. MbrPtrXAxis / MbrPtrYAxis hold the cell centres (one
// point per column / row); MbrPtrXAxisInterval / MbrPtrYAxisInterval hold the
// cell edges (one point more), the X edges from the west edge, the Y edges
// from the north edge. Lookups by coordinate use the edge axes; a cell is
// closed at its lower edge (see TAxis::GetIndex). The map never interprets its
// no-data value. Rows added by AddRow may differ in length: every cell access
// stays inside the rows actually stored.
//
// Ownership: the map owns its rows and its four axes (null until an axis
// setter installs them). Setters store copies; the caller keeps its argument.
// Lookups return new points that the caller deletes. Maps are handled by
// pointer and never copied.
//
// Throws (as const char*): "Axes resolutions do not match in TMap::TMap",
// "Index is out of bounds in TMap::GetRow", "X-ordinate is out of range in
// TMap::GetPointVal", "Y-ordinate is out of range in TMap::GetPointVal",
// "X-ordinate is out of range in TMap::SetPoint", "Y-ordinate is out of range
// in TMap::SetPoint", "Length of new X axis does not match the X dimension of
// the map" (and the Y and interval forms), "LngX is out of range for the
// X-axis in TMap::GetCoordinates" (and LngY), "LngX is out of range in
// TMap::GetPoint (long,long)" (and LngY), "LngX is out of range in
// TMap::GetPointVal" (and LngY), "LngX is out of range in TMap::GetPoint
// (TPoint*)" (and LngY), "Map has no axes in " followed by the operation, and
// whatever the axis lookups throw. A failed operation leaves the map as it was.
#ifndef QUILLMAP_GRID_TMAP_H
#define QUILLMAP_GRID_TMAP_H

#include <vector>

#include "grid/TAxis.h"
#include "grid/TPoint.h"

class TMap {
public:
  // The no-data value of a map unless set otherwise.
  static constexpr double kDefaultNoDataValue = -9999.0;

  // No columns, no rows, no axes.
  explicit TMap(double resolution);
  // Every cell and the no-data value -9999; no axes.
  TMap(double resolution, long columns, long rows);
  // A map over the two centre axes (copied); their resolutions must be equal.
  TMap(TAxis* xAxis, TAxis* yAxis);
  ~TMap();
  TMap(const TMap&) = delete;
  TMap& operator=(const TMap&) = delete;

  // Sets the fields, drops the axes and fills rows x columns cells with the
  // no-data value; a count of 0 or less gives no rows, or rows without cells.
  void Init(double resolution, long columns, long rows, double noDataValue);
  // Sets every stored cell; the no-data value is not changed.
  void InitValues(double value);
  // Appends a copy of the row and counts it; a map without columns takes the
  // row's length as its column count.
  void AddRow(std::vector<double> row);
  std::vector<double> GetRow(long index);

  double GetPointVal(long LngX, long LngY) {
    if (!HoldsColumn(LngX, LngY))
      throw "X-ordinate is out of range in TMap::GetPointVal";
    if (!HoldsRow(LngY))
      throw "Y-ordinate is out of range in TMap::GetPointVal";
    return MbrVecValues[LngY][LngX];
  }
  void SetPoint(long LngX, long LngY, double value);

  // True when exactly MbrLngYDim rows of MbrLngXDim cells are stored, so that
  // bulk operations may index MbrVecValues directly.
  bool IsRectangular() const;

  void SetXAxis(TAxis* axis);
  void SetYAxis(TAxis* axis);
  void SetXAxisInterval(TAxis* axis);
  void SetYAxisInterval(TAxis* axis);

  // The centre of a cell, from the centre axes; the caller owns the point.
  TPoint* GetCoordinates(long LngX, long LngY);
  // The centre of a cell and its value; the caller owns the point.
  TMapPoint* GetPoint(long LngX, long LngY);

  // Column ('X') or row (any other selector) holding the coordinate.
  long GetIndex(double coordinate, char selector);
  double GetPointVal(TPoint* point);
  // The query point's own x and y with the value of the cell holding it.
  TMapPoint* GetPoint(TPoint* point);
  void SetPoint(TPoint* point, double value);
  std::vector<double> GetPointValues(std::vector<TPoint*> points);

  double MbrDblResolution;
  long MbrLngXDim;
  long MbrLngYDim;
  std::vector<std::vector<double>> MbrVecValues;
  TAxis* MbrPtrXAxis;
  TAxis* MbrPtrYAxis;
  TAxis* MbrPtrXAxisInterval;
  TAxis* MbrPtrYAxisInterval;
  double MbrDblNoDataValue;

private:
  // The column test of the cell accessors: inside MbrLngXDim and, where the
  // row is stored, inside that row.
  bool HoldsColumn(long LngX, long LngY) const {
    return LngX >= 0 && LngX < MbrLngXDim &&
           (!HoldsRow(LngY) || LngX < static_cast<long>(MbrVecValues[LngY].size()));
  }
  bool HoldsRow(long LngY) const {
    return LngY >= 0 && LngY < MbrLngYDim && LngY < static_cast<long>(MbrVecValues.size());
  }
  void ReleaseAxes();
  // The four axis setters: installs a copy of the centre axis (edges false)
  // or edge axis (edges true) along X ('X') or Y ('Y') and the axis derived
  // from it, once both are built; a length that does not fit the dimension
  // throws lengthMessage.
  void InstallAxis(TAxis* axis, char selector, bool edges, const char* lengthMessage);
  void RequireEdgeAxes(const char* message) const;
  void RequireCentreAxes(const char* message) const;
  // Column and row of a point, X looked up first.
  void LocateCell(TPoint* point, long& LngX, long& LngY);
  // LocateCell behind the checks of the point lookups: edge axes present
  // (else noAxes), then the column and the row inside the dimensions.
  void LocateStoredCell(TPoint* point, const char* noAxes, const char* columnRange,
                        const char* rowRange, long& LngX, long& LngY);
};

#endif
