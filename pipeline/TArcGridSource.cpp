#include "pipeline/TArcGridSource.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <istream>

#include "gridio/TBodyPieces.h"
#include "gridio/TFileRangeBuf.h"
#include "gridio/TGridTokenizer.h"
#include "gridio/TPieceBases.h"
#include "pipeline/TArcGridRows.h"
#include "pipeline/TMemoryRows.h"
#include "platform/TWorkerTeam.h"

namespace {
using TCell = TGridHeader::TCell;
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
  std::atomic<bool> handedAll(true);
  CheckPieces(workers, meanwhile, nullptr, handedAll);
}

bool TArcGridSource::CheckAndUse(unsigned workers, const TRowUse& use) {
  std::atomic<bool> handedAll(true);
  CheckPieces(
      workers, [] {}, &use, handedAll);
  return handedAll;
}

void TArcGridSource::CheckPieces(unsigned workers, const std::function<void()>& meanwhile,
                                 const TRowUse* use, std::atomic<bool>& handedAll) {
  const std::uint64_t bodyBytes =
      MbrLngFileBytes > MbrLngBodyStart ? MbrLngFileBytes - MbrLngBodyStart : 0;
  const TBodyPieces body(MbrRefFile, MbrLngBodyStart, MbrLngFileBytes,
                         std::max<std::uint64_t>({MbrRefKnobs.PieceBytes, bodyBytes >> 16, 1}),
                         MbrBlnLenient, MbrRefKnobs.ReadBytes);
  MbrCheckpoints.SetSpacing(
      std::max<long long>({static_cast<long long>(MbrRefKnobs.CheckpointValues),
                           static_cast<long long>(MbrLngFileBytes >> 18), 1}));
  const long long spacing = MbrCheckpoints.Spacing();
  std::vector<TBodyPieces::TPiece> found(body.Count());
  const unsigned team = static_cast<unsigned>(std::min<std::size_t>(workers, found.size() + 1));
  TPieceBases bases(found.size());
  // Item 0 is the work to do meanwhile, item p + 1 piece p.
  std::exception_ptr meanwhileFailure;
  std::atomic<std::size_t> next(0);
  std::atomic<bool> stopped(false);
  TWorkerTeam::Run(
      team,
      [&](unsigned) {
        // Allocated once, touched by the worker that reads through them.
        TWorkerReads reads{body.Window(), {}};
        if (use)
          reads.Values.reserve(body.MostValues());
        for (std::size_t item = next++; item <= found.size() && !stopped; item = next++) {
          if (item > 0) {
            const std::size_t p = item - 1;
            if (!use) {
              found[p] = body.Scan(p, spacing, reads.Window);
              continue;
            }
            found[p] = body.ScanInto(p, spacing, reads.Values, reads.Window);
            bases.Publish(p, found[p].Count);
            long long base = 0;
            if (!bases.Await(p, base))
              return;
            if (!HandRows(*use, body, p, found[p], base, reads))
              handedAll = false;
            continue;
          }
          try {
            meanwhile();
          } catch (...) {
            meanwhileFailure = std::current_exception();
          }
        }
      },
      [&] {
        stopped = true;
        bases.Stop();
      });
  TBodyPieces::Collect(found, TBodyPieces::Needed(MbrHeader), &MbrCheckpoints);
  if (meanwhileFailure)
    std::rethrow_exception(meanwhileFailure);
}

bool TArcGridSource::HandRows(const TRowUse& use, const TBodyPieces& body, std::size_t p,
                              const TBodyPieces::TPiece& piece, long long base,
                              TWorkerReads& reads) const {
  const long long columns = MbrHeader.Columns;
  const long long rows = MbrHeader.Rows;
  // The rows whose first value lies in the piece.
  const long long first = (base + columns - 1) / columns;
  const long long last = std::min((base + piece.Count + columns - 1) / columns, rows);
  if (first >= last)
    return true;
  const long endNeeded = std::min<long long>(
      std::max<long long>(use.EndNeeded(static_cast<long>(first), static_cast<long>(last)), first),
      rows);
  const long long needed = endNeeded * columns - base;
  // The rows needed may go on past the piece: read on, as the next piece
  // reads.
  if (needed > piece.Count &&
      (piece.End != TCell::AtEnd ||
       !body.ReadOn(p, piece, needed - piece.Count, reads.Values, reads.Window)))
    return false;
  use.Use(static_cast<long>(first), static_cast<long>(last),
          TMemoryRows(MbrHeader, reads.Values.data() + (first * columns - base),
                      static_cast<long>(first), endNeeded));
  return true;
}
