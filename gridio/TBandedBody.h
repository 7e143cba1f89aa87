// TBandedBody: the body of a grid file written to a file stream by bands of
// rows: each band's text (TRowText, the one row format) is made on one of
// several workers (TItemTeam) and the bands go to the stream in order, in
// one write each, while the next bands are being formatted. The bytes are
// those of TMapTools::WriteFlatFile with a blank separator on a stream in
// its default state, for any number of workers; the per-line flushes of that
// operation are not made (a file written by name cannot tell).
//
// Applies to maps whose stored rows match their dimensions (Applies); the
// writer sends any other to WriteFlatFile, which reports the missing cells.
// Memory: one band of text (about 1 MiB, at least one row) per worker.
// Output errors stay in the stream's state. Internal to TARCGISFileTools.
#ifndef QUILLMAP_GRIDIO_TBANDEDBODY_H
#define QUILLMAP_GRIDIO_TBANDEDBODY_H

#include <ostream>

#include "grid/TMap.h"

class TBandedBody {
public:
  static bool Applies(TMap* map) { return map->IsRectangular(); }
  // digits: a TDigits setting.
  static void Write(TMap* map, std::ostream& stream, int digits);
};

#endif
