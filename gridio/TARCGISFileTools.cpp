#include "gridio/TARCGISFileTools.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>

#include "grid/TAxis.h"
#include "gridio/GridFileMessages.h"
#include "gridio/TGridHeader.h"
#include "gridio/TGridTokenizer.h"
#include "gridio/TLenientHeader.h"
#include "maptools/TMapTools.h"
#include "text/TDigitsFormat.h"
#include "text/TLineWriter.h"

namespace {
const char* const kOpenFailure = "Unable to open file ";

// Storage reserved ahead of the data: enough for ordinary grids, small enough
// that a header claiming a huge grid costs nothing until values arrive.
const long kReservedRows = 1 << 12;
const long kReservedColumns = 1 << 16;

using THeader = TGridHeader;

void ReadNumber(TGridTokenizer& in, long& value) {
  in.ReadLong(value);
}
void ReadNumber(TGridTokenizer& in, double& value) {
  in.ReadDouble(value);
}

// Each value is read before its keyword is tested, so a value that is not a
// number is reported by the test of the next keyword (the word keeps the
// keyword read before). A header word is read up to kLongestHeaderWord
// characters: a longer one fails its keyword test all the same, and an
// endless input without white space (a device) cannot hold the reader. Only
// where such a failed read leaves the stream differs from reading the word to
// its end.
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

THeader ReadHeader(TGridTokenizer& in) {
  THeader header;
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

void CheckDimensions(const THeader& header) {
  if (header.Columns <= 0)
    throw "File format error: ncols must be greater than 0";
  if (header.Rows <= 0)
    throw "File format error: nrows must be greater than 0";
  if (!(header.CellSize > 0.0))
    throw "File format error: cellsize must be greater than 0";
}

// The rows of the body, north first. A last value that runs up to the end of
// the input is refused unless lastValueMayEndInput. Storage follows the
// values read, so the counts of the header are never multiplied or allocated
// up front: a grid whose rows all arrive fits in memory, and so do its counts
// plus one.
std::vector<std::vector<double>> ReadBody(TGridTokenizer& in, const THeader& header,
                                          bool lastValueMayEndInput) {
  std::vector<std::vector<double>> rows;
  rows.reserve(std::min(header.Rows, kReservedRows));
  for (long y = 0; y < header.Rows; ++y) {
    rows.emplace_back();
    std::vector<double>& row = rows.back();
    row.reserve(std::min(header.Columns, kReservedColumns));
    for (long x = 0; x < header.Columns; ++x) {
      double value = 0.0;
      in.ReadDouble(value);
      if (in.AtEnd() && (in.Failed() || !lastValueMayEndInput))
        throw kEndOfFile;
      if (in.Failed())
        throw kCellNotANumber;
      row.push_back(value);
    }
    if (row.capacity() != row.size())
      row.shrink_to_fit();
  }
  return rows;
}

// Y edges from the south edge northward, then X edges from the west edge
// eastward along the north edge, each coordinate the previous one plus the
// cell size.
std::unique_ptr<TAxis> YEdges(const THeader& header) {
  auto edges = std::make_unique<TAxis>(header.CellSize, header.Rows + 1);
  double y = header.YLowerLeft;
  edges->SetPoint(header.Rows, new TPoint(header.XLowerLeft, y));
  for (long i = header.Rows - 1; i >= 0; --i) {
    y = y + header.CellSize;
    edges->SetPoint(i, new TPoint(header.XLowerLeft, y));
  }
  return edges;
}

std::unique_ptr<TAxis> XEdges(const THeader& header, double north) {
  auto edges = std::make_unique<TAxis>(header.CellSize, header.Columns + 1);
  double x = header.XLowerLeft;
  edges->SetPoint(0, new TPoint(x, north));
  for (long i = 1; i <= header.Columns; ++i) {
    x = x + header.CellSize;
    edges->SetPoint(i, new TPoint(x, north));
  }
  return edges;
}

TMap* BuildMap(const THeader& header, std::vector<std::vector<double>>& rows) {
  auto map = std::make_unique<TMap>(header.CellSize);
  map->MbrLngXDim = header.Columns;
  map->MbrLngYDim = header.Rows;
  map->MbrDblNoDataValue = header.NoData;
  map->MbrVecValues.swap(rows);
  std::unique_ptr<TAxis> yEdges = YEdges(header);
  std::unique_ptr<TAxis> xEdges = XEdges(header, yEdges->GetPoint(0)->y);
  map->SetXAxisInterval(xEdges.get());
  map->SetYAxisInterval(yEdges.get());
  return map.release();
}

TMap* Load(std::istream& stream, bool lenient) {
  TGridTokenizer in(stream);
  const THeader header = lenient ? TLenientHeader::Read(in) : ReadHeader(in);
  CheckDimensions(header);
  std::vector<std::vector<double>> rows = ReadBody(in, header, lenient);
  return BuildMap(header, rows);
}

// A directory opens as a stream on this platform but holds no text.
TMap* LoadNamed(const std::string& fileName, bool lenient) {
  std::ifstream file;
  std::error_code ignored;
  if (!std::filesystem::is_directory(fileName, ignored))
    file.open(fileName);
  if (!file.is_open())
    throw std::string(kOpenFailure) + fileName;
  return Load(file, lenient);
}

void RequireEdgeAxes(TMap* map) {
  if (map->MbrPtrXAxisInterval == nullptr || map->MbrPtrYAxisInterval == nullptr)
    throw "Map has no axes in TARCGISFileTools::WriteARCGISFile";
}

void RequireDigits(int digits) {
  if (digits < TDigitsFormat::kFewestDigits || digits > TDigitsFormat::kMostDigits)
    throw "Digits must lie between 1 and 17 in TARCGISFileTools::WriteARCGISFile";
}

// The grid; digits as TLineWriter takes them.
void Write(TMap* map, std::ostream& stream, int digits) {
  RequireEdgeAxes(map);
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
  if (digits == TLineWriter::kStreamDigits)
    TMapTools::WriteFlatFile(map, stream, ' ');
  else
    TMapTools::WriteFlatFile(map, stream, ' ', digits);
}

void WriteNamed(TMap* map, const std::string& fileName, int digits) {
  // Checked before the file is created or truncated.
  RequireEdgeAxes(map);
  std::ofstream file(fileName);
  if (!file.is_open())
    throw std::string(kOpenFailure) + fileName;
  Write(map, file, digits);
  file.close();
  if (file.fail())
    throw std::string("Unable to write file ") + fileName;
}
} // namespace

TMap* TARCGISFileTools::LoadARCGISFile(std::istream& stream) {
  return Load(stream, false);
}

TMap* TARCGISFileTools::LoadARCGISFile(std::string fileName) {
  return LoadNamed(fileName, false);
}

TMap* TARCGISFileTools::LoadARCGISFileLenient(std::istream& stream) {
  return Load(stream, true);
}

TMap* TARCGISFileTools::LoadARCGISFileLenient(std::string fileName) {
  return LoadNamed(fileName, true);
}

std::vector<TMap*> TARCGISFileTools::LoadFileList(std::vector<std::string> fileNames) {
  std::vector<std::unique_ptr<TMap>> loaded;
  loaded.reserve(fileNames.size());
  for (const std::string& name : fileNames)
    loaded.emplace_back(LoadARCGISFile(name));
  std::vector<TMap*> maps;
  maps.reserve(loaded.size());
  for (std::unique_ptr<TMap>& map : loaded)
    maps.push_back(map.release());
  return maps;
}

void TARCGISFileTools::WriteARCGISFile(TMap* map, std::ostream& stream) {
  Write(map, stream, TLineWriter::kStreamDigits);
}

void TARCGISFileTools::WriteARCGISFile(TMap* map, std::string fileName) {
  WriteNamed(map, fileName, TLineWriter::kStreamDigits);
}

void TARCGISFileTools::WriteARCGISFile(TMap* map, std::ostream& stream, int digits) {
  RequireDigits(digits);
  Write(map, stream, digits);
}

void TARCGISFileTools::WriteARCGISFile(TMap* map, std::string fileName, int digits) {
  RequireDigits(digits);
  WriteNamed(map, fileName, digits);
}

void TARCGISFileTools::WriteFileList(std::vector<TMap*> maps, std::vector<std::string> fileNames) {
  if (maps.size() != fileNames.size())
    throw "Size of map list and filename list do not match in TARCGISFileTools::WriteFileList";
  for (std::size_t i = 0; i < maps.size(); ++i)
    WriteARCGISFile(maps[i], fileNames[i]);
}
