// TDownscaleGeometry: the grid TMapTools::Downscale builds over a source, as
// numbers: the column and row counts, S x count / R computed in floating
// point (the product first) and truncated toward zero to a signed 32-bit
// count, and the axes of cell centres anchored at the source's first edges
// X0 and Y0: X from X0 + R / 2 by +R; Y from Y0 - R / 2 by -R, or from Y0 +
// R / 2 by +R when the source's Y edges ascend (its last Y edge Yn above Y0).
// Downscale builds its axes from these terms, and the file-to-file
// resampling streams the same terms from a grid's header. Internal.
//
// Throws the message it is given when a count does not fit a signed 32-bit
// count; nothing else.
#ifndef QUILLMAP_MAPTOOLS_TDOWNSCALEGEOMETRY_H
#define QUILLMAP_MAPTOOLS_TDOWNSCALEGEOMETRY_H

#include "grid/TStepSequence.h"

class TDownscaleGeometry {
public:
  TDownscaleGeometry(double cellSize, long columns, long rows, double NewResolution,
                     const char* tooLarge);

  // Whether a count computed in floating point truncates to a signed 32-bit
  // value.
  static bool FitsCount(double count);

  // The counts before truncation, and after.
  double ExactColumns() const { return MbrDblColumns; }
  double ExactRows() const { return MbrDblRows; }
  long Columns() const { return MbrLngColumns; }
  long Rows() const { return MbrLngRows; }

  // A spacing as TStepSequence takes it.
  TStepSequence XCentres(double x0, long spacing = 0) const;
  TStepSequence YCentres(double y0, double yn, long spacing = 0) const;

private:
  double MbrDblResolution;
  double MbrDblColumns;
  double MbrDblRows;
  long MbrLngColumns;
  long MbrLngRows;
};

#endif
