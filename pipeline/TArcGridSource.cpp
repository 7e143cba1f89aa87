#include "pipeline/TArcGridSource.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <istream>

#include "gridio/TBodyPieces.h"
#include "gridio/TFileRangeBuf.h"
#include "gridio/TGridTokenizer.h"
#include "pipeline/TArcGridRows.h"
#include "platform/TWorkerTeam.h"

namespace {} // namespace

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
  const TBodyPieces body(MbrRefFile, MbrLngBodyStart, MbrLngFileBytes,
                         std::max<std::uint64_t>({MbrRefKnobs.PieceBytes, bodyBytes >> 16, 1}),
                         MbrBlnLenient, MbrRefKnobs.ReadBytes);
  MbrCheckpoints.SetSpacing(
      std::max<long long>({static_cast<long long>(MbrRefKnobs.CheckpointValues),
                           static_cast<long long>(MbrLngFileBytes >> 18), 1}));
  const long long spacing = MbrCheckpoints.Spacing();
  std::vector<TBodyPieces::TPiece> found(body.Count());
  // Item 0 is the work to do meanwhile, item p + 1 piece p.
  std::exception_ptr meanwhileFailure;
  std::atomic<std::size_t> next(0);
  std::atomic<bool> stopped(false);
  TWorkerTeam::Run(
      static_cast<unsigned>(std::min<std::size_t>(workers, found.size() + 1)),
      [&](unsigned) {
        for (std::size_t item = next++; item <= found.size() && !stopped; item = next++) {
          if (item > 0) {
            found[item - 1] = body.Scan(item - 1, spacing, false);
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
  TBodyPieces::Collect(found, TBodyPieces::Needed(MbrHeader), &MbrCheckpoints);
  if (meanwhileFailure)
    std::rethrow_exception(meanwhileFailure);
}
