#include "gridio/TGeoTIFFImage.h"

#include <filesystem>
#include <system_error>

#include "gridio/GeoTIFFMessages.h"
#include "gridio/GridFileMessages.h"

// A directory opens as a stream on this platform but holds no file.
TGeoTIFFImage::TGeoTIFFImage(const std::string& fileName, long band) {
  std::error_code ignored;
  if (std::filesystem::is_directory(fileName, ignored) ||
      MbrFile.open(fileName, std::ios_base::in | std::ios_base::binary) == nullptr)
    throw std::string(kOpenFailurePrefix) + fileName;
  Open(&MbrFile, band);
}

TGeoTIFFImage::TGeoTIFFImage(std::streambuf* buffer, long band) {
  Open(buffer, band);
}

void TGeoTIFFImage::Open(std::streambuf* buffer, long band) {
  if (!StartsLikeTiff(buffer))
    throw kNotATiff;
  MbrTiff = std::make_unique<TTiffHandle>(buffer, TTiffHandle::TMode::Read);
  if (MbrTiff->Get() == nullptr)
    throw kCorruptDirectory;
  MbrLayout = TTiffLayout::Read(*MbrTiff, band);
  MbrGeoreference = TGeoTIFFGeoreference::Read(MbrTiff->Get(), MbrLayout.Rows);
}

bool TGeoTIFFImage::StartsLikeTiff(std::streambuf* buffer) {
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

bool TGeoTIFFImage::StartsLikeTiff(const std::string& fileName) {
  std::filebuf file;
  std::error_code ignored;
  return !std::filesystem::is_directory(fileName, ignored) &&
         file.open(fileName, std::ios_base::in | std::ios_base::binary) != nullptr &&
         StartsLikeTiff(&file);
}

TGridGeometry TGeoTIFFImage::Geometry() const {
  return TGridGeometry{MbrLayout.Columns,          MbrLayout.Rows,
                       MbrGeoreference.XLowerLeft, MbrGeoreference.YLowerLeft,
                       MbrGeoreference.CellSize,   MbrGeoreference.NoData};
}
