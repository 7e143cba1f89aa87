// TGeoTIFFFileTools: reading and writing raster grids as GeoTIFF files, one
// band of a TIFF image placed on the map by its GeoTIFF tags.
//
// Reading takes band 1, or the band named, of the file's first image:
// strips or tiles, classic TIFF or BigTIFF, 8- to 64-bit integer or 32- and
// 64-bit floating-point samples, any compression and predictor that libtiff
// decodes; an image of several samples per pixel must store one plane per
// band. The grid must be north-up with square cells, placed by
// ModelPixelScale with ModelTiepoint or by ModelTransformation; a
// PixelIsPoint raster's corner is moved half a cell west and north. The
// no-data value is the GDAL_NODATA tag's, -9999 without one. The map is
// built as the ESRI ASCII reader builds it from its lower-left corner and
// cell size (TARCGISFileTools), so a GeoTIFF holding the same corner, cell
// size and doubles gives the same map to the bit. The corner is the one
// stored where the file ties raster point (0, rows) to it, as the writer
// does; otherwise it is computed from the tie (see TGeoTIFFGeoreference.h
// for the one rule). Memory is the map plus one row of strips or tiles; a
// file whose strips or tiles lie outside it or on each other, or whose image
// is far larger than its data could hold (see TTiffLayout.h), is refused
// before anything is allocated.
//
// Writing stores the map as a one-band float64 (exact, the default) or
// float32 image in strips, uncompressed or with deflate, lzw or zstd and the
// floating-point predictor, with the georeferencing tags, GDAL_NODATA, and
// the GeoKey directory of the tags given (from a GeoTIFF source, so that its
// coordinate reference system survives; its raster type becomes
// PixelIsArea). Every check is made before the destination is opened: a
// failure other than an output error leaves an existing destination as it
// was. A map too large for classic TIFF is written as BigTIFF.
//
// Ownership: every map read is new and owned by the caller; maps and tags
// written stay the caller's and are not changed. Tags given to a reading
// operation are filled only when it succeeds. The operations keep no state
// and may run at the same time on different files.
//
// Throws (as const char*) the messages of GeoTIFFMessages.h: on reading "File
// is not a TIFF file in TGeoTIFFFileTools::LoadGeoTIFFFile", "TIFF directory
// is corrupt ...", "Image has no columns or no rows ...", "Unsupported bits
// per sample ...", "Unsupported floating-point samples ...", "Unsupported
// sample format ...", "Unsupported palette image ...", "Unsupported layout:
// several samples per pixel stored together ...", "Band does not exist ...",
// "Strip or tile lies beyond the end of the file ...", "Strips or tiles
// share their bytes ...", "Image is larger than
// its data can hold ...", "Strip or tile is corrupt ...", "No georeferencing
// ...", "Georeferencing tag is malformed or not finite ...", "Georeferencing
// by several tiepoints is not read ...", "Grid is rotated ...", "Grid is not
// north-up ...", "Cells are not square ...", "GDAL_NODATA tag is not a number
// ...", "GeoKey directory is malformed ..."; on writing "Map has no axes in
// TGeoTIFFFileTools::WriteGeoTIFFFile", "Map is not rectangular ...", "Map is
// too large for a GeoTIFF file ...", "GeoKey directory is malformed ...". As
// std::string: "Unable to open file " followed by the name (a file that
// cannot be opened, or a directory), "Unable to write file " followed by the
// name (an output error while writing or closing).
#ifndef QUILLMAP_GRIDIO_TGEOTIFFFILETOOLS_H
#define QUILLMAP_GRIDIO_TGEOTIFFFILETOOLS_H

#include <istream>
#include <string>

#include "grid/TMap.h"
#include "gridio/TGeoTIFFTags.h"
#include "gridio/TGeoTIFFWriteOptions.h"

class TGeoTIFFFileTools {
public:
  using TSampleType = TGeoTIFFWriteOptions::TSampleType;
  using TCompression = TGeoTIFFWriteOptions::TCompression;
  using TWriteOptions = TGeoTIFFWriteOptions;

  // Band 1.
  static TMap* LoadGeoTIFFFile(std::string fileName);
  // Band 1 and up; tags, when not null, receive what the file says beside
  // the map.
  static TMap* LoadGeoTIFFFile(std::string fileName, long band, TGeoTIFFTags* tags);
  // The same from a seekable stream that holds the file from its beginning.
  static TMap* LoadGeoTIFFFile(std::istream& stream, long band, TGeoTIFFTags* tags);

  // Whether the file starts with a TIFF signature (classic or BigTIFF):
  // what choosing a reader by the first bytes asks. False for a file that
  // cannot be read, or a directory. Throws nothing.
  static bool StartsLikeTiff(std::string fileName);

  // Float64, uncompressed, no GeoKeys.
  static void WriteGeoTIFFFile(TMap* map, std::string fileName);
  // tags may be null.
  static void WriteGeoTIFFFile(TMap* map, std::string fileName, const TWriteOptions& options,
                               const TGeoTIFFTags* tags);
};

#endif
