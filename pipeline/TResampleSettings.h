// TResampleSettings: what one file-to-file resampling does beside the
// defaults, checked (see TResampleFileTools::TResampleOptions, of which this
// is the internal form): the lenient reader, the corner policy, the digits
// written, the workers (0 for every usable core), the atomic replacement
// of the destination, where progress is reported, and the formats: the
// source read as ESRI ASCII or as a GeoTIFF band, the result written as ESRI
// ASCII or as GeoTIFF with its sample type and compression. A plain value.
#ifndef QUILLMAP_PIPELINE_TRESAMPLESETTINGS_H
#define QUILLMAP_PIPELINE_TRESAMPLESETTINGS_H

#include <functional>

#include "gridio/TGeoTIFFWriteOptions.h"
#include "maptools/NoDataCorners.h"
#include "text/TDigits.h"

struct TResampleSettings {
  bool Lenient = false;
  TCornerPolicy Policy = TCornerPolicy::Plain;
  TDigits Digits;
  unsigned Threads = 0;
  bool Atomic = false;
  std::function<void(double)> Progress;
  bool InputGeoTIFF = false;
  long Band = 1;
  bool OutputGeoTIFF = false;
  TGeoTIFFWriteOptions GeoTIFF;
};

#endif
