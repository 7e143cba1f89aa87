#include "gridio/TBodyPieces.h"

#include <algorithm>
#include <climits>
#include <istream>

#include "gridio/TFileRangeBuf.h"
#include "gridio/TGridTokenizer.h"
#include "text/TWordCount.h"

namespace {
using TCell = TGridHeader::TCell;

const std::size_t kSmallBlockBytes = 1 << 16;
} // namespace

TBodyPieces::TBodyPieces(const TFileDescriptor& file, std::uint64_t bodyStart,
                         std::uint64_t fileBytes, std::uint64_t pieceBytes, bool lenient,
                         std::size_t readBytes)
    : MbrRefFile(file), MbrLngBodyStart(bodyStart),
      MbrLngPieceBytes(std::max<std::uint64_t>(pieceBytes, 1)), MbrLngCount(1),
      MbrBlnLenient(lenient), MbrLngReadBytes(readBytes) {
  const std::uint64_t bodyBytes = fileBytes > bodyStart ? fileBytes - bodyStart : 0;
  MbrLngCount = std::max<std::size_t>(
      1, static_cast<std::size_t>((bodyBytes + MbrLngPieceBytes - 1) / MbrLngPieceBytes));
}

TFileRangeBuf TBodyPieces::Range(std::size_t p) const {
  const std::uint64_t begin = MbrLngBodyStart + p * MbrLngPieceBytes;
  // A window no larger than the piece (and a little more for its last
  // token): a small piece reads little.
  const std::uint64_t window = std::min<std::uint64_t>(MbrLngReadBytes, MbrLngPieceBytes + 64);
  return TFileRangeBuf(MbrRefFile, begin, End(p), p > 0, static_cast<std::size_t>(window));
}

template <class TKeep>
TBodyPieces::TPiece TBodyPieces::ScanWith(std::size_t p, long long spacing, TKeep keep) const {
  return ScanWith(p, spacing, keep, [](const TPiece&, TGridTokenizer&) { return 0LL; });
}

// The one scan loop: `keep` takes each value read, with its index in the
// piece; first, straight(piece, in) may read a run of values into place
// itself and return how many (a scan with checkpoints takes none).
template <class TKeep, class TStraight>
TBodyPieces::TPiece TBodyPieces::ScanWith(std::size_t p, long long spacing, TKeep keep,
                                          TStraight straight) const {
  TFileRangeBuf buffer = Range(p);
  std::istream stream(&buffer);
  TGridTokenizer in(stream);
  TPiece piece;
  if (spacing > 0)
    piece.Checkpoints.push_back({0, 0});
  double value = 0.0;
  for (;;) {
    if (spacing > 0 && piece.Count > 0 && piece.Count % spacing == 0) {
      in.Commit();
      piece.Checkpoints.push_back({piece.Count, buffer.Position()});
    }
    if (const long long run = straight(piece, in)) {
      piece.Count += run;
      continue;
    }
    piece.End = TGridHeader::ReadCell(in, value, MbrBlnLenient);
    if (piece.End != TCell::Read)
      break;
    keep(piece, value);
    ++piece.Count;
  }
  if (spacing > 0)
    piece.Checkpoints.front().Offset = buffer.Start();
  return piece;
}

TBodyPieces::TPiece TBodyPieces::Scan(std::size_t p, long long spacing, bool keepValues) const {
  // Huge pages for large pieces; small pieces take little.
  const std::size_t blockBytes =
      MbrLngPieceBytes >= TLargeBlock::kHugePage ? TLargeBlock::kHugePage : kSmallBlockBytes;
  const long long blockValues = static_cast<long long>(blockBytes / sizeof(double));
  TPiece piece = keepValues
                     ? ScanWith(p, spacing,
                                [&](TPiece& scanned, double value) {
                                  const long long at = scanned.Count % blockValues;
                                  if (at == 0)
                                    scanned.Blocks.emplace_back(blockBytes);
                                  static_cast<double*>(scanned.Blocks.back().Data())[at] = value;
                                })
                     : ScanWith(p, spacing, [](TPiece&, double) {});
  piece.BlockValues = blockValues;
  return piece;
}

TBodyPieces::TPiece TBodyPieces::ScanInto(std::size_t p, long long spacing,
                                          std::vector<double>& values) const {
  values.clear();
  return ScanWith(p, spacing, [&values](TPiece&, double value) { values.push_back(value); });
}

long long TBodyPieces::CountWords(std::size_t p) const {
  TFileRangeBuf buffer = Range(p);
  TWordCount words;
  const char* text = nullptr;
  while (const std::size_t size = buffer.TakeWindow(text))
    words.Add(text, size);
  return words.Words();
}

TBodyPieces::TPiece TBodyPieces::ScanIntoRows(std::size_t p, const std::vector<double*>& rows,
                                              long columns, long long first, long long room) const {
  std::size_t row = static_cast<std::size_t>(first / columns);
  long column = static_cast<long>(first % columns);
  const auto advance = [&](long count) {
    column += count;
    if (column == columns) {
      column = 0;
      ++row;
    }
  };
  // Runs are tried from the start of a row: a row that a run leaves
  // unfinished holds other values, read one by one.
  return ScanWith(
      p, 0,
      [&](TPiece& scanned, double value) {
        if (scanned.Count >= room)
          return;
        rows[row][column] = value;
        advance(1);
      },
      [&](const TPiece& scanned, TGridTokenizer& in) {
        if (scanned.Count >= room || (column > 0 && scanned.Count > 0))
          return 0LL;
        const long long want = std::min<long long>(columns - column, room - scanned.Count);
        const long run = static_cast<long>(
            in.ReadShortDecimals(rows[row] + column, static_cast<std::size_t>(want)));
        advance(run);
        return static_cast<long long>(run);
      });
}

long long TBodyPieces::Needed(const TGridHeader& header) {
  const long a = header.Columns;
  const long b = header.Rows;
  if (a > 0 && b > 0 && a > LLONG_MAX / b)
    return LLONG_MAX;
  return static_cast<long long>(a) * b;
}

bool TBodyPieces::Decide(const std::vector<TPiece>& pieces, std::size_t scanned, long long needed) {
  long long base = 0;
  for (std::size_t p = 0; p < scanned; ++p) {
    if (needed - base <= pieces[p].Count || pieces[p].End == TCell::NotANumber)
      return true;
    base += pieces[p].Count;
  }
  return false;
}

void TBodyPieces::Collect(std::vector<TPiece>& pieces, long long needed,
                          TBodyCheckpoints* checkpoints) {
  long long base = 0;
  for (TPiece& piece : pieces) {
    if (checkpoints != nullptr)
      for (const TBodyCheckpoints::TCheckpoint& checkpoint : piece.Checkpoints)
        if (base + checkpoint.Value < needed)
          checkpoints->Add({base + checkpoint.Value, checkpoint.Offset});
    piece.Checkpoints = std::vector<TBodyCheckpoints::TCheckpoint>();
    if (needed - base <= piece.Count)
      return;
    if (piece.End == TCell::NotANumber)
      TGridHeader::ThrowCellFailure(piece.End);
    base += piece.Count;
  }
  TGridHeader::ThrowCellFailure(TCell::AtEnd);
}
