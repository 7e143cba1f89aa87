// TPieceLoad: a grid file read by name into a map on every core: the header
// as the reader reads it, then the body in pieces cut at white space
// (TBodyPieces), scanned by several workers at once, each piece keeping its
// values; the pieces are merged in file order, so the map, and the failure
// when the file has several faults, are those of the stream reader. Pieces
// past the one that decides the body (it holds the last value needed, or
// fails first) are not begun, so text after the body costs little.
//
// Applies to regular files (positioned reads) large enough for several
// workers; the reader sends anything else through its stream, as one worker
// reads best. Memory: the values (twice, briefly, while the map's rows are filled
// from the pieces) and a read window per worker; the map's rows are
// allocated only once the file is known to hold every value. Throws the
// stream reader's messages (TARCGISFileTools.h). Internal.
#ifndef QUILLMAP_GRIDIO_TPIECELOAD_H
#define QUILLMAP_GRIDIO_TPIECELOAD_H

#include <cstdint>

#include "grid/TMap.h"
#include "platform/TFileDescriptor.h"

class TPieceLoad {
public:
  // Whether a regular file of fileBytes bytes is worth more than one worker.
  static bool Applies(std::uint64_t fileBytes);
  // The file, open, of fileBytes bytes; a new map that the caller owns.
  static TMap* Load(const TFileDescriptor& file, std::uint64_t fileBytes, bool lenient);
};

#endif
