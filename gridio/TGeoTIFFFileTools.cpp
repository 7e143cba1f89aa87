#include "gridio/TGeoTIFFFileTools.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>
#include <vector>

#include "gridio/GeoTIFFMessages.h"
#include "gridio/GridFileMessages.h"
#include "gridio/TGeoTIFFGeoreference.h"
#include "gridio/TGeoTIFFImage.h"
#include "gridio/TGridHeader.h"
#include "gridio/TTiffHandle.h"
#include "gridio/TTiffLayout.h"
#include "gridio/TTiffRowReader.h"
#include "gridio/TTiffStripWriter.h"

namespace {
// Storage reserved ahead of the rows: rows arrive as they decode.
const std::size_t kReservedRows = 1 << 12;
const std::uint64_t kLargestCount = 0xFFFFFFFFu;

std::vector<std::vector<double>> ReadRows(TTiffHandle& tiff, const TTiffLayout& layout) {
  TTiffRowReader reader(tiff, layout);
  std::vector<std::vector<double>> rows;
  rows.reserve(std::min<std::size_t>(layout.Rows, kReservedRows));
  for (std::uint32_t y = 0; y < layout.Rows; ++y) {
    rows.emplace_back(layout.Columns);
    reader.ReadRow(rows.back().data());
  }
  return rows;
}

TMap* Load(TGeoTIFFImage& image, TGeoTIFFTags* tags) {
  std::vector<std::vector<double>> rows = ReadRows(image.Tiff(), image.Layout());
  TGridHeader header;
  static_cast<TGridGeometry&>(header) = image.Geometry();
  std::unique_ptr<TMap> map = header.Frame();
  map->MbrVecValues.swap(rows);
  if (tags != nullptr)
    *tags = std::move(image.Georeference().Tags);
  return map.release();
}

void RequireWritable(TMap* map) {
  if (map->MbrPtrXAxisInterval == nullptr || map->MbrPtrYAxisInterval == nullptr)
    throw kWriteWithoutAxes;
  if (!map->IsRectangular() || map->MbrLngXDim <= 0 || map->MbrLngYDim <= 0)
    throw kWriteNotRectangular;
  if (static_cast<std::uint64_t>(map->MbrLngXDim) > kLargestCount ||
      static_cast<std::uint64_t>(map->MbrLngYDim) > kLargestCount)
    throw kWriteTooLarge;
}

// The destination, created or truncated; libtiff may read back what it wrote.
void OpenDestination(std::filebuf& file, const std::string& fileName) {
  const std::ios_base::openmode mode =
      std::ios_base::in | std::ios_base::out | std::ios_base::trunc | std::ios_base::binary;
  if (file.open(fileName, mode) == nullptr)
    throw std::string(kOpenFailurePrefix) + fileName;
}

// True when every strip, the directory and the file's close went out.
bool WriteImage(TMap* map, std::filebuf& file, const TGeoTIFFFileTools::TWriteOptions& options,
                const TGeoTIFFGeoreference& georeference, const std::vector<std::uint16_t>& keys) {
  const TTiffStripWriter::TSample sample = options.SampleType;
  TTiffHandle tiff(&file, TTiffStripWriter::HandleMode(static_cast<std::uint32_t>(map->MbrLngXDim),
                                                       static_cast<std::uint32_t>(map->MbrLngYDim),
                                                       sample));
  if (tiff.Get() == nullptr)
    return false;
  const auto columns = static_cast<std::uint32_t>(map->MbrLngXDim);
  const auto rows = static_cast<std::uint32_t>(map->MbrLngYDim);
  TTiffStripWriter writer(tiff, columns, rows, sample, options.Compression);
  georeference.Write(tiff.Get(), rows, keys);
  for (std::uint32_t y = 0; y < rows && !tiff.Failed(); ++y)
    writer.WriteRow(map->MbrVecValues[y].data());
  return tiff.Flush();
}

void Write(TMap* map, const std::string& fileName, const TGeoTIFFFileTools::TWriteOptions& options,
           const TGeoTIFFTags* tags) {
  RequireWritable(map);
  const std::vector<std::uint16_t> keys = TGeoTIFFGeoreference::KeysToWrite(tags);
  const TGeoTIFFGeoreference georeference =
      TGeoTIFFGeoreference::ToWrite(TGridHeader::GeometryOf(map), options.SampleType, tags);
  std::filebuf file;
  OpenDestination(file, fileName);
  const bool written = WriteImage(map, file, options, georeference, keys);
  if (file.close() == nullptr || !written)
    throw std::string(kWriteFailurePrefix) + fileName;
}
} // namespace

TMap* TGeoTIFFFileTools::LoadGeoTIFFFile(std::string fileName) {
  return LoadGeoTIFFFile(fileName, 1, nullptr);
}

TMap* TGeoTIFFFileTools::LoadGeoTIFFFile(std::string fileName, long band, TGeoTIFFTags* tags) {
  TGeoTIFFImage image(fileName, band);
  return Load(image, tags);
}

TMap* TGeoTIFFFileTools::LoadGeoTIFFFile(std::istream& stream, long band, TGeoTIFFTags* tags) {
  TGeoTIFFImage image(stream.rdbuf(), band);
  return Load(image, tags);
}

bool TGeoTIFFFileTools::StartsLikeTiff(std::string fileName) {
  return TGeoTIFFImage::StartsLikeTiff(fileName);
}

void TGeoTIFFFileTools::WriteGeoTIFFFile(TMap* map, std::string fileName) {
  Write(map, fileName, TWriteOptions(), nullptr);
}

void TGeoTIFFFileTools::WriteGeoTIFFFile(TMap* map, std::string fileName,
                                         const TWriteOptions& options, const TGeoTIFFTags* tags) {
  Write(map, fileName, options, tags);
}
