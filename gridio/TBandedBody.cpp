#include "gridio/TBandedBody.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/TItemTeam.h"
#include "text/TDigits.h"
#include "text/TRowText.h"

namespace {
const std::size_t kBandBytes = 1 << 20;
// Values worth a worker of their own.
const double kValuesPerWorker = 1 << 16;
} // namespace

void TBandedBody::Write(TMap* map, std::ostream& stream, int digits) {
  const long rows = map->MbrLngYDim;
  const long columns = map->MbrLngXDim;
  const std::size_t rowRoom = TRowText::Room(columns);
  const unsigned workers = TItemTeam::Workers(
      static_cast<double>(rows) * static_cast<double>(columns), kValuesPerWorker);
  // A few bands a worker, none above the band bytes but of one row at least.
  const long bandRows = std::max<long>(
      1, std::min<long>(static_cast<long>(kBandBytes / rowRoom), rows / (4 * workers)));
  const long bands = (rows + bandRows - 1) / bandRows;
  const TRowText row(TDigits(digits), ' ');
  struct TText {
    std::unique_ptr<char[]> Buffer;
    std::size_t Length = 0;
  };
  std::vector<TText> texts(std::min<long>(std::max<long>(bands, 1), workers));
  TItemTeam::RunInOrder(
      bands, workers,
      [&](long band, unsigned worker) {
        TText& text = texts[worker];
        if (!text.Buffer)
          text.Buffer.reset(new char[rowRoom * static_cast<std::size_t>(bandRows)]);
        char* out = text.Buffer.get();
        const long end = std::min(rows, (band + 1) * bandRows);
        for (long y = band * bandRows; y < end; ++y)
          out = TRowText::EndLine(row.Values(out, map->MbrVecValues[y].data(), columns));
        text.Length = static_cast<std::size_t>(out - text.Buffer.get());
      },
      [&](long, unsigned worker) {
        stream.write(texts[worker].Buffer.get(),
                     static_cast<std::streamsize>(texts[worker].Length));
      });
}
