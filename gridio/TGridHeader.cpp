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
  in.ReadDouble(header.NoData);
  if (in.Failed())
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
// eastward along the north edge, each coordinate the previous one plus the
// cell size.
std::unique_ptr<TAxis> YEdges(const TGridHeader& header) {
  auto edges = std::make_unique<TAxis>(header.CellSize, header.Rows + 1);
  double y = header.YLowerLeft;
  edges->SetPoint(header.Rows, new TPoint(header.XLowerLeft, y));
  for (long i = header.Rows - 1; i >= 0; --i) {
    y = y + header.CellSize;
    edges->SetPoint(i, new TPoint(header.XLowerLeft, y));
  }
  return edges;
}

std::unique_ptr<TAxis> XEdges(const TGridHeader& header, double north) {
  auto edges = std::make_unique<TAxis>(header.CellSize, header.Columns + 1);
  double x = header.XLowerLeft;
  edges->SetPoint(0, new TPoint(x, north));
  for (long i = 1; i <= header.Columns; ++i) {
    x = x + header.CellSize;
    edges->SetPoint(i, new TPoint(x, north));
  }
  return edges;
}
} // namespace

TGridHeader TGridHeader::Read(TGridTokenizer& in, bool lenient) {
  const TGridHeader header{lenient ? TLenientHeader::Read(in) : ReadStrict(in)};
  CheckDimensions(header);
  return header;
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
  std::unique_ptr<TAxis> yEdges = YEdges(*this);
  std::unique_ptr<TAxis> xEdges = XEdges(*this, yEdges->GetPoint(0)->y);
  map->SetXAxisInterval(xEdges.get());
  map->SetYAxisInterval(yEdges.get());
  return map;
}

void TGridHeader::Write(TMap* map, std::ostream& stream, int digits) {
  const double xLowerLeft = map->MbrPtrXAxisInterval->GetPoint(0)->x;
  const double yLowerLeft = map->MbrPtrYAxisInterval->GetPoint(map->MbrLngYDim)->y;
  const int kCornerWidth = 8;
  TLineWriter out(stream, digits);
  out.Text("ncols ");
  out.Whole(map->MbrLngXDim);
  out.EndLine();
  out.Text("nrows ");
  out.Whole(map->MbrLngYDim);
  out.EndLine();
  out.Text("xllcorner ");
  out.Georeference(xLowerLeft, kCornerWidth);
  out.EndLine();
  out.Text("yllcorner ");
  out.Georeference(yLowerLeft, kCornerWidth);
  out.EndLine();
  out.Text("cellsize ");
  out.Georeference(map->MbrDblResolution, 0);
  out.EndLine();
  out.Text("NODATA_value ");
  out.Real(map->MbrDblNoDataValue);
  out.EndLine();
}
