// TPieceLoad: a grid file read by name into a map on every core: the header
// as the reader reads it, then the body in pieces cut at white space
// (TBodyPieces), read by several workers at once. The words of the pieces
// are counted first (a pass at memory speed), so that each piece knows the
// first value it holds and stores its values straight into the map's rows;
// where a piece reads other than one value a word (a fault, or a word of two
// numbers such as "1-2"), that map is dropped and the pieces are read again,
// each keeping its values, and merged in file order. Either way the map, and
// the failure when the file has several faults, are those of the stream
// reader. Pieces past the one that decides the body (it holds the last value
// needed, or fails first) are not begun, so text after the body costs
// little.
//
// Applies to regular files (positioned reads) large enough for several
// workers; the reader sends anything else through its stream, as one worker
// reads best. Memory: the values, and a read window per worker (on the
// second way, the values twice, briefly, while the map's rows are filled
// from the pieces); the map's rows are allocated only once the file is known
// to hold a word for every value. Throws the stream reader's messages
// (TARCGISFileTools.h). Internal.
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
