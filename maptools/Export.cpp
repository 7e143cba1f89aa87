// Text exports of TMapTools: the flat body of a grid file and the x,y,value
// lines of a CSV file.
#include <memory>
#include <vector>

#include "maptools/MapSupport.h"
#include "maptools/TMapTools.h"
#include "text/TDigits.h"
#include "text/TLineWriter.h"

namespace {
// Raises the cell accessor's failure for the first cell, row by row, that the
// stored rows lack; a map holding every cell passes.
void RequireStoredCells(TMap* map) {
  if (map->IsRectangular() || map->MbrLngXDim <= 0)
    return;
  const long storedRows = static_cast<long>(map->MbrVecValues.size());
  for (long y = 0; y < map->MbrLngYDim; ++y) {
    const long stored = y < storedRows ? static_cast<long>(map->MbrVecValues[y].size()) : 0;
    if (stored < map->MbrLngXDim)
      static_cast<void>(map->GetPointVal(stored, y));
  }
}

// Whether every cell and both centre ordinates can be read directly, with the
// same result as TMap::GetPoint (long,long).
bool HoldsEveryCell(TMap* map) {
  return map->IsRectangular() && map->MbrPtrXAxis->GetSize() >= map->MbrLngXDim &&
         map->MbrPtrYAxis->GetSize() >= map->MbrLngYDim;
}

void WriteCSVLine(TLineWriter& out, double x, double y, double value) {
  out.Real(x);
  out.Char(',');
  out.Real(y);
  out.Char(',');
  out.Real(value);
  out.EndLine();
}

// The flat table; digits as TLineWriter takes them.
void WriteRows(TMap* map, std::ostream& stream, char separator, int digits) {
  RequireStoredCells(map);
  TLineWriter out(stream, digits);
  for (long y = 0; y < map->MbrLngYDim; ++y) {
    if (map->MbrLngXDim > 0)
      out.Reals(map->MbrVecValues[y].data(), map->MbrLngXDim, separator);
    out.EndLine();
  }
}
} // namespace

void TMapTools::WriteFlatFile(TMap* map, std::ostream& stream, char separator) {
  WriteRows(map, stream, separator, TLineWriter::kStreamDigits);
}

void TMapTools::WriteFlatFile(TMap* map, std::ostream& stream, char separator, int digits) {
  if (!TDigits::IsCount(digits))
    throw "Digits must lie between 1 and 17 in TMapTools::WriteFlatFile";
  WriteRows(map, stream, separator, digits);
}

void TMapTools::WriteCSVFile(TMap* map, std::ostream& stream) {
  mapsupport::RequireCentreAxes(map, "Map has no axes in TMapTools::WriteCSVFile");
  TLineWriter out(stream);
  if (!HoldsEveryCell(map)) {
    for (long x = 0; x < map->MbrLngXDim; ++x)
      for (long y = 0; y < map->MbrLngYDim; ++y) {
        const std::unique_ptr<TMapPoint> cell(map->GetPoint(x, y));
        WriteCSVLine(out, cell->x, cell->y, cell->value);
      }
    return;
  }
  std::vector<double> rowCentres;
  rowCentres.reserve(map->MbrLngYDim);
  for (long y = 0; y < map->MbrLngYDim; ++y)
    rowCentres.push_back(map->MbrPtrYAxis->GetPoint(y)->y);
  for (long x = 0; x < map->MbrLngXDim; ++x) {
    const double columnCentre = map->MbrPtrXAxis->GetPoint(x)->x;
    for (long y = 0; y < map->MbrLngYDim; ++y)
      WriteCSVLine(out, columnCentre, rowCentres[y], map->MbrVecValues[y][x]);
  }
}
