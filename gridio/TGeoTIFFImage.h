// TGeoTIFFImage: one band of a GeoTIFF file's first image, open for
// reading: the file (when opened by name), its libtiff handle, the band's
// checked layout (TTiffLayout) and where the grid lies (TGeoTIFFGeoreference),
// in the order the reader checks them: the TIFF signature, the directory,
// the layout, the georeferencing. Rows are read with a TTiffRowReader over
// Tiff() and Layout(). Internal: the GeoTIFF reader and the pipeline's
// GeoTIFF source share it; each thread opens an image of its own.
//
// Throws what TGeoTIFFFileTools::LoadGeoTIFFFile throws before it decodes a
// row: (as std::string) "Unable to open file " and the name, for a file that
// cannot be opened or a directory; (as const char*) kNotATiff,
// kCorruptDirectory and the messages of TTiffLayout and TGeoTIFFGeoreference.
#ifndef QUILLMAP_GRIDIO_TGEOTIFFIMAGE_H
#define QUILLMAP_GRIDIO_TGEOTIFFIMAGE_H

#include <fstream>
#include <memory>
#include <streambuf>
#include <string>

#include "grid/TGridGeometry.h"
#include "gridio/TGeoTIFFGeoreference.h"
#include "gridio/TTiffHandle.h"
#include "gridio/TTiffLayout.h"

class TGeoTIFFImage {
public:
  TGeoTIFFImage(const std::string& fileName, long band);
  // A seekable buffer holding the file from its start; it must outlive the
  // image.
  TGeoTIFFImage(std::streambuf* buffer, long band);
  // The handle holds the address of the file's buffer.
  TGeoTIFFImage(const TGeoTIFFImage&) = delete;
  TGeoTIFFImage& operator=(const TGeoTIFFImage&) = delete;

  // Classic TIFF ("II*\0", "MM\0*") or BigTIFF ("II+\0", "MM\0+"); the
  // buffer is put back at its start.
  static bool StartsLikeTiff(std::streambuf* buffer);
  // The same for a file by name; false for one that cannot be read.
  static bool StartsLikeTiff(const std::string& fileName);

  TTiffHandle& Tiff() { return *MbrTiff; }
  const TTiffLayout& Layout() const { return MbrLayout; }
  TGeoTIFFGeoreference& Georeference() { return MbrGeoreference; }
  // The grid's header: its size, corner, cell size and no-data value.
  TGridGeometry Geometry() const;

private:
  void Open(std::streambuf* buffer, long band);

  std::filebuf MbrFile;
  std::unique_ptr<TTiffHandle> MbrTiff;
  TTiffLayout MbrLayout;
  TGeoTIFFGeoreference MbrGeoreference;
};

#endif
