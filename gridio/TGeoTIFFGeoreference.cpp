#include "gridio/TGeoTIFFGeoreference.h"

#include "gridio/TTiffStripWriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

#include "gridio/GeoTIFFMessages.h"
#include "text/TDigitsFormat.h"

namespace {
const ttag_t kPixelScaleTag = 33550;
const ttag_t kTiepointTag = 33922;
const ttag_t kTransformationTag = 34264;
const ttag_t kKeyDirectoryTag = 34735;
const ttag_t kDoubleParamsTag = 34736;
const ttag_t kAsciiParamsTag = 34737;
const ttag_t kNoDataTag = 42113;

// The GeoKey directory: a header of four shorts (the fourth the key count),
// then per key its id, where its value lies (0: in the entry itself), its
// count and its value.
const std::size_t kKeyHeaderLength = 4;
const std::size_t kKeyEntryLength = 4;
const std::uint16_t kRasterTypeKey = 1025;
const std::uint16_t kPixelIsArea = 1;
const std::uint16_t kPixelIsPoint = 2;

template <typename Element> struct TTagArray {
  const Element* Data = nullptr;
  std::uint32_t Count = 0;
};

// A tag of the directory, whatever libtiff's definition of it: one that
// libtiff made up while reading (an anonymous field, counted in 32 bits) or
// one registered by whoever registered it (counted in 16 bits, or of a fixed
// count, or text). A tag stored with another type is malformed; an absent one has
// no data.
template <typename Element>
TTagArray<Element> ReadTag(TIFF* tiff, ttag_t tag, TIFFDataType type, const char* malformed) {
  TTagArray<Element> array;
  const TIFFField* field = TIFFFindField(tiff, tag, TIFF_ANY);
  if (field == nullptr)
    return array;
  if (TIFFFieldDataType(field) != type)
    throw malformed;
  int found = 0;
  if (!TIFFFieldPassCount(field)) {
    // A fixed count, or text.
    found = TIFFGetField(tiff, tag, &array.Data);
    array.Count = static_cast<std::uint32_t>(std::max(1, TIFFFieldReadCount(field)));
  } else if (TIFFFieldReadCount(field) == TIFF_VARIABLE2) {
    found = TIFFGetField(tiff, tag, &array.Count, &array.Data);
  } else {
    std::uint16_t count = 0;
    found = TIFFGetField(tiff, tag, &count, &array.Data);
    array.Count = count;
  }
  if (!found || array.Data == nullptr)
    return {};
  return array;
}

// Text up to its first terminator; libtiff's own text fields are
// terminated, an anonymous one need not be. False when the tag is absent.
bool ReadText(TIFF* tiff, ttag_t tag, const char* malformed, std::string& value) {
  const TTagArray<char> text = ReadTag<char>(tiff, tag, TIFF_ASCII, malformed);
  if (text.Data == nullptr)
    return false;
  if (!TIFFFieldPassCount(TIFFFindField(tiff, tag, TIFF_ANY)))
    value.assign(text.Data);
  else
    value.assign(text.Data, text.Count);
  value.erase(std::min(value.find('\0'), value.size()));
  return true;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The number of the whole text, blanks around it allowed.
double ParseNoData(const std::string& text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && IsBlank(text[first]))
    ++first;
  while (last > first && IsBlank(text[last - 1]))
    --last;
  if (first < last && text[first] == '+')
    ++first;
  double value = 0.0;
  const char* end = text.data() + last;
  const std::from_chars_result parsed = std::from_chars(text.data() + first, end, value);
  if (first == last || parsed.ec != std::errc() || parsed.ptr != end)
    throw kNoDataTagNotANumber;
  return value;
}

// The entry of the raster type key, or null; the directory must hold the
// keys its header counts.
const std::uint16_t* RasterTypeEntry(const std::vector<std::uint16_t>& keys,
                                     const char* malformed) {
  if (keys.size() < kKeyHeaderLength)
    throw malformed;
  const std::size_t count = keys[3];
  if (keys.size() < kKeyHeaderLength + kKeyEntryLength * count)
    throw malformed;
  for (std::size_t key = 0; key < count; ++key) {
    const std::uint16_t* entry = &keys[kKeyHeaderLength + kKeyEntryLength * key];
    if (entry[0] == kRasterTypeKey && entry[1] == 0)
      return entry;
  }
  return nullptr;
}

void ReadKeys(TIFF* tiff, TGeoTIFFTags& tags) {
  const TTagArray<std::uint16_t> keys =
      ReadTag<std::uint16_t>(tiff, kKeyDirectoryTag, TIFF_SHORT, kMalformedKeysOnRead);
  const TTagArray<double> doubles =
      ReadTag<double>(tiff, kDoubleParamsTag, TIFF_DOUBLE, kMalformedKeysOnRead);
  tags.KeyDirectory.assign(keys.Data, keys.Data + keys.Count);
  tags.DoubleParams.assign(doubles.Data, doubles.Data + doubles.Count);
  ReadText(tiff, kAsciiParamsTag, kMalformedKeysOnRead, tags.AsciiParams);
  if (tags.KeyDirectory.empty())
    return;
  const std::uint16_t* rasterType = RasterTypeEntry(tags.KeyDirectory, kMalformedKeysOnRead);
  tags.PixelIsPoint = rasterType != nullptr && rasterType[3] == kPixelIsPoint;
}

// The north-west corner and the cell size, as GDAL's geotransform has them,
// from the x and y scales (y positive for a north-up grid).
struct TCorner {
  double West;
  double North;
  double Cell;
};

void CheckScales(double x, double y) {
  if (!std::isfinite(x) || !std::isfinite(y) || x == 0.0 || y == 0.0)
    throw kMalformedGeoreference;
  if (x < 0.0 || y < 0.0)
    throw kNotNorthUp;
  if (x != y)
    throw kCellsNotSquare;
}

void CheckFinite(double value) {
  if (!std::isfinite(value))
    throw kMalformedGeoreference;
}

// The tie names the lower-left corner of a PixelIsArea grid, which is then
// taken exactly as stored.
bool TiedAtLowerLeft(const double* tie, std::uint32_t rows, bool pixelIsPoint) {
  return !pixelIsPoint && tie[0] == 0.0 && tie[1] == static_cast<double>(rows);
}

TGeoTIFFGeoreference FromCorner(const TCorner& corner, std::uint32_t rows, bool pixelIsPoint) {
  TGeoTIFFGeoreference georeference;
  georeference.CellSize = corner.Cell;
  double west = corner.West;
  double north = corner.North;
  if (pixelIsPoint) {
    west = west - corner.Cell * 0.5;
    north = north + corner.Cell * 0.5;
  }
  georeference.XLowerLeft = west;
  georeference.YLowerLeft = north - static_cast<double>(rows) * corner.Cell;
  CheckFinite(georeference.XLowerLeft);
  CheckFinite(georeference.YLowerLeft);
  return georeference;
}

TGeoTIFFGeoreference FromTiepoint(const TTagArray<double>& scale, const TTagArray<double>& tie,
                                  std::uint32_t rows, bool pixelIsPoint) {
  if (scale.Count < 2 || tie.Count % 6 != 0)
    throw kMalformedGeoreference;
  CheckScales(scale.Data[0], scale.Data[1]);
  for (int i = 0; i < 5; ++i)
    CheckFinite(tie.Data[i]);
  const double cell = scale.Data[0];
  if (TiedAtLowerLeft(tie.Data, rows, pixelIsPoint)) {
    TGeoTIFFGeoreference georeference;
    georeference.CellSize = cell;
    georeference.XLowerLeft = tie.Data[3];
    georeference.YLowerLeft = tie.Data[4];
    return georeference;
  }
  const TCorner corner{tie.Data[3] - tie.Data[0] * cell, tie.Data[4] + tie.Data[1] * cell, cell};
  return FromCorner(corner, rows, pixelIsPoint);
}

// Matrix rows (a b 0 d; e f 0 h; ...): x = a i + b j + d, y = e i + f j + h.
TGeoTIFFGeoreference FromTransformation(const TTagArray<double>& matrix, std::uint32_t rows,
                                        bool pixelIsPoint) {
  if (matrix.Count != 16)
    throw kMalformedGeoreference;
  const double* m = matrix.Data;
  for (int i : {0, 1, 3, 4, 5, 7})
    CheckFinite(m[i]);
  if (m[1] != 0.0 || m[4] != 0.0)
    throw kRotatedGrid;
  CheckScales(m[0], -m[5]);
  return FromCorner(TCorner{m[3], m[7], m[0]}, rows, pixelIsPoint);
}

TGeoTIFFGeoreference ReadPlacement(TIFF* tiff, std::uint32_t rows, bool pixelIsPoint) {
  const TTagArray<double> scale =
      ReadTag<double>(tiff, kPixelScaleTag, TIFF_DOUBLE, kMalformedGeoreference);
  const TTagArray<double> tie =
      ReadTag<double>(tiff, kTiepointTag, TIFF_DOUBLE, kMalformedGeoreference);
  if (scale.Count > 0 && tie.Count > 0)
    return FromTiepoint(scale, tie, rows, pixelIsPoint);
  const TTagArray<double> matrix =
      ReadTag<double>(tiff, kTransformationTag, TIFF_DOUBLE, kMalformedGeoreference);
  if (matrix.Count > 0)
    return FromTransformation(matrix, rows, pixelIsPoint);
  if (tie.Count > 6)
    throw kSeveralTiepoints;
  throw kNoGeoreference;
}

// libtiff takes a count in 32 bits for any field counted at all.
template <typename Element>
void SetArray(TIFF* tiff, ttag_t tag, const Element* data, std::size_t count) {
  TIFFSetField(tiff, tag, static_cast<std::uint32_t>(count), data);
}

char* Name(const char* name) {
  return const_cast<char*>(name);
}

// Registered on the one handle, and only where no definition exists yet.
void RegisterFields(TIFF* tiff) {
  static const TIFFFieldInfo kFields[] = {
      {kPixelScaleTag, -1, -1, TIFF_DOUBLE, FIELD_CUSTOM, 1, 1, Name("ModelPixelScaleTag")},
      {kTiepointTag, -1, -1, TIFF_DOUBLE, FIELD_CUSTOM, 1, 1, Name("ModelTiepointTag")},
      {kKeyDirectoryTag, -1, -1, TIFF_SHORT, FIELD_CUSTOM, 1, 1, Name("GeoKeyDirectoryTag")},
      {kDoubleParamsTag, -1, -1, TIFF_DOUBLE, FIELD_CUSTOM, 1, 1, Name("GeoDoubleParamsTag")},
      {kAsciiParamsTag, -1, -1, TIFF_ASCII, FIELD_CUSTOM, 1, 0, Name("GeoAsciiParamsTag")},
      {kNoDataTag, -1, -1, TIFF_ASCII, FIELD_CUSTOM, 1, 0, Name("GDALNoDataValue")},
  };
  TIFFMergeFieldInfo(tiff, kFields, sizeof kFields / sizeof kFields[0]);
}
} // namespace

TGeoTIFFGeoreference TGeoTIFFGeoreference::Read(TIFF* tiff, std::uint32_t rows) {
  TGeoTIFFTags tags;
  ReadKeys(tiff, tags);
  TGeoTIFFGeoreference georeference = ReadPlacement(tiff, rows, tags.PixelIsPoint);
  std::string noData;
  tags.HasNoData = ReadText(tiff, kNoDataTag, kNoDataTagNotANumber, noData);
  if (tags.HasNoData)
    georeference.NoData = ParseNoData(noData);
  georeference.Tags = std::move(tags);
  return georeference;
}

TGeoTIFFGeoreference TGeoTIFFGeoreference::ToWrite(const TGridGeometry& grid,
                                                   TGeoTIFFWriteOptions::TSampleType sample,
                                                   const TGeoTIFFTags* tags) {
  TGeoTIFFGeoreference georeference;
  georeference.XLowerLeft = grid.XLowerLeft;
  georeference.YLowerLeft = grid.YLowerLeft;
  georeference.CellSize = grid.CellSize;
  georeference.NoData = grid.NoData;
  if (sample == TGeoTIFFWriteOptions::TSampleType::Float32)
    georeference.NoData = TTiffStripWriter::ToFloat(georeference.NoData);
  if (tags != nullptr)
    georeference.Tags = *tags;
  return georeference;
}

std::vector<std::uint16_t> TGeoTIFFGeoreference::KeysToWrite(const TGeoTIFFTags* tags) {
  if (tags == nullptr || tags->KeyDirectory.empty())
    return {};
  std::vector<std::uint16_t> keys(tags->KeyDirectory.begin(), tags->KeyDirectory.end());
  const std::uint16_t* rasterType = RasterTypeEntry(keys, kMalformedKeysOnWrite);
  if (rasterType != nullptr)
    keys[rasterType - keys.data() + 3] = kPixelIsArea;
  return keys;
}

void TGeoTIFFGeoreference::Write(TIFF* tiff, std::uint32_t rows,
                                 const std::vector<std::uint16_t>& keys) const {
  RegisterFields(tiff);
  const double scale[3] = {CellSize, CellSize, 0.0};
  const double tie[6] = {0.0, static_cast<double>(rows), 0.0, XLowerLeft, YLowerLeft, 0.0};
  SetArray(tiff, kPixelScaleTag, scale, 3);
  SetArray(tiff, kTiepointTag, tie, 6);
  if (!keys.empty())
    SetArray(tiff, kKeyDirectoryTag, keys.data(), keys.size());
  if (!Tags.DoubleParams.empty())
    SetArray(tiff, kDoubleParamsTag, Tags.DoubleParams.data(), Tags.DoubleParams.size());
  if (!Tags.AsciiParams.empty())
    TIFFSetField(tiff, kAsciiParamsTag, Tags.AsciiParams.c_str());
  char text[TDigitsFormat::kMaxLength + 1];
  *TDigitsFormat::Format(text, NoData, TDigitsFormat::kMostDigits) = '\0';
  TIFFSetField(tiff, kNoDataTag, text);
}
