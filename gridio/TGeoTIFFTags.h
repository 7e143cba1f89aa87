// TGeoTIFFTags: what a GeoTIFF file says beside its grid that a TMap has no
// field for: the GeoKey directory that names its coordinate reference system,
// its raster type, and whether it declares a no-data value. The reader fills
// one (TGeoTIFFFileTools::LoadGeoTIFFFile); the writer carries its GeoKeys
// into the file it writes, so that a result keeps its source's coordinate
// reference system.
//
// A plain value with no invariant of its own: the GeoKey directory's layout
// (a header of four shorts whose fourth is the key count, then four shorts
// per key) is checked where a directory is read and where one is written.
#ifndef QUILLMAP_GRIDIO_TGEOTIFFTAGS_H
#define QUILLMAP_GRIDIO_TGEOTIFFTAGS_H

#include <string>
#include <vector>

struct TGeoTIFFTags {
  // The three GeoKey tags as the file holds them (GeoKeyDirectoryTag 34735,
  // GeoDoubleParamsTag 34736, GeoAsciiParamsTag 34737); empty where absent.
  std::vector<unsigned short> KeyDirectory;
  std::vector<double> DoubleParams;
  std::string AsciiParams;
  // The file's raster type is PixelIsPoint: its georeferencing names cell
  // centres, and the map's corner lies half a cell west and north of them.
  bool PixelIsPoint = false;
  // The file has a GDAL_NODATA tag; without one the map's no-data value is
  // -9999.
  bool HasNoData = false;
};

#endif
