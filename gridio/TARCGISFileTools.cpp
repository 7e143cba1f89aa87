#include "gridio/TARCGISFileTools.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>

#include "grid/TAxis.h"
#include "gridio/GridFileMessages.h"
#include "gridio/TBandedBody.h"
#include "gridio/TGridHeader.h"
#include "gridio/TGridTokenizer.h"
#include "gridio/TPieceLoad.h"
#include "maptools/TMapTools.h"
#include "platform/TFileDescriptor.h"
#include "platform/TFileStatus.h"
#include "text/TDigits.h"
#include "text/TLineWriter.h"

namespace {

// Storage reserved ahead of the data: enough for ordinary grids, small enough
// that a header claiming a huge grid costs nothing until values arrive.
const long kReservedRows = 1 << 12;
const long kReservedColumns = 1 << 16;

// The rows of the body, north first. Storage follows the values read, so the
// counts of the header are never multiplied or allocated up front: a grid
// whose rows all arrive fits in memory, and so do its counts plus one.
std::vector<std::vector<double>> ReadBody(TGridTokenizer& in, const TGridHeader& header,
                                          bool lenient) {
  std::vector<std::vector<double>> rows;
  rows.reserve(std::min(header.Rows, kReservedRows));
  for (long y = 0; y < header.Rows; ++y) {
    rows.emplace_back();
    std::vector<double>& row = rows.back();
    row.reserve(std::min(header.Columns, kReservedColumns));
    for (long x = 0; x < header.Columns; ++x) {
      double value = 0.0;
      const TGridHeader::TCell read = TGridHeader::ReadCell(in, value, lenient);
      if (read != TGridHeader::TCell::Read)
        TGridHeader::ThrowCellFailure(read);
      row.push_back(value);
    }
    if (row.capacity() != row.size())
      row.shrink_to_fit();
  }
  return rows;
}

TMap* Load(std::istream& stream, bool lenient) {
  TGridTokenizer in(stream);
  const TGridHeader header = TGridHeader::Read(in, lenient);
  std::vector<std::vector<double>> rows = ReadBody(in, header, lenient);
  std::unique_ptr<TMap> map = header.Frame();
  map->MbrVecValues.swap(rows);
  return map.release();
}

// A directory opens as a stream on this platform but holds no text. A
// regular file worth several workers is read in pieces on every core;
// anything else (a small file, a pipe, a device) as a stream.
TMap* LoadNamed(const std::string& fileName, bool lenient) {
  const TFileStatus named = TFileStatus::Of(fileName);
  if (named.Regular && TPieceLoad::Applies(named.Bytes)) {
    const TFileDescriptor source = TFileDescriptor::OpenForReading(fileName);
    const TFileStatus status = TFileStatus::Of(source);
    if (source.IsOpen() && status.Regular)
      return TPieceLoad::Load(source, status.Bytes, lenient);
  }
  std::ifstream file;
  std::error_code ignored;
  if (!std::filesystem::is_directory(fileName, ignored))
    file.open(fileName);
  if (!file.is_open())
    throw std::string(kOpenFailurePrefix) + fileName;
  return Load(file, lenient);
}

void RequireEdgeAxes(TMap* map) {
  if (map->MbrPtrXAxisInterval == nullptr || map->MbrPtrYAxisInterval == nullptr)
    throw "Map has no axes in TARCGISFileTools::WriteARCGISFile";
}

void RequireDigits(int digits) {
  if (!TDigits::IsCount(digits))
    throw kDigitsOutOfRange;
}

// The grid; digits as TLineWriter takes them.
void Write(TMap* map, std::ostream& stream, int digits) {
  RequireEdgeAxes(map);
  TGridHeader::Write(map, stream, digits);
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
    throw std::string(kOpenFailurePrefix) + fileName;
  if (TBandedBody::Applies(map)) {
    TGridHeader::Write(map, file, digits);
    TBandedBody::Write(map, file, digits);
  } else {
    Write(map, file, digits);
  }
  file.close();
  if (file.fail())
    throw std::string(kWriteFailurePrefix) + fileName;
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
