#include "gridio/TGridHeader.h"

#include <string>

#include "grid/TAxis.h"
#include "gridio/GridFileMessages.h"
#include "gridio/TLenientHeader.h"
#include "text/TLineWriter.h"

namespace {
void ReadNumber(TGridTokenizer& in, long& value) {
  in.ReadLong(value);
}
void ReadNumber(TGridTokenizer& in, double& value) {
  in.ReadDouble(value);
}

// Each value is read before its keyword is tested, so a value that is not a
// number is reported by the test of the next keyword (the word keeps the
// keyword read before).
//
// One header entry: the word, then its value, then the keyword test.
template <typename Number>
void ReadEntry(TGridTokenizer& in, std::string& word, Number& value, const char* keyword,
               const char* message) {
  in.ReadWord(word, kLongestHeaderWord);
  ReadNumber(in, value);
  if (word != keyword)
    throw message;
}

TGridGeometry ReadStrict(TGridTokenizer& in) {
  TGridGeometry header;
  std::string word;
  ReadEntry(in, word, header.Columns, "ncols", kNoColumnsTag);
  ReadEntry(in, word, header.Rows, "nrows", kNoRowsTag);
  ReadEntry(in, word, header.XLowerLeft, "xllcorner", kNoXCornerTag);
  ReadEntry(in, word, header.YLowerLeft, "yllcorner", kNoYCornerTag);
  ReadEntry(in, word, header.CellSize, "cellsize", kNoCellSizeTag);
  in.ReadWord(word, kLongestHeaderWord);
  if (word != "NODATA_value" && word != "nodata_value")
    throw kNoNoDataTag;
  // A value cut by the end of the input runs into the body, which reports
  // the end; only a value that is there and malformed is not a number.
  in.ReadDouble(header.NoData);
  if (in.Failed() && !in.AtEnd())
    throw kNoDataNotANumber;
  return header;
}

void CheckDimensions(const TGridHeader& header) {
  if (header.Columns <= 0)
    throw "File format error: ncols must be greater than 0";
  if (header.Rows <= 0)
    throw "File format error: nrows must be greater than 0";
  if (!(header.CellSize > 0.0))
    throw "File format error: cellsize must be greater than 0";
}

// Y edges from the south edge northward, then X edges from the west edge
// eastward along the north edge.
std::unique_ptr<TAxis> YEdgeAxis(const TGridHeader& header) {
  auto edges = std::make_unique<TAxis>(header.CellSize, header.Rows + 1);
  long index = header.Rows;
  TGridHeader::YEdgesFromSouth(header).ForEach(
      [&](double y) { edges->SetPoint(index--, new TPoint(header.XLowerLeft, y)); });
  return edges;
}

std::unique_ptr<TAxis> XEdgeAxis(const TGridHeader& header, double north) {
  auto edges = std::make_unique<TAxis>(header.CellSize, header.Columns + 1);
  long index = 0;
  TGridHeader::XEdges(header).ForEach(
      [&](double x) { edges->SetPoint(index++, new TPoint(x, north)); });
  return edges;
}
} // namespace

TGridHeader TGridHeader::Read(TGridTokenizer& in, bool lenient) {
  const TGridHeader header{lenient ? TLenientHeader::Read(in) : ReadStrict(in)};
  CheckDimensions(header);
  return header;
}

TStepSequence TGridHeader::YEdgesFromSouth(const TGridGeometry& grid, long spacing) {
  return TStepSequence(grid.YLowerLeft, grid.CellSize, grid.Rows + 1, spacing);
}

TStepSequence TGridHeader::XEdges(const TGridGeometry& grid, long spacing) {
  return TStepSequence(grid.XLowerLeft, grid.CellSize, grid.Columns + 1, spacing);
}

void TGridHeader::ThrowCellFailure(TCell failure) {
  if (failure == TCell::AtEnd)
    throw kEndOfFile;
  throw kCellNotANumber;
}

std::unique_ptr<TMap> TGridHeader::Frame() const {
  auto map = std::make_unique<TMap>(CellSize);
  map->MbrLngXDim = Columns;
  map->MbrLngYDim = Rows;
  map->MbrDblNoDataValue = NoData;
  std::unique_ptr<TAxis> yEdges = YEdgeAxis(*this);
  std::unique_ptr<TAxis> xEdges = XEdgeAxis(*this, yEdges->GetPoint(0)->y);
  map->SetXAxisInterval(xEdges.get());
  map->SetYAxisInterval(yEdges.get());
  return map;
}

TGridGeometry TGridHeader::GeometryOf(TMap* map) {
  return TGridGeometry{map->MbrLngXDim,
                       map->MbrLngYDim,
                       map->MbrPtrXAxisInterval->GetPoint(0)->x,
                       map->MbrPtrYAxisInterval->GetPoint(map->MbrLngYDim)->y,
                       map->MbrDblResolution,
                       map->MbrDblNoDataValue};
}

void TGridHeader::Write(TMap* map, std::ostream& stream, int digits) {
  Write(GeometryOf(map), stream, digits);
}

void TGridHeader::Write(const TGridGeometry& grid, std::ostream& stream, int digits) {
  const int kCornerWidth = 8;
  TLineWriter out(stream, digits);
  out.Text("ncols ");
  out.Whole(grid.Columns);
  out.EndLine();
  out.Text("nrows ");
  out.Whole(grid.Rows);
  out.EndLine();
  out.Text("xllcorner ");
  out.Georeference(grid.XLowerLeft, kCornerWidth);
  out.EndLine();
  out.Text("yllcorner ");
  out.Georeference(grid.YLowerLeft, kCornerWidth);
  out.EndLine();
  out.Text("cellsize ");
  out.Georeference(grid.CellSize, 0);
  out.EndLine();
  out.Text("NODATA_value ");
  out.Real(grid.NoData);
  out.EndLine();
}
