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
// The values a scan reads at a time before handing them on.
const std::size_t kRunValues = 256;
// Room in a piece's window past the piece, for what a read takes beyond its
// limit.
const std::uint64_t kPieceWindowSlack = 1 << 12;

void KeepNone(TBodyPieces::TPiece&, long long, const double*, std::size_t) {}
} // namespace

TBodyPieces::TBodyPieces(const TFileDescriptor& file, std::uint64_t bodyStart,
                         std::uint64_t fileBytes, std::uint64_t pieceBytes, bool lenient,
                         std::size_t readBytes)
    : MbrRefFile(file), MbrLngBodyStart(bodyStart),
      MbrLngPieceBytes(std::max<std::uint64_t>(pieceBytes, 1)), MbrLngCount(1), MbrLngMostValues(1),
      MbrBlnLenient(lenient), MbrLngReadBytes(readBytes) {
  const std::uint64_t bodyBytes = fileBytes > bodyStart ? fileBytes - bodyStart : 0;
  MbrLngCount = std::max<std::size_t>(
      1, static_cast<std::size_t>((bodyBytes + MbrLngPieceBytes - 1) / MbrLngPieceBytes));
  // A value and the white space after it take two bytes at least; a piece
  // runs on to the white space after its cut.
  MbrLngMostValues = static_cast<std::size_t>(std::min(bodyBytes, MbrLngPieceBytes + 1) / 2 + 1);
}

TFileRangeBuf TBodyPieces::Window() const {
  // A window no larger than a piece (and a little more for its last
  // token): a small piece reads little.
  const std::uint64_t window = std::min<std::uint64_t>(MbrLngReadBytes, MbrLngPieceBytes + 64);
  return TFileRangeBuf(MbrRefFile, MbrLngBodyStart, MbrLngBodyStart, false,
                       static_cast<std::size_t>(window));
}

void TBodyPieces::Cut(std::size_t p, TFileRangeBuf& window) const {
  window.Reset(MbrLngBodyStart + p * MbrLngPieceBytes, End(p), p > 0);
}

// The one scan loop: `keep` takes the values read in runs, each with the
// index in the piece of its first value. The usual values are read a run at
// a time (TGridTokenizer::ReadShortDecimalsPaced), each other one on its own.
template <class TKeep>
TBodyPieces::TPiece TBodyPieces::ScanWith(std::size_t p, long long spacing, TFileRangeBuf& buffer,
                                          TKeep keep) const {
  Cut(p, buffer);
  std::istream stream(&buffer);
  TGridTokenizer in(stream);
  TPiece piece;
  if (spacing > 0)
    piece.Checkpoints.push_back({0, 0});
  double run[kRunValues];
  long long count = 0;
  // The next checkpoint's value index; none without spacing.
  long long checkpoint = spacing > 0 ? spacing : -1;
  for (;;) {
    if (count == checkpoint) {
      in.Commit();
      piece.Checkpoints.push_back({count, buffer.Position()});
      checkpoint += spacing;
    }
    const std::size_t room =
        checkpoint < 0
            ? kRunValues
            : static_cast<std::size_t>(std::min<long long>(kRunValues, checkpoint - count));
    const std::size_t read = in.ReadShortDecimalsPaced(run, room);
    if (read > 0) {
      keep(piece, count, run, read);
      count += static_cast<long long>(read);
    }
    if (read == room)
      continue;
    piece.End = TGridHeader::ReadCell(in, run[0], MbrBlnLenient);
    if (piece.End != TCell::Read)
      break;
    keep(piece, count, run, 1);
    ++count;
  }
  piece.Count = count;
  if (spacing > 0)
    piece.Checkpoints.front().Offset = buffer.Start();
  return piece;
}

TBodyPieces::TPiece TBodyPieces::Scan(std::size_t p, long long spacing, bool keepValues) const {
  // Huge pages for large pieces; small pieces take little.
  const std::size_t blockBytes =
      MbrLngPieceBytes >= TLargeBlock::kHugePage ? TLargeBlock::kHugePage : kSmallBlockBytes;
  const long long blockValues = static_cast<long long>(blockBytes / sizeof(double));
  TFileRangeBuf window = Window();
  TPiece piece =
      keepValues
          ? ScanWith(p, spacing, window,
                     [&](TPiece& scanned, long long first, const double* values, std::size_t n) {
                       for (const double* const end = values + n; values < end;) {
                         const long long at = first % blockValues;
                         if (at == 0)
                           scanned.Blocks.emplace_back(blockBytes);
                         const long long take = std::min<long long>(blockValues - at, end - values);
                         std::copy(values, values + take,
                                   static_cast<double*>(scanned.Blocks.back().Data()) + at);
                         values += take;
                         first += take;
                       }
                     })
          : ScanWith(p, spacing, window, KeepNone);
  piece.BlockValues = blockValues;
  return piece;
}

TBodyPieces::TPiece TBodyPieces::Scan(std::size_t p, long long spacing,
                                      TFileRangeBuf& window) const {
  return ScanWith(p, spacing, window, KeepNone);
}

TBodyPieces::TPiece TBodyPieces::ScanInto(std::size_t p, long long spacing,
                                          std::vector<double>& values,
                                          TFileRangeBuf& window) const {
  values.clear();
  return ScanWith(p, spacing, window,
                  [&values](TPiece&, long long, const double* run, std::size_t n) {
                    values.insert(values.end(), run, run + n);
                  });
}

bool TBodyPieces::ReadOn(std::size_t p, const TPiece& scanned, long long count,
                         std::vector<double>& values, TFileRangeBuf& window) const {
  const std::size_t at = values.size();
  const std::size_t wanted = static_cast<std::size_t>(count);
  values.resize(at + wanted);
  double* const out = values.data() + at;
  // Ranges of about the bytes that the values left take in the piece, so
  // that a few rows past it read little more of the file than they hold.
  const std::uint64_t valueBytes =
      MbrLngPieceBytes / static_cast<std::uint64_t>(std::max<long long>(scanned.Count, 1)) + 1;
  std::uint64_t from = End(p);
  bool seekSpace = true;
  std::size_t v = 0;
  for (;;) {
    const std::uint64_t left = wanted - v;
    const std::uint64_t limit = left > (TFileRangeBuf::kNoLimit - from) / valueBytes
                                    ? TFileRangeBuf::kNoLimit
                                    : from + left * valueBytes;
    window.Reset(from, limit, seekSpace);
    {
      std::istream stream(&window);
      TGridTokenizer in(stream);
      for (; v < wanted; ++v) {
        v += in.ReadShortDecimalsPaced(out + v, wanted - v);
        if (v == wanted)
          return true;
        const TCell cell = TGridHeader::ReadCell(in, out[v], MbrBlnLenient);
        if (cell == TCell::NotANumber)
          return false;
        if (cell == TCell::AtEnd)
          break;
      }
      if (v == wanted)
        return true;
    }
    // The range ended: at its limit, read on from where it stopped; at the
    // end of the file, the values are not there.
    const std::uint64_t reached = window.Position();
    if (limit == TFileRangeBuf::kNoLimit || reached <= from)
      return false;
    from = reached;
    seekSpace = false;
  }
}

long long TBodyPieces::CountWords(std::size_t p, TFileRangeBuf& window) const {
  Cut(p, window);
  TWordCount words;
  const char* text = nullptr;
  while (const std::size_t size = window.TakeWindow(text))
    words.Add(text, size);
  return words.Words();
}

TFileRangeBuf TBodyPieces::PieceWindow() const {
  return TFileRangeBuf(MbrRefFile, MbrLngBodyStart, MbrLngBodyStart, false,
                       static_cast<std::size_t>(MbrLngPieceBytes + kPieceWindowSlack));
}

TBodyPieces::TPiece TBodyPieces::ScanIntoRows(std::size_t p, const std::vector<double*>& rows,
                                              long columns, long long first, long long room,
                                              TFileRangeBuf& window) const {
  std::size_t row = static_cast<std::size_t>(first / columns);
  long column = static_cast<long>(first % columns);
  return ScanWith(p, 0, window, [&](TPiece&, long long at, const double* values, std::size_t n) {
    // Values past the room are counted, not stored.
    for (long long left = std::min<long long>(static_cast<long long>(n), room - at); left > 0;) {
      const long long take = std::min<long long>(left, columns - column);
      std::copy(values, values + take, rows[row] + column);
      values += take;
      left -= take;
      column += static_cast<long>(take);
      if (column == columns) {
        column = 0;
        ++row;
      }
    }
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
