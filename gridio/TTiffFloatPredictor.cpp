#include "gridio/TTiffFloatPredictor.h"

#include <cstdint>
#include <cstring>

namespace {
bool LittleEndian() {
  const std::uint16_t one = 1;
  unsigned char first;
  std::memcpy(&first, &one, 1);
  return first == 1;
}

// Plane `plane` holds the plane-th most significant byte of each sample.
void DifferenceRow(const unsigned char* samples, std::size_t columns, std::size_t sampleBytes,
                   bool littleEndian, unsigned char* out) {
  unsigned char previous = 0;
  for (std::size_t plane = 0; plane < sampleBytes; ++plane) {
    const unsigned char* byte = samples + (littleEndian ? sampleBytes - 1 - plane : plane);
    for (std::size_t column = 0; column < columns; ++column, byte += sampleBytes) {
      *out++ = static_cast<unsigned char>(*byte - previous);
      previous = *byte;
    }
  }
}
} // namespace

void TTiffFloatPredictor::Difference(const unsigned char* samples, std::size_t columns,
                                     std::size_t rows, std::size_t sampleBytes,
                                     unsigned char* differences) {
  const bool littleEndian = LittleEndian();
  const std::size_t rowBytes = columns * sampleBytes;
  for (std::size_t row = 0; row < rows; ++row)
    DifferenceRow(samples + row * rowBytes, columns, sampleBytes, littleEndian,
                  differences + row * rowBytes);
}

void TTiffFloatPredictor::Accumulate(unsigned char* row, std::size_t columns,
                                     std::size_t sampleBytes, unsigned char* scratch) {
  const bool littleEndian = LittleEndian();
  const unsigned char* in = row;
  unsigned char sum = 0;
  for (std::size_t plane = 0; plane < sampleBytes; ++plane) {
    unsigned char* byte = scratch + (littleEndian ? sampleBytes - 1 - plane : plane);
    for (std::size_t column = 0; column < columns; ++column, byte += sampleBytes) {
      sum = static_cast<unsigned char>(sum + *in++);
      *byte = sum;
    }
  }
  std::memcpy(row, scratch, columns * sampleBytes);
}
