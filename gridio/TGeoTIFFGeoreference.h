// TGeoTIFFGeoreference: where a GeoTIFF grid lies, its no-data value and its
// GeoKeys, read from the georeferencing tags of a file and written into a new
// one. Internal to the GeoTIFF reader and writer.
//
// Reading follows the order in which GDAL looks at the tags: ModelPixelScale
// with the first ModelTiepoint, else ModelTransformation. The grid must be
// north-up with square cells. A tie of raster point (0, rows) to the lower-
// left corner (what the writer stores) gives the corner exactly; any other
// tie (I, J) -> (X, Y) gives the west edge X - I x cell and the north edge
// Y + J x cell, a PixelIsPoint raster moves them half a cell west and north
// (west edge - cell x 0.5, north edge + cell x 0.5), and the south edge is
// the north edge - rows x cell, each step one rounding in double precision.
// The no-data value is the GDAL_NODATA tag's number, -9999 without one.
//
// Writing stores the lower-left corner as the tie of raster point (0, rows),
// the cell size as ModelPixelScale, the no-data value as GDAL_NODATA with 17
// significant digits, and the GeoKeys given, a raster type key among them set
// to PixelIsArea, which the tie describes. Without GeoKeys (a map with no
// coordinate reference system) no directory is written, as GDAL does; the
// raster type is then PixelIsArea by default.
//
// Throws (as const char*) kNoGeoreference, kMalformedGeoreference,
// kSeveralTiepoints, kRotatedGrid, kNotNorthUp, kCellsNotSquare,
// kNoDataTagNotANumber, kMalformedKeysOnRead, kMalformedKeysOnWrite (see
// GeoTIFFMessages.h).
#ifndef QUILLMAP_GRIDIO_TGEOTIFFGEOREFERENCE_H
#define QUILLMAP_GRIDIO_TGEOTIFFGEOREFERENCE_H

#include <cstdint>
#include <vector>

#include "grid/TGridGeometry.h"
#include "gridio/TGeoTIFFTags.h"
#include "gridio/TGeoTIFFWriteOptions.h"
#include "gridio/TTiffHandle.h"

struct TGeoTIFFGeoreference {
  double XLowerLeft = 0.0;
  double YLowerLeft = 0.0;
  double CellSize = 0.0;
  double NoData = -9999.0;
  TGeoTIFFTags Tags;

  static TGeoTIFFGeoreference Read(TIFF* tiff, std::uint32_t rows);

  // Where a grid lies, as the writer stores it: a float32 file declares the
  // no-data value its samples hold; tags may be null.
  static TGeoTIFFGeoreference ToWrite(const TGridGeometry& grid,
                                      TGeoTIFFWriteOptions::TSampleType sample,
                                      const TGeoTIFFTags* tags);
  // The GeoKey directory the writer stores for the tags given (null for none),
  // checked before any file is opened.
  static std::vector<std::uint16_t> KeysToWrite(const TGeoTIFFTags* tags);
  // Sets the tags on a file open for writing; keys as KeysToWrite made them.
  // Tags that libtiff refuses mark the handle as failed.
  void Write(TIFF* tiff, std::uint32_t rows, const std::vector<std::uint16_t>& keys) const;
};

#endif
