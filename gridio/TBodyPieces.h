// TBodyPieces: the body of a grid file, in a regular file read with
// positioned reads, cut into pieces of about PieceBytes bytes at white space
// (TFileRangeBuf), so that several workers can scan pieces at once. A scan
// reads a piece's values as the reader reads them (TGridHeader::ReadCell)
// up to its first failure or its end, keeping the values, or checkpoints
// every few values, when asked. Collect merges scanned pieces in file order:
// the failure it raises is the first one a front-to-back read of the body
// meets, and values after the last one needed are ignored, as the reader
// ignores them. The one piece scheme of the in-memory reader by name and of
// the file-to-file resampling's source.
//
// Ownership: the file stays the caller's and must outlive the pieces.
// Collect throws "Unexpected end of file found in
// TARCGISFileTools::LoadARCGISFile" and "File format error: cell value is not
// a number in TARCGISFileTools::LoadARCGISFile"; nothing else throws but
// allocation failures.
#ifndef QUILLMAP_GRIDIO_TBODYPIECES_H
#define QUILLMAP_GRIDIO_TBODYPIECES_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gridio/TBodyCheckpoints.h"
#include "gridio/TFileRangeBuf.h"
#include "gridio/TGridHeader.h"
#include "platform/TFileDescriptor.h"
#include "platform/TLargeBlock.h"

class TBodyPieces {
public:
  // How one piece ended: the values it read (kept when asked, in blocks of
  // BlockValues values each, so that keeping them never moves or frees
  // memory while other workers scan), the checkpoints (value indices within
  // the piece) and why it stopped.
  struct TPiece {
    long long Count = 0;
    TGridHeader::TCell End = TGridHeader::TCell::AtEnd;
    std::vector<TBodyCheckpoints::TCheckpoint> Checkpoints;
    long long BlockValues = 0;
    std::vector<TLargeBlock> Blocks;

    // Value i of the piece.
    const double* At(long long i) const {
      return static_cast<const double*>(Blocks[static_cast<std::size_t>(i / BlockValues)].Data()) +
             i % BlockValues;
    }
  };

  // The body runs from bodyStart to fileBytes; pieceBytes at least 1.
  TBodyPieces(const TFileDescriptor& file, std::uint64_t bodyStart, std::uint64_t fileBytes,
              std::uint64_t pieceBytes, bool lenient, std::size_t readBytes);

  // At least 1 (an empty body is one empty piece).
  std::size_t Count() const { return MbrLngCount; }
  // The offset where the next piece is cut (past the body for the last).
  std::uint64_t End(std::size_t piece) const {
    return MbrLngBodyStart + (piece + 1) * MbrLngPieceBytes;
  }
  // spacing: a checkpoint every `spacing` values (and at the first), 0 for
  // none; keepValues: the piece keeps its values.
  TPiece Scan(std::size_t piece, long long spacing, bool keepValues) const;

  // A buffer with the window of the scans, for a worker that scans piece
  // after piece through it (its window is allocated once); each scan sets
  // its range.
  TFileRangeBuf Window() const;
  // At least the values of any one piece (a reader's reserve).
  std::size_t MostValues() const { return MbrLngMostValues; }
  // Scan that keeps no value, through a worker's window.
  TPiece Scan(std::size_t piece, long long spacing, TFileRangeBuf& window) const;
  // Scan that keeps the values in `values` (cleared first) instead, for a
  // reader that holds one piece at a time; the piece's Blocks stay empty.
  TPiece ScanInto(std::size_t piece, long long spacing, std::vector<double>& values,
                  TFileRangeBuf& window) const;
  // Appends the `count` values of the body that follow piece p (`scanned`
  // its scan), read as the next piece reads them, in ranges cut to about
  // their bytes; false, at the first value that is not read, when they are
  // not all there.
  bool ReadOn(std::size_t piece, const TPiece& scanned, long long count,
              std::vector<double>& values, TFileRangeBuf& window) const;

  // The words of the piece (TWordCount) in the text its scan reads, through
  // a worker's window: the values it holds when every word is one number.
  // A window of the whole piece (PieceWindow) keeps its text for the scan
  // that follows.
  long long CountWords(std::size_t piece, TFileRangeBuf& window) const;
  // A window that holds a whole piece and the token at its end.
  TFileRangeBuf PieceWindow() const;
  // Scan through a worker's window that stores the piece's first `room`
  // values in rows of `columns` cells, the piece's value i as value
  // first + i of the body (the body's value k in
  // rows[k / columns][k % columns]); the piece's Blocks stay empty, and its
  // Count includes the values read past `room`.
  TPiece ScanIntoRows(std::size_t piece, const std::vector<double*>& rows, long columns,
                      long long first, long long room, TFileRangeBuf& window) const;

  // The values a body of the header's counts holds (saturating).
  static long long Needed(const TGridHeader& header);
  // Whether pieces 0 up to `scanned` - 1 decide the body: they hold
  // `needed` values, or one of them stops at a failure before that.
  static bool Decide(const std::vector<TPiece>& pieces, std::size_t scanned, long long needed);
  // Merges the pieces in file order up to the one holding value needed - 1,
  // adding their checkpoints below `needed` (made file-wide) when
  // `checkpoints` is given, and raises the first failure met before it.
  static void Collect(std::vector<TPiece>& pieces, long long needed, TBodyCheckpoints* checkpoints);

private:
  // Sets the window's range to the piece's text, as its scans read it.
  void Cut(std::size_t piece, TFileRangeBuf& window) const;
  template <class TKeep>
  TPiece ScanWith(std::size_t piece, long long spacing, TFileRangeBuf& window, TKeep keep) const;

  const TFileDescriptor& MbrRefFile;
  std::uint64_t MbrLngBodyStart;
  std::uint64_t MbrLngPieceBytes;
  std::size_t MbrLngCount;
  std::size_t MbrLngMostValues;
  bool MbrBlnLenient;
  std::size_t MbrLngReadBytes;
};

#endif
