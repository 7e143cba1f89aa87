// The resampling walk performed literally, one heap-allocated point at a time
// and with every coordinate lookup scanning the map's axes: slow, obviously
// faithful, and the reference the fast walk is compared with. The destination
// grid comes from TMapTools::Downscale. Throws the same messages as
// TMapTools::BilinearInterpolate(TMap*, double), given a source with axes.
// With noDataAware, a point with a corner cell equal to the source's no-data
// value or not a number stores the no-data value, as
// TMapTools::BilinearInterpolateNoDataAware does.
#ifndef QUILLMAP_TESTS_SUPPORT_LITERALRESAMPLE_H
#define QUILLMAP_TESTS_SUPPORT_LITERALRESAMPLE_H

#include "grid/TMap.h"

TMap* LiteralBilinearInterpolate(TMap* source, double NewResolution, bool noDataAware = false);

#endif
