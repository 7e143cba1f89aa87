#include "support/TestTiffs.h"

#include <cstring>
#include <sstream>

#include <tiffio.h>

namespace {
std::stringbuf* BufferOf(thandle_t handle) {
  return static_cast<std::stringbuf*>(handle);
}
tmsize_t Read(thandle_t handle, void* data, tmsize_t size) {
  return BufferOf(handle)->sgetn(static_cast<char*>(data), size);
}
tmsize_t Write(thandle_t handle, void* data, tmsize_t size) {
  return BufferOf(handle)->sputn(static_cast<const char*>(data), size);
}
toff_t Seek(thandle_t handle, toff_t offset, int whence) {
  const auto way = whence == SEEK_SET   ? std::ios_base::beg
                   : whence == SEEK_CUR ? std::ios_base::cur
                                        : std::ios_base::end;
  // A write past the end first pads the buffer, as a file would.
  std::stringbuf* buffer = BufferOf(handle);
  const std::streamoff end = buffer->pubseekoff(0, std::ios_base::end, std::ios_base::out);
  if (way == std::ios_base::beg && static_cast<std::streamoff>(offset) > end)
    buffer->sputn(std::string(static_cast<std::size_t>(offset) - end, '\0').data(),
                  static_cast<std::streamsize>(offset) - end);
  const std::streamoff in =
      buffer->pubseekoff(static_cast<std::streamoff>(offset), way, std::ios_base::in);
  const std::streamoff out =
      buffer->pubseekoff(static_cast<std::streamoff>(offset), way, std::ios_base::out);
  return in < 0 || out < 0 ? static_cast<toff_t>(-1) : static_cast<toff_t>(out);
}
int Close(thandle_t) {
  return 0;
}
toff_t Size(thandle_t handle) {
  return static_cast<toff_t>(BufferOf(handle)->str().size());
}
int Map(thandle_t, void**, toff_t*) {
  return 0;
}
void Unmap(thandle_t, void*, toff_t) {}
int Quiet(TIFF*, void*, const char*, const char*, va_list) {
  return 1;
}

char* Name(const char* name) {
  return const_cast<char*>(name);
}

void RegisterGeoTags(TIFF* tiff) {
  static const TIFFFieldInfo kFields[] = {
      {33550, -1, -1, TIFF_DOUBLE, FIELD_CUSTOM, 1, 1, Name("ModelPixelScale")},
      {33922, -1, -1, TIFF_DOUBLE, FIELD_CUSTOM, 1, 1, Name("ModelTiepoint")},
      {34264, -1, -1, TIFF_DOUBLE, FIELD_CUSTOM, 1, 1, Name("ModelTransformation")},
      {34735, -1, -1, TIFF_SHORT, FIELD_CUSTOM, 1, 1, Name("GeoKeyDirectory")},
      {34736, -1, -1, TIFF_DOUBLE, FIELD_CUSTOM, 1, 1, Name("GeoDoubleParams")},
      {34737, -1, -1, TIFF_ASCII, FIELD_CUSTOM, 1, 0, Name("GeoAsciiParams")},
      {42113, -1, -1, TIFF_ASCII, FIELD_CUSTOM, 1, 0, Name("GDALNoData")},
  };
  TIFFMergeFieldInfo(tiff, kFields, sizeof kFields / sizeof kFields[0]);
}

template <typename Element>
void SetArray(TIFF* tiff, ttag_t tag, const std::vector<Element>& values) {
  if (!values.empty())
    TIFFSetField(tiff, tag, static_cast<std::uint32_t>(values.size()), values.data());
}

template <typename Sample> void Store(unsigned char* at, double value) {
  const Sample sample = static_cast<Sample>(value);
  std::memcpy(at, &sample, sizeof sample);
}

void StoreSample(const TestTiff& recipe, unsigned char* at, double value) {
  const bool isSigned = recipe.Format == SAMPLEFORMAT_INT;
  if (recipe.Format == SAMPLEFORMAT_IEEEFP) {
    if (recipe.Bits == 32)
      return Store<float>(at, value);
    if (recipe.Bits == 64)
      return Store<double>(at, value);
  }
  switch (recipe.Bits) {
  case 8:
    return isSigned ? Store<std::int8_t>(at, value) : Store<std::uint8_t>(at, value);
  case 16:
    return isSigned ? Store<std::int16_t>(at, value) : Store<std::uint16_t>(at, value);
  case 32:
    return isSigned ? Store<std::int32_t>(at, value) : Store<std::uint32_t>(at, value);
  case 64:
    return isSigned ? Store<std::int64_t>(at, value) : Store<std::uint64_t>(at, value);
  default:
    std::memset(at, static_cast<int>(value), (recipe.Bits + 7) / 8);
  }
}

void SetTags(TIFF* tiff, const TestTiff& recipe) {
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, recipe.Columns);
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, recipe.Rows);
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, recipe.Bits);
  TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT, recipe.Format);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, recipe.Samples);
  TIFFSetField(tiff, TIFFTAG_PLANARCONFIG,
               recipe.Planes ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, recipe.Photometric);
  if (recipe.Photometric == PHOTOMETRIC_PALETTE) {
    std::vector<std::uint16_t> map(std::size_t(1) << recipe.Bits, 0);
    TIFFSetField(tiff, TIFFTAG_COLORMAP, map.data(), map.data(), map.data());
  }
  if (recipe.TileSize > 0) {
    TIFFSetField(tiff, TIFFTAG_TILEWIDTH, recipe.TileSize);
    TIFFSetField(tiff, TIFFTAG_TILELENGTH, recipe.TileSize);
  } else {
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, recipe.RowsPerStrip);
  }
  TIFFSetField(tiff, TIFFTAG_COMPRESSION, recipe.Compression);
  if (recipe.Predictor != PREDICTOR_NONE)
    TIFFSetField(tiff, TIFFTAG_PREDICTOR, recipe.Predictor);
  RegisterGeoTags(tiff);
  SetArray(tiff, 33550, recipe.Scale);
  SetArray(tiff, 33922, recipe.Tiepoint);
  SetArray(tiff, 34264, recipe.Transformation);
  SetArray(tiff, 34735, recipe.GeoKeys);
  SetArray(tiff, 34736, recipe.GeoDoubles);
  if (!recipe.GeoAscii.empty())
    TIFFSetField(tiff, 34737, recipe.GeoAscii.c_str());
  if (recipe.HasNoData)
    TIFFSetField(tiff, 42113, recipe.NoData.c_str());
}

// The samples of the block of `rows` x `columns` at (row, column) of the
// plane, or of every sample of a pixel when contiguous.
std::vector<unsigned char> Block(const TestTiff& recipe, std::uint32_t plane, std::uint32_t row,
                                 std::uint32_t column, std::uint32_t rows, std::uint32_t columns) {
  const std::size_t bytes = (recipe.Bits + 7) / 8;
  const std::uint32_t perPixel = recipe.Planes ? 1 : recipe.Samples;
  std::vector<unsigned char> block(bytes * perPixel * rows * columns, 0);
  for (std::uint32_t r = 0; r < rows; ++r)
    for (std::uint32_t c = 0; c < columns; ++c)
      for (std::uint32_t s = 0; s < perPixel; ++s) {
        const std::uint32_t p = recipe.Planes ? plane : s;
        const std::size_t index =
            (std::size_t(p) * recipe.Rows + row + r) * recipe.Columns + column + c;
        const bool inside = row + r < recipe.Rows && column + c < recipe.Columns;
        const double value = inside && index < recipe.Values.size() ? recipe.Values[index] : 0.0;
        StoreSample(recipe, &block[((std::size_t(r) * columns + c) * perPixel + s) * bytes], value);
      }
  return block;
}

bool WriteData(TIFF* tiff, const TestTiff& recipe) {
  const std::uint32_t planes = recipe.Planes ? recipe.Samples : 1;
  for (std::uint32_t plane = 0; plane < planes; ++plane) {
    if (recipe.TileSize > 0) {
      for (std::uint32_t row = 0; row < recipe.Rows; row += recipe.TileSize)
        for (std::uint32_t column = 0; column < recipe.Columns; column += recipe.TileSize) {
          std::vector<unsigned char> tile =
              Block(recipe, plane, row, column, recipe.TileSize, recipe.TileSize);
          const ttile_t index =
              TIFFComputeTile(tiff, column, row, 0, static_cast<tsample_t>(plane));
          if (TIFFWriteEncodedTile(tiff, index, tile.data(), static_cast<tmsize_t>(tile.size())) <
              0)
            return false;
        }
      continue;
    }
    for (std::uint32_t row = 0; row < recipe.Rows; row += recipe.RowsPerStrip) {
      const std::uint32_t rows = std::min(recipe.RowsPerStrip, recipe.Rows - row);
      std::vector<unsigned char> strip = Block(recipe, plane, row, 0, rows, recipe.Columns);
      const tstrip_t index = TIFFComputeStrip(tiff, row, static_cast<tsample_t>(plane));
      if (TIFFWriteEncodedStrip(tiff, index, strip.data(), static_cast<tmsize_t>(strip.size())) < 0)
        return false;
    }
  }
  return true;
}
} // namespace

std::string TestTiffBytes(const TestTiff& recipe) {
  std::stringbuf buffer(std::ios_base::in | std::ios_base::out | std::ios_base::binary);
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  TIFFOpenOptionsSetErrorHandlerExtR(options, Quiet, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(options, Quiet, nullptr);
  TIFF* tiff = TIFFClientOpenExt("test", recipe.BigTIFF ? "w8" : "w", &buffer, Read, Write, Seek,
                                 Close, Size, Map, Unmap, options);
  TIFFOpenOptionsFree(options);
  if (tiff == nullptr)
    return "";
  SetTags(tiff, recipe);
  const bool written = WriteData(tiff, recipe) && TIFFWriteDirectory(tiff) == 1;
  TIFFClose(tiff);
  return written ? buffer.str() : "";
}

std::vector<double> TestTiffValues(const TestTiff& recipe) {
  std::vector<double> values;
  const std::uint32_t planes = recipe.Samples;
  for (std::uint32_t p = 0; p < planes; ++p)
    for (std::uint32_t r = 0; r < recipe.Rows; ++r)
      for (std::uint32_t c = 0; c < recipe.Columns; ++c)
        values.push_back(double((c * 7 + r * 13 + p * 29) % 100) +
                         (recipe.Format == 3 ? 0.25 : 0.0));
  return values;
}

namespace {
std::uint32_t ReadLittle(const std::string& bytes, std::size_t at, int length) {
  std::uint32_t value = 0;
  for (int i = length - 1; i >= 0; --i)
    value = value << 8 | static_cast<unsigned char>(bytes.at(at + i));
  return value;
}

void WriteLittle(std::string& bytes, std::size_t at, std::uint32_t value, int length) {
  for (int i = 0; i < length; ++i, value >>= 8)
    bytes.at(at + i) = static_cast<char>(value & 0xFF);
}

std::size_t FirstDirectory(const std::string& bytes) {
  return ReadLittle(bytes, 4, 4);
}

// The entry of a tag in the first directory, or npos.
std::size_t EntryOf(const std::string& bytes, std::uint16_t tag) {
  const std::size_t directory = FirstDirectory(bytes);
  const std::size_t count = ReadLittle(bytes, directory, 2);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t entry = directory + 2 + 12 * i;
    if (ReadLittle(bytes, entry, 2) == tag)
      return entry;
  }
  return std::string::npos;
}

// The first value of an entry of one SHORT or LONG, or of an array of them.
std::uint32_t FirstValue(const std::string& bytes, std::uint16_t tagA, std::uint16_t tagB) {
  std::size_t entry = EntryOf(bytes, tagA);
  if (entry == std::string::npos)
    entry = EntryOf(bytes, tagB);
  const int length = ReadLittle(bytes, entry + 2, 2) == TIFF_SHORT ? 2 : 4;
  const std::uint32_t count = ReadLittle(bytes, entry + 4, 4);
  const std::size_t at = count * length <= 4 ? entry + 8 : ReadLittle(bytes, entry + 8, 4);
  return ReadLittle(bytes, at, length);
}
} // namespace

bool SetTiffEntry(std::string& bytes, std::uint16_t tag, std::uint32_t value) {
  const std::size_t entry = EntryOf(bytes, tag);
  if (entry == std::string::npos)
    return false;
  WriteLittle(bytes, entry + 2, TIFF_LONG, 2);
  WriteLittle(bytes, entry + 4, 1, 4);
  WriteLittle(bytes, entry + 8, value, 4);
  return true;
}

void SetNextDirectory(std::string& bytes, std::uint32_t offset) {
  const std::size_t directory = FirstDirectory(bytes);
  WriteLittle(bytes, directory + 2 + 12 * ReadLittle(bytes, directory, 2), offset, 4);
}

std::uint32_t TiffFirstDataOffset(const std::string& bytes) {
  return FirstValue(bytes, TIFFTAG_STRIPOFFSETS, TIFFTAG_TILEOFFSETS);
}

std::uint32_t TiffFirstDataLength(const std::string& bytes) {
  return FirstValue(bytes, TIFFTAG_STRIPBYTECOUNTS, TIFFTAG_TILEBYTECOUNTS);
}
