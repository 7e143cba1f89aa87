// Cell-wise arithmetic of TMapTools: a map scaled by a number, and two maps
// combined cell by cell at the centres of the finer one (or of the dividend,
// or on equal grids for Subtract).
#include <memory>
#include <vector>

#include "grid/TAxisLookup.h"
#include "maptools/MapSupport.h"
#include "maptools/TMapTools.h"

namespace {
const char* const kMultiplyRows = "Map rows do not match its dimensions in TMapTools::Multiply";
const char* const kMultiplyAxes = "Map has no axes in TMapTools::Multiply";
const char* const kDivideRows = "Map rows do not match its dimensions in TMapTools::Divide";
const char* const kDivideAxes = "Map has no axes in TMapTools::Divide";
const char* const kDivideResolution =
    "Divisor must be of equal of coarser resolution than the dividend in TMapTools::Divide";
const char* const kAddRows = "Map rows do not match its dimensions in TMapTools::Add";
const char* const kAddAxes = "Map has no axes in TMapTools::Add";
const char* const kSubtractRows = "Map rows do not match its dimensions in TMapTools::Subtract";
const char* const kSubtractAxes = "Map has no axes in TMapTools::Subtract";
const char* const kSubtractX = "X dimensions do not match in TMapTools::Subtract";
const char* const kSubtractY = "Y dimensions do not match in TMapTools::Subtract";

// A column or row of the other map that no lookup reaches.
const long kNoCell = -1;

// The segment the lookup gives when it lies in [0, count), else kNoCell (a
// failed lookup included: the cell's own lookup reports it later).
long IndexOrNoCell(const TAxisLookup& lookup, double ordinate, long hint, long count) {
  long index = kNoCell;
  try {
    index = lookup.GetIndex(ordinate, hint);
  } catch (const char*) {
    return kNoCell;
  }
  return index >= 0 && index < count ? index : kNoCell;
}

// Reads another map at the centres of a base map's cells in O(1) per cell.
// The base's column centres are the same in every row, so the column under
// each is found once; the centres of a row share one y, so the row under them
// is found once per row. Both walks pass the previous answer as a hint.
//
// A centre the fast path cannot place goes to the other map's own
// TMap::GetPointVal(TPoint*), which fails there with the lookup's message.
// The cells are read in row-major order, so the first such cell decides the
// message. The column walk stops at the first column it cannot place: that
// column already fails in row 0, before any later column is read.
class CentreReader {
public:
  CentreReader(TMap* base, TMap* other)
      : MbrPtrBase(base), MbrPtrOther(other), MbrLngRowHint(kNoCell) {
    if (other->MbrPtrXAxisInterval != nullptr)
      PlaceColumns();
    if (other->MbrPtrYAxisInterval != nullptr)
      MbrPtrRows = std::make_unique<TAxisLookup>(other->MbrPtrYAxisInterval, 'Y');
  }

  // The other map's columns under the base's first PlacedColumns() columns.
  const long* Columns() const { return MbrVecColumns.data(); }
  long PlacedColumns() const { return static_cast<long>(MbrVecColumns.size()); }

  // The other map's stored row under the centres of base row LngY, or null.
  const double* RowUnder(long LngY) {
    if (!MbrPtrRows)
      return nullptr;
    const double y = MbrPtrBase->MbrPtrYAxis->MbrVecPoints[LngY]->y;
    const long row = IndexOrNoCell(*MbrPtrRows, y, MbrLngRowHint, MbrPtrOther->MbrLngYDim);
    if (row == kNoCell)
      return nullptr;
    MbrLngRowHint = row;
    return MbrPtrOther->MbrVecValues[row].data();
  }

  // The other map's own lookup at the centre of base cell (LngX, LngY).
  double LookUp(long LngX, long LngY) const {
    TPoint centre(MbrPtrBase->MbrPtrXAxis->MbrVecPoints[LngX]->x,
                  MbrPtrBase->MbrPtrYAxis->MbrVecPoints[LngY]->y);
    return MbrPtrOther->GetPointVal(&centre);
  }

private:
  void PlaceColumns() {
    const TAxisLookup columns(MbrPtrOther->MbrPtrXAxisInterval, 'X');
    MbrVecColumns.reserve(static_cast<std::size_t>(MbrPtrBase->MbrLngXDim));
    long hint = kNoCell;
    for (long LngX = 0; LngX < MbrPtrBase->MbrLngXDim; ++LngX) {
      const double x = MbrPtrBase->MbrPtrXAxis->MbrVecPoints[LngX]->x;
      hint = IndexOrNoCell(columns, x, hint, MbrPtrOther->MbrLngXDim);
      if (hint == kNoCell)
        return;
      MbrVecColumns.push_back(hint);
    }
  }

  TMap* MbrPtrBase;
  TMap* MbrPtrOther;
  std::vector<long> MbrVecColumns;
  std::unique_ptr<TAxisLookup> MbrPtrRows;
  long MbrLngRowHint;
};

// A map on the base's grid: its cell size, counts, no-data value (in every
// cell) and copies of its centre axes.
std::unique_ptr<TMap> BlankOnGrid(TMap* base) {
  auto result = std::make_unique<TMap>(base->MbrDblResolution);
  result->Init(base->MbrDblResolution, base->MbrLngXDim, base->MbrLngYDim, base->MbrDblNoDataValue);
  result->SetXAxis(base->MbrPtrXAxis);
  result->SetYAxis(base->MbrPtrYAxis);
  return result;
}

// Combines each base cell with the other map's value at the cell's centre.
// Both values are read for every cell; where either is its own map's no-data
// value the base's no-data value is written.
template <typename Operation>
TMap* CombineAtCentres(TMap* base, TMap* other, const char* rowsMessage, const char* axesMessage,
                       Operation operation) {
  mapsupport::RequireStoredRows(base, rowsMessage);
  mapsupport::RequireStoredRows(other, rowsMessage);
  mapsupport::RequireCentreAxes(base, axesMessage);
  std::unique_ptr<TMap> result = BlankOnGrid(base);
  const double baseNoData = base->MbrDblNoDataValue;
  const double otherNoData = other->MbrDblNoDataValue;
  auto combine = [&](double b, double o) {
    return b != baseNoData && o != otherNoData ? operation(b, o) : baseNoData;
  };
  // A reader per band of rows: its row hint follows that band.
  mapsupport::ForRowBands(base->MbrLngYDim, base->MbrLngXDim, [&](long first, long end) {
    CentreReader reader(base, other);
    const long* columns = reader.Columns();
    for (long LngY = first; LngY < end; ++LngY) {
      const double* otherRow = reader.RowUnder(LngY);
      const long placed = otherRow != nullptr ? reader.PlacedColumns() : 0;
      const double* baseRow = base->MbrVecValues[LngY].data();
      double* resultRow = result->MbrVecValues[LngY].data();
      long LngX = 0;
      for (; LngX < placed; ++LngX)
        resultRow[LngX] = combine(baseRow[LngX], otherRow[columns[LngX]]);
      for (; LngX < base->MbrLngXDim; ++LngX)
        resultRow[LngX] = combine(baseRow[LngX], reader.LookUp(LngX, LngY));
    }
  });
  return result.release();
}

// The finer of two maps; the first on equal cell sizes.
TMap* FinerOf(TMap* first, TMap* second) {
  return second->MbrDblResolution < first->MbrDblResolution ? second : first;
}

TMap* OtherOf(TMap* base, TMap* first, TMap* second) {
  return base == first ? second : first;
}

// A map on the source's grid built from its centre axes (no-data value -9999).
std::unique_ptr<TMap> OnCentreAxes(TMap* source, const char* rowsMessage, const char* axesMessage) {
  mapsupport::RequireStoredRows(source, rowsMessage);
  mapsupport::RequireCentreAxes(source, axesMessage);
  return std::make_unique<TMap>(source->MbrPtrXAxis, source->MbrPtrYAxis);
}
} // namespace

TMap* TMapTools::Multiply(TMap* map, double factor) {
  std::unique_ptr<TMap> result = OnCentreAxes(map, kMultiplyRows, kMultiplyAxes);
  const double noData = result->MbrDblNoDataValue;
  mapsupport::FillCells(*result, [map, factor, noData](long LngX, long LngY) {
    const double v = map->GetPointVal(LngX, LngY);
    return v == noData ? noData : v * factor;
  });
  return result.release();
}

TMap* TMapTools::Divide(TMap* map, double divisor) {
  std::unique_ptr<TMap> result = OnCentreAxes(map, kDivideRows, kDivideAxes);
  const double noData = map->MbrDblNoDataValue;
  mapsupport::FillCells(*result, [map, divisor, noData](long LngX, long LngY) {
    const double v = map->GetPointVal(LngX, LngY);
    return v == noData ? noData : v / divisor;
  });
  return result.release();
}

TMap* TMapTools::Add(TMap* first, TMap* second) {
  TMap* base = FinerOf(first, second);
  return CombineAtCentres(base, OtherOf(base, first, second), kAddRows, kAddAxes,
                          [](double b, double o) { return b + o; });
}

TMap* TMapTools::Multiply(TMap* first, TMap* second) {
  TMap* base = FinerOf(first, second);
  return CombineAtCentres(base, OtherOf(base, first, second), kMultiplyRows, kMultiplyAxes,
                          [](double b, double o) { return b * o; });
}

TMap* TMapTools::Divide(TMap* dividend, TMap* divisor) {
  if (dividend->MbrDblResolution > divisor->MbrDblResolution)
    throw kDivideResolution;
  return CombineAtCentres(dividend, divisor, kDivideRows, kDivideAxes,
                          [](double a, double d) { return a / d; });
}

TMap* TMapTools::Subtract(TMap* minuend, TMap* subtrahend) {
  if (minuend->MbrLngXDim != subtrahend->MbrLngXDim)
    throw kSubtractX;
  if (minuend->MbrLngYDim != subtrahend->MbrLngYDim)
    throw kSubtractY;
  mapsupport::RequireStoredRows(subtrahend, kSubtractRows);
  std::unique_ptr<TMap> result = OnCentreAxes(minuend, kSubtractRows, kSubtractAxes);
  const double noData = minuend->MbrDblNoDataValue;
  const double subtrahendNoData = subtrahend->MbrDblNoDataValue;
  result->MbrDblNoDataValue = noData;
  mapsupport::FillCells(*result, [=](long LngX, long LngY) {
    const double a = minuend->GetPointVal(LngX, LngY);
    const double s = subtrahend->GetPointVal(LngX, LngY);
    return a != noData && s != subtrahendNoData ? a - s : noData;
  });
  return result.release();
}
