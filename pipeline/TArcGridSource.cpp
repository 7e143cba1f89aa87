#include "pipeline/TArcGridSource.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <exception>
#include <istream>

#include "gridio/TFileRangeBuf.h"
#include "gridio/TGridTokenizer.h"
#include "pipeline/TArcGridRows.h"
#include "platform/TWorkerTeam.h"

namespace {
using TCell = TGridHeader::TCell;

long long SaturatingProduct(long a, long b) {
  if (a > 0 && b > 0 && a > LLONG_MAX / b)
    return LLONG_MAX;
  return static_cast<long long>(a) * b;
}
} // namespace

TArcGridSource::TArcGridSource(const TFileDescriptor& file, std::uint64_t fileBytes, bool lenient,
                               const TPipelineKnobs& knobs)
    : MbrRefFile(file), MbrLngFileBytes(fileBytes), MbrBlnLenient(lenient), MbrRefKnobs(knobs) {}

std::unique_ptr<TSourceRows> TArcGridSource::Rows(long firstRow, long firstColumn,
                                                  long endColumn) const {
  const TArcGridRows::TBody body{MbrRefFile, MbrCheckpoints, MbrHeader.Columns, MbrBlnLenient,
                                 MbrRefKnobs.ReadBytes};
  return std::make_unique<TArcGridRows>(body, firstRow, firstColumn, endColumn);
}

void TArcGridSource::Open() {
  TFileRangeBuf buffer(MbrRefFile, 0, TFileRangeBuf::kNoLimit, false, MbrRefKnobs.ReadBytes);
  std::istream stream(&buffer);
  TGridTokenizer in(stream);
  MbrHeader = TGridHeader::Read(in, MbrBlnLenient);
  in.Commit();
  MbrLngBodyStart = buffer.Position();
}

void TArcGridSource::Check(unsigned workers, const std::function<void()>& meanwhile) {
  const std::uint64_t bodyBytes =
      MbrLngFileBytes > MbrLngBodyStart ? MbrLngFileBytes - MbrLngBodyStart : 0;
  const std::uint64_t pieceBytes =
      std::max<std::uint64_t>({MbrRefKnobs.PieceBytes, bodyBytes >> 16, 1});
  MbrCheckpoints.SetSpacing(
      std::max<long long>({static_cast<long long>(MbrRefKnobs.CheckpointValues),
                           static_cast<long long>(MbrLngFileBytes >> 18), 1}));
  const std::size_t pieces = static_cast<std::size_t>((bodyBytes + pieceBytes - 1) / pieceBytes);
  std::vector<TPiece> found(std::max<std::size_t>(pieces, 1));
  // Item 0 is the work to do meanwhile, item p + 1 piece p.
  std::exception_ptr meanwhileFailure;
  std::atomic<std::size_t> next(0);
  std::atomic<bool> stopped(false);
  TWorkerTeam::Run(
      static_cast<unsigned>(std::min<std::size_t>(workers, found.size() + 1)),
      [&](unsigned) {
        for (std::size_t item = next++; item <= found.size() && !stopped; item = next++) {
          if (item > 0) {
            const std::size_t p = item - 1;
            found[p] = CheckPiece(MbrLngBodyStart + p * pieceBytes, pieceBytes, p > 0);
            continue;
          }
          try {
            meanwhile();
          } catch (...) {
            meanwhileFailure = std::current_exception();
          }
        }
      },
      [&] { stopped = true; });
  Collect(found);
  if (meanwhileFailure)
    std::rethrow_exception(meanwhileFailure);
}

TArcGridSource::TPiece TArcGridSource::CheckPiece(std::uint64_t begin, std::uint64_t bytes,
                                                  bool startAtSpace) const {
  // A window no larger than the piece (and a little more for its last
  // token): a small piece reads little.
  const std::uint64_t window = std::min<std::uint64_t>(MbrRefKnobs.ReadBytes, bytes + 64);
  TFileRangeBuf buffer(MbrRefFile, begin, begin + bytes, startAtSpace,
                       static_cast<std::size_t>(window));
  std::istream stream(&buffer);
  TGridTokenizer in(stream);
  TPiece piece;
  piece.Checkpoints.push_back({0, 0});
  const long long spacing = MbrCheckpoints.Spacing();
  double value = 0.0;
  for (;;) {
    if (piece.Count > 0 && piece.Count % spacing == 0) {
      in.Commit();
      piece.Checkpoints.push_back({piece.Count, buffer.Position()});
    }
    piece.End = TGridHeader::ReadCell(in, value, MbrBlnLenient);
    if (piece.End != TCell::Read)
      break;
    ++piece.Count;
  }
  piece.Checkpoints.front().Offset = buffer.Start();
  return piece;
}

// The pieces in file order: the first value that fails before every value
// has been read raises its failure; values past the last one are ignored.
void TArcGridSource::Collect(std::vector<TPiece>& pieces) {
  const long long needed = SaturatingProduct(MbrHeader.Columns, MbrHeader.Rows);
  long long base = 0;
  for (TPiece& piece : pieces) {
    for (const TBodyCheckpoints::TCheckpoint& checkpoint : piece.Checkpoints)
      if (base + checkpoint.Value < needed)
        MbrCheckpoints.Add({base + checkpoint.Value, checkpoint.Offset});
    piece.Checkpoints = std::vector<TBodyCheckpoints::TCheckpoint>();
    if (needed - base <= piece.Count)
      return;
    if (piece.End == TCell::NotANumber)
      TGridHeader::ThrowCellFailure(piece.End);
    base += piece.Count;
  }
  TGridHeader::ThrowCellFailure(TCell::AtEnd);
}
