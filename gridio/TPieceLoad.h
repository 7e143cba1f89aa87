// TPieceLoad: a grid file read by name on every core: the header as the
// reader reads it, then the body in pieces cut at white space
// (TBodyPieces), read by several workers at once. Each piece is read once
// into its worker's window, its words counted there (at memory speed), and
// once the pieces before it have counted theirs, so that it knows the first
// value it holds, its values are stored from the same text straight into
// the rows: a map's (Load) or a caller's row-major buffer's (LoadCells).
// Where the words fall short, or a piece reads other than one value a word
// (a fault, or a word of two numbers such as "1-2"), the pieces are read
// again, each keeping its values, merged in file order and copied into the
// rows by bands on the workers. Either way the values, and the failure when
// the file has several faults, are those of the stream reader. Pieces past
// the one that decides the body (it holds the last value needed, or fails
// first) are not begun, so text after the body costs little.
//
// Applies to regular files (positioned reads) large enough for several
// workers; the reader sends anything else through its stream, as one worker
// reads best. Memory: the values, and a piece's window per worker (on the
// second way, the values twice, briefly, while the rows are filled from the
// pieces); a map's rows are allocated only once the body's bytes can hold
// its values (CanHold), so at most four times the body's bytes. Throws the
// stream reader's messages (TARCGISFileTools.h). Internal.
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
  // failure, the body's message, the cells' content is unspecified).
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
