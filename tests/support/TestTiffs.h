// TestTiffs: TIFF files of any layout, made with libtiff directly rather
// than with the toolkit's writer, for the GeoTIFF reader's tests and the
// fuzzer's seeds: every sample type, strips or tiles, planes, compressions
// and predictors, classic or BigTIFF, and georeferencing tags of any value,
// type and count, so that broken and hostile files are as easy to make as
// good ones. Plus the byte patches that truncate or corrupt a file.
#ifndef QUILLMAP_TESTS_SUPPORT_TESTTIFFS_H
#define QUILLMAP_TESTS_SUPPORT_TESTTIFFS_H

#include <cstdint>
#include <string>
#include <vector>

struct TestTiff {
  std::uint32_t Columns = 4;
  std::uint32_t Rows = 3;
  std::uint16_t Bits = 64;
  std::uint16_t Format = 3; // SAMPLEFORMAT_IEEEFP
  std::uint16_t Samples = 1;
  bool Planes = false;           // one plane per sample, else contiguous
  std::uint16_t Photometric = 1; // PHOTOMETRIC_MINISBLACK
  std::uint32_t TileSize = 0;    // 0: strips
  std::uint32_t RowsPerStrip = 1;
  std::uint16_t Compression = 1; // COMPRESSION_NONE
  std::uint16_t Predictor = 1;
  bool BigTIFF = false;
  // Georeferencing tags, each written when not empty.
  std::vector<double> Scale = {10.0, 10.0, 0.0};
  std::vector<double> Tiepoint = {0.0, 0.0, 0.0, 100.0, 230.0, 0.0};
  std::vector<double> Transformation;
  std::vector<std::uint16_t> GeoKeys;
  std::vector<double> GeoDoubles;
  std::string GeoAscii;
  bool HasNoData = false;
  std::string NoData;
  // Sample values, plane after plane, row by row, converted to the sample
  // type (integers by truncation); missing ones are 0.
  std::vector<double> Values;
};

// The file's bytes; a layout that libtiff refuses to write gives "".
std::string TestTiffBytes(const TestTiff& recipe);

// The value every sample of row r, column c of plane p gets in the tests:
// small, exact in every sample type, distinct across the grid.
std::vector<double> TestTiffValues(const TestTiff& recipe);

// Patches of a little-endian classic TIFF's first directory: the entry of a
// tag set to the one LONG value given (false when there is no such entry),
// and the offset of the next directory.
bool SetTiffEntry(std::string& bytes, std::uint16_t tag, std::uint32_t value);
void SetNextDirectory(std::string& bytes, std::uint32_t offset);
// Where the first strip or tile's bytes lie, and how many there are.
std::uint32_t TiffFirstDataOffset(const std::string& bytes);
std::uint32_t TiffFirstDataLength(const std::string& bytes);

#endif
