#include "gridio/TARCGISFileTools.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>

#include "grid/TAxis.h"
#include "gridio/TGridHeader.h"
#include "gridio/TGridTokenizer.h"
#include "gridio/TStreamingResample.h"
#include "maptools/TMapTools.h"

namespace {
const char* const kOpenFailure = "Unable to open file ";

// Storage reserved ahead of the data: enough for ordinary grids, small enough
// that a header claiming a huge grid costs nothing until values arrive.
const long kReservedRows = 1 << 12;
const long kReservedColumns = 1 << 16;

// The rows of the body, north first. Storage follows the values read, so the
// counts of the header are never multiplied or allocated up front: a grid
// whose rows all arrive fits in memory, and so do its counts plus one.
std::vector<std::vector<double>> ReadBody(TGridTokenizer& in, const TGridHeader& header) {
  std::vector<std::vector<double>> rows;
  rows.reserve(std::min(header.Rows, kReservedRows));
  for (long y = 0; y < header.Rows; ++y) {
    rows.emplace_back();
    std::vector<double>& row = rows.back();
    row.reserve(std::min(header.Columns, kReservedColumns));
    for (long x = 0; x < header.Columns; ++x) {
      double value = 0.0;
      const TGridHeader::TCell read = TGridHeader::ReadCell(in, value);
      if (read != TGridHeader::TCell::Read)
        TGridHeader::ThrowCellFailure(read);
      row.push_back(value);
    }
    if (row.capacity() != row.size())
      row.shrink_to_fit();
  }
  return rows;
}

TMap* BuildMap(const TGridHeader& header, std::vector<std::vector<double>>& rows) {
  std::unique_ptr<TMap> map = header.Frame();
  map->MbrVecValues.swap(rows);
  return map.release();
}

void RequireEdgeAxes(TMap* map) {
  if (map->MbrPtrXAxisInterval == nullptr || map->MbrPtrYAxisInterval == nullptr)
    throw "Map has no axes in TARCGISFileTools::WriteARCGISFile";
}
} // namespace

TMap* TARCGISFileTools::LoadARCGISFile(std::istream& stream) {
  TGridTokenizer in(stream);
  const TGridHeader header = TGridHeader::Read(in);
  std::vector<std::vector<double>> rows = ReadBody(in, header);
  return BuildMap(header, rows);
}

TMap* TARCGISFileTools::LoadARCGISFile(std::string fileName) {
  // A directory opens as a stream on this platform but holds no text.
  std::error_code ignored;
  std::ifstream file;
  if (!std::filesystem::is_directory(fileName, ignored))
    file.open(fileName);
  if (!file.is_open())
    throw std::string(kOpenFailure) + fileName;
  return LoadARCGISFile(file);
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
  RequireEdgeAxes(map);
  TGridHeader::Write(map, stream);
  TMapTools::WriteFlatFile(map, stream, ' ');
}

void TARCGISFileTools::WriteARCGISFile(TMap* map, std::string fileName) {
  // Checked before the file is created or truncated.
  RequireEdgeAxes(map);
  std::ofstream file(fileName);
  if (!file.is_open())
    throw std::string(kOpenFailure) + fileName;
  WriteARCGISFile(map, file);
  file.close();
  if (file.fail())
    throw std::string("Unable to write file ") + fileName;
}

void TARCGISFileTools::WriteFileList(std::vector<TMap*> maps, std::vector<std::string> fileNames) {
  if (maps.size() != fileNames.size())
    throw "Size of map list and filename list do not match in TARCGISFileTools::WriteFileList";
  for (std::size_t i = 0; i < maps.size(); ++i)
    WriteARCGISFile(maps[i], fileNames[i]);
}

void TARCGISFileTools::BilinearInterpolateFile(std::string sourceFile, std::string destFile,
                                               double NewResolution) {
  TStreamingResample::ResampleFile(sourceFile, destFile, NewResolution);
}
