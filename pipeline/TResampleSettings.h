// TResampleSettings: what one file-to-file resampling does beside the
// defaults, checked (see TResampleFileTools::TResampleOptions, of which this
// is the internal form): the lenient reader, the corner policy, the digits
// written, the workers (0 for every usable core), the atomic replacement
// of the destination and where progress is reported. A plain value.
#ifndef QUILLMAP_PIPELINE_TRESAMPLESETTINGS_H
#define QUILLMAP_PIPELINE_TRESAMPLESETTINGS_H

#include <functional>

#include "maptools/NoDataCorners.h"
#include "text/TDigits.h"

struct TResampleSettings {
  bool Lenient = false;
  TCornerPolicy Policy = TCornerPolicy::Plain;
  TDigits Digits;
  unsigned Threads = 0;
  bool Atomic = false;
  std::function<void(double)> Progress;
};

#endif
