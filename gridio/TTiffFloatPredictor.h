// TTiffFloatPredictor: the TIFF floating-point predictor (predictor 3)
// applied to rows of samples outside libtiff, so that a strip is compressed
// by the codec alone and its stored bytes are those libtiff makes with the
// predictor on: each row's samples split into byte planes, the most
// significant byte's plane first, then every byte but the row's first
// replaced by its difference from the byte before it (modulo 256). Samples
// are in the machine's byte order, one per pixel. Internal: the GeoTIFF sink
// applies it to the strips its workers compress, and the row reader undoes
// it on the rows libtiff decodes with the predictor turned off (libtiff's
// own is several times slower).
//
// Throws nothing; allocates nothing.
#ifndef QUILLMAP_GRIDIO_TTIFFFLOATPREDICTOR_H
#define QUILLMAP_GRIDIO_TTIFFFLOATPREDICTOR_H

#include <cstddef>

class TTiffFloatPredictor {
public:
  // rows rows of columns samples of sampleBytes bytes each, from samples
  // to differences (as many bytes); the two must not overlap.
  static void Difference(const unsigned char* samples, std::size_t columns, std::size_t rows,
                         std::size_t sampleBytes, unsigned char* differences);
  // One row of columns samples back from its differences, in place;
  // scratch holds a row's bytes.
  static void Accumulate(unsigned char* row, std::size_t columns, std::size_t sampleBytes,
                         unsigned char* scratch);
};

#endif
