#include "gridio/TARCGISFileTools.h"

#include <fstream>
#include <memory>

#include "gridio/GridFileMessages.h"
#include "gridio/TBandedBody.h"
#include "gridio/TGridFileReader.h"
#include "gridio/TGridHeader.h"
#include "maptools/TMapTools.h"
#include "text/TDigits.h"
#include "text/TLineWriter.h"

namespace {

TMap* LoadNamed(const std::string& fileName, bool lenient) {
  return TGridFileReader(fileName, lenient).NewMap();
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
  return TGridFileReader::LoadStream(stream, false);
}

TMap* TARCGISFileTools::LoadARCGISFile(std::string fileName) {
  return LoadNamed(fileName, false);
}

TMap* TARCGISFileTools::LoadARCGISFileLenient(std::istream& stream) {
  return TGridFileReader::LoadStream(stream, true);
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
