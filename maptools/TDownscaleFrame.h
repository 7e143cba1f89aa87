// TDownscaleFrame: the grid that TMapTools::Downscale builds, without its
// cells: cell size R, the column and row counts and the four axes, anchored
// and accumulated exactly as Downscale does, with the source's no-data value
// (as TMapTools::BilinearInterpolate's destination has it), for a caller
// that produces the cells itself a few rows at a time. Internal.
//
// The counts are refused as Downscale refuses them when they do not fit a
// signed 32-bit count; the memory test covers only what the frame holds
// (its axes). The cells are refused, with Downscale's message, when they
// would not fit where the caller puts them: cellBytes each (at least) into
// cellRoomBytes.
//
// Ownership: the source stays the caller's; the frame is the caller's.
// Throws what TMapTools::Downscale throws.
#ifndef QUILLMAP_MAPTOOLS_TDOWNSCALEFRAME_H
#define QUILLMAP_MAPTOOLS_TDOWNSCALEFRAME_H

#include <memory>

#include "grid/TMap.h"

class TDownscaleFrame {
public:
  static std::unique_ptr<TMap> Build(TMap* source, double NewResolution, double cellBytes,
                                     double cellRoomBytes);
};

#endif
