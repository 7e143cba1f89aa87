// TPieceLoad: a grid file read by name on every core: the header as the
// reader reads it, then the body in pieces cut at white space
// (TBodyPieces), scanned by several workers at once, each piece keeping its
// values; the pieces are merged in file order, so the values, and the
// failure when the file has several faults, are those of the stream reader.
// Pieces past the one that decides the body (it holds the last value needed,
// or fails first) are not begun, so text after the body costs little.
//
// The body goes into a map's rows (Load) or into a caller's row-major
// buffer (LoadCells), copied from the pieces by bands of rows on the
// workers; the map's rows and the buffer are written only once the file is
// known to hold every value.
//
// Applies to regular files (positioned reads) large enough for several
// workers; the reader sends anything else through its stream, as one worker
// reads best. Memory: the values (twice, briefly, while the rows or the
// buffer are filled from the pieces) and a read window per worker. Throws
// the stream reader's messages (TARCGISFileTools.h). Internal.
#ifndef QUILLMAP_GRIDIO_TPIECELOAD_H
#define QUILLMAP_GRIDIO_TPIECELOAD_H

#include <cstdint>

#include "grid/TMap.h"
#include "gridio/TGridHeader.h"
#include "platform/TFileDescriptor.h"

class TPieceLoad {
public:
  // The header read, and where the body starts.
  struct THead {
    TGridHeader Header;
    std::uint64_t BodyStart = 0;
  };

  // Whether a regular file of fileBytes bytes is worth more than one worker.
  static bool Applies(std::uint64_t fileBytes);
  // The header of the file, open (its messages).
  static THead ReadHead(const TFileDescriptor& file, bool lenient);
  // Then the body, the file being of fileBytes bytes: a new map that the
  // caller owns, or Columns x Rows values into cells, row 0 first (on a
  // failure, the body's message, the cells are not written).
  static TMap* Load(const TFileDescriptor& file, std::uint64_t fileBytes, const THead& head,
                    bool lenient);
  static void LoadCells(const TFileDescriptor& file, std::uint64_t fileBytes, const THead& head,
                        bool lenient, double* cells);
  // Whether the body's bytes can hold the values the header counts, each at
  // least one character and a white space (the last one, under the lenient
  // rules, without it). When they cannot, CheckBody raises the body's
  // failure while keeping no value.
  static bool CanHold(std::uint64_t fileBytes, const THead& head);
  static void CheckBody(const TFileDescriptor& file, std::uint64_t fileBytes, const THead& head,
                        bool lenient);
};

#endif
