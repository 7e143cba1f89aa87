// TGeoTIFFWriteOptions: how a grid is stored in a GeoTIFF file: its sample
// type (float64, exact, the default; or float32, each double rounded to the
// nearest float) and its compression (none, the default; deflate, lzw or
// zstd, each with the floating-point predictor). A plain value, usable
// without libtiff: the file-to-file resampling takes it whether or not the
// build reads and writes GeoTIFF.
#ifndef QUILLMAP_GRIDIO_TGEOTIFFWRITEOPTIONS_H
#define QUILLMAP_GRIDIO_TGEOTIFFWRITEOPTIONS_H

struct TGeoTIFFWriteOptions {
  enum class TSampleType { Float64, Float32 };
  enum class TCompression { None, Deflate, Lzw, Zstd };
  TSampleType SampleType = TSampleType::Float64;
  TCompression Compression = TCompression::None;
};

#endif
