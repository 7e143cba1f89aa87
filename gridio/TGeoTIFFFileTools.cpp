#include "gridio/TGeoTIFFFileTools.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>
#include <vector>

#include "gridio/GeoTIFFMessages.h"
#include "gridio/GridFileMessages.h"
#include "gridio/TGeoTIFFGeoreference.h"
#include "gridio/TGridHeader.h"
#include "gridio/TTiffHandle.h"
#include "gridio/TTiffLayout.h"
#include "gridio/TTiffRowReader.h"
#include "gridio/TTiffStripWriter.h"

namespace {
// Storage reserved ahead of the rows: rows arrive as they decode.
const std::size_t kReservedRows = 1 << 12;
// Beyond this many bytes of samples a file is written as BigTIFF, leaving
// room below 4 GiB for strips that compress badly and for the directory.
const std::uint64_t kLargestClassicData = std::uint64_t(3) << 30;
const std::uint64_t kLargestCount = 0xFFFFFFFFu;

// Classic TIFF ("II*\0", "MM\0*") or BigTIFF ("II+\0", "MM\0+").
bool StartsLikeTiff(std::streambuf* buffer) {
  char start[4] = {};
  const bool read = buffer->sgetn(start, 4) == 4;
  buffer->pubseekpos(0, std::ios_base::in);
  if (!read)
    return false;
  const bool little = start[0] == 'I' && start[1] == 'I' && start[3] == 0;
  const bool big = start[0] == 'M' && start[1] == 'M' && start[2] == 0;
  const char version = little ? start[2] : big ? start[3] : 0;
  return version == 42 || version == 43;
}

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

TMap* Load(std::streambuf* buffer, long band, TGeoTIFFTags* tags) {
  if (!StartsLikeTiff(buffer))
    throw kNotATiff;
  TTiffHandle tiff(buffer, TTiffHandle::TMode::Read);
  if (tiff.Get() == nullptr)
    throw kCorruptDirectory;
  const TTiffLayout layout = TTiffLayout::Read(tiff, band);
  TGeoTIFFGeoreference georeference = TGeoTIFFGeoreference::Read(tiff.Get(), layout.Rows);
  std::vector<std::vector<double>> rows = ReadRows(tiff, layout);
  TGridHeader header;
  header.Columns = layout.Columns;
  header.Rows = layout.Rows;
  header.XLowerLeft = georeference.XLowerLeft;
  header.YLowerLeft = georeference.YLowerLeft;
  header.CellSize = georeference.CellSize;
  header.NoData = georeference.NoData;
  std::unique_ptr<TMap> map = header.Frame();
  map->MbrVecValues.swap(rows);
  if (tags != nullptr)
    *tags = std::move(georeference.Tags);
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

TTiffStripWriter::TSample SampleOf(TGeoTIFFFileTools::TSampleType type) {
  return type == TGeoTIFFFileTools::TSampleType::Float32 ? TTiffStripWriter::TSample::Float32
                                                         : TTiffStripWriter::TSample::Float64;
}

TTiffStripWriter::TCompression CompressionOf(TGeoTIFFFileTools::TCompression compression) {
  switch (compression) {
  case TGeoTIFFFileTools::TCompression::Deflate:
    return TTiffStripWriter::TCompression::Deflate;
  case TGeoTIFFFileTools::TCompression::Lzw:
    return TTiffStripWriter::TCompression::Lzw;
  case TGeoTIFFFileTools::TCompression::Zstd:
    return TTiffStripWriter::TCompression::Zstd;
  default:
    return TTiffStripWriter::TCompression::None;
  }
}

// Where the map lies, as the writer stores it; a float32 file declares the
// no-data value its samples hold.
TGeoTIFFGeoreference GeoreferenceOf(TMap* map, TTiffStripWriter::TSample sample,
                                    const TGeoTIFFTags* tags) {
  TGeoTIFFGeoreference georeference;
  georeference.XLowerLeft = map->MbrPtrXAxisInterval->GetPoint(0)->x;
  georeference.YLowerLeft = map->MbrPtrYAxisInterval->GetPoint(map->MbrLngYDim)->y;
  georeference.CellSize = map->MbrDblResolution;
  georeference.NoData = map->MbrDblNoDataValue;
  if (sample == TTiffStripWriter::TSample::Float32)
    georeference.NoData = TTiffStripWriter::ToFloat(georeference.NoData);
  if (tags != nullptr)
    georeference.Tags = *tags;
  return georeference;
}

TTiffHandle::TMode ModeFor(TMap* map, TTiffStripWriter::TSample sample) {
  const std::uint64_t bytes = std::uint64_t(map->MbrLngXDim) * std::uint64_t(map->MbrLngYDim) *
                              (sample == TTiffStripWriter::TSample::Float64 ? 8 : 4);
  return bytes > kLargestClassicData ? TTiffHandle::TMode::WriteBigTIFF : TTiffHandle::TMode::Write;
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
  const TTiffStripWriter::TSample sample = SampleOf(options.SampleType);
  TTiffHandle tiff(&file, ModeFor(map, sample));
  if (tiff.Get() == nullptr)
    return false;
  const auto columns = static_cast<std::uint32_t>(map->MbrLngXDim);
  const auto rows = static_cast<std::uint32_t>(map->MbrLngYDim);
  TTiffStripWriter writer(tiff, columns, rows, sample, CompressionOf(options.Compression));
  georeference.Write(tiff.Get(), rows, keys);
  for (std::uint32_t y = 0; y < rows && !tiff.Failed(); ++y)
    writer.WriteRow(map->MbrVecValues[y].data());
  return tiff.Flush();
}

void Write(TMap* map, const std::string& fileName, const TGeoTIFFFileTools::TWriteOptions& options,
           const TGeoTIFFTags* tags) {
  RequireWritable(map);
  const std::vector<std::uint16_t> keys = TGeoTIFFGeoreference::KeysToWrite(tags);
  const TGeoTIFFGeoreference georeference = GeoreferenceOf(map, SampleOf(options.SampleType), tags);
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

// A directory opens as a stream on this platform but holds no file.
TMap* TGeoTIFFFileTools::LoadGeoTIFFFile(std::string fileName, long band, TGeoTIFFTags* tags) {
  std::filebuf file;
  std::error_code ignored;
  if (std::filesystem::is_directory(fileName, ignored) ||
      file.open(fileName, std::ios_base::in | std::ios_base::binary) == nullptr)
    throw std::string(kOpenFailurePrefix) + fileName;
  return Load(&file, band, tags);
}

TMap* TGeoTIFFFileTools::LoadGeoTIFFFile(std::istream& stream, long band, TGeoTIFFTags* tags) {
  return Load(stream.rdbuf(), band, tags);
}

void TGeoTIFFFileTools::WriteGeoTIFFFile(TMap* map, std::string fileName) {
  Write(map, fileName, TWriteOptions(), nullptr);
}

void TGeoTIFFFileTools::WriteGeoTIFFFile(TMap* map, std::string fileName,
                                         const TWriteOptions& options, const TGeoTIFFTags* tags) {
  Write(map, fileName, options, tags);
}
