// TGridHeader: the six header entries of an ESRI ASCII grid file (ncols,
// nrows, xllcorner, yllcorner, cellsize, NODATA_value), read with the strict
// or the lenient rules (TLenientHeader), the check of one body value, the
// frame of the map that a header describes, and the header lines the writer
// produces. Internal: the whole-map readers and writer and the file-to-file
// resampling share it, so that every message and every coordinate comes from
// one place.
//
// A frame is a map with the counts, cell size, no-data value and the four
// axes of the grid but no stored cells: the axes are accumulated from the
// lower-left corner by repeated addition, exactly as the reader builds them.
//
// Throws (as const char*) the header messages of TARCGISFileTools::
// LoadARCGISFile and LoadARCGISFileLenient (see TARCGISFileTools.h and
// GridFileMessages.h), the end-of-file and not-a-number messages from
// ThrowCellFailure, and what the map and axis operations throw.
#ifndef QUILLMAP_GRIDIO_TGRIDHEADER_H
#define QUILLMAP_GRIDIO_TGRIDHEADER_H

#include <memory>
#include <ostream>

#include "grid/TGridGeometry.h"
#include "grid/TMap.h"
#include "grid/TStepSequence.h"
#include "gridio/TGridTokenizer.h"

struct TGridHeader : TGridGeometry {

  // The entries with the strict or the lenient rules, then the checks of the
  // counts and the cell size.
  static TGridHeader Read(TGridTokenizer& in, bool lenient = false);

  // How reading one body value ended. Under the lenient rules a value that
  // runs to the end of the input is read; otherwise it is AtEnd.
  enum class TCell { Read, AtEnd, NotANumber };
  static TCell ReadCell(TGridTokenizer& in, double& value, bool lenient = false) {
    in.ReadDouble(value);
    if (in.AtEnd() && (in.Failed() || !lenient))
      return TCell::AtEnd;
    return in.Failed() ? TCell::NotANumber : TCell::Read;
  }
  // Throws the reader's message for a value that was not read.
  [[noreturn]] static void ThrowCellFailure(TCell failure);

  // Counts, cell size, no-data value and axes; no cells.
  std::unique_ptr<TMap> Frame() const;
  // The edges of the reader's rule, which Frame installs: the Rows + 1 Y
  // edges from the south edge northward (term j is the edge at index Rows -
  // j), and the Columns + 1 X edges from the west edge eastward. A spacing
  // as TStepSequence takes it.
  static TStepSequence YEdgesFromSouth(const TGridGeometry& grid, long spacing = 0);
  static TStepSequence XEdges(const TGridGeometry& grid, long spacing = 0);

  // The header a map is written with: its counts, the lower-left corner from
  // its first X edge and last Y edge, its cell size and no-data value. The
  // map must have its edge axes.
  static TGridGeometry GeometryOf(TMap* map);
  // The six header lines of a grid file; digits as TLineWriter takes them
  // (the NODATA_value entry follows them).
  static void Write(const TGridGeometry& grid, std::ostream& stream, int digits);
  static void Write(TMap* map, std::ostream& stream, int digits);
};

#endif
