// MapToolsMessages: the messages of TMapTools that more than one file
// throws, each text in one place. Internal to the toolkit: maptools and the
// file-to-file resampling above it, which raises the resampling's failures
// from a grid's header alone.
#ifndef QUILLMAP_MAPTOOLS_MAPTOOLSMESSAGES_H
#define QUILLMAP_MAPTOOLS_MAPTOOLSMESSAGES_H

inline const char* const kResolutionNotPositive =
    "New resolution cannot be <= 0.0 in TMapTools::BilinearInterpolate";
inline const char* const kStepTooSmall =
    "New resolution is too small for the map's coordinates in TMapTools::BilinearInterpolate";
inline const char* const kX1Range = "LngGetX1 is out of range in TMapTools::BilinearInterpolate";
inline const char* const kX2Range = "LngGetX2 is out of range in TMapTools::BilinearInterpolate";
inline const char* const kY1Range = "LngGetY1 is out of range in TMapTools::BilinearInterpolate";
inline const char* const kY2Range = "LngGetY2 is out of range in TMapTools::BilinearInterpolate";
inline const char* const kDownscaleTooLarge =
    "Grid dimensions are too large in TMapTools::Downscale";

#endif
