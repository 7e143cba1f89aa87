#include "pipeline/TGeoTIFFSource.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>
#include <memory>
#include <utility>
#include <vector>

#include "gridio/GeoTIFFMessages.h"
#include "gridio/TGeoTIFFImage.h"
#include "gridio/TTiffRowReader.h"
#include "pipeline/TMemoryRows.h"
#include "platform/TWorkerTeam.h"

namespace {
// Image rows a worker checks at a time, at least (whole strips or rows of
// tiles are added up to it).
const long kCheckedRows = 64;

// A reader opens the band again: a file replaced since the source opened it,
// with another size, is refused rather than read beyond.
void RequireSameSize(const TGeoTIFFImage& image, const TGridGeometry& geometry) {
  if (image.Layout().Columns != geometry.Columns || image.Layout().Rows != geometry.Rows)
    throw kCorruptDirectory;
}

// A run of columns of the band's rows, decoded a whole image row at a time.
class TGeoTIFFRows : public TSourceRows {
public:
  TGeoTIFFRows(const std::string& fileName, long band, const TGridGeometry& geometry,
               long firstColumn, long endColumn)
      : MbrImage(fileName, band), MbrReader(MbrImage.Tiff(), MbrImage.Layout()),
        MbrRow(MbrImage.Layout().Columns), MbrLngFirstColumn(firstColumn),
        MbrLngEndColumn(endColumn) {
    RequireSameSize(MbrImage, geometry);
  }

  const double* Row(long row, double* buffer) override {
    MbrReader.Seek(static_cast<std::uint32_t>(row));
    MbrReader.ReadRow(MbrRow.data());
    std::memcpy(buffer, MbrRow.data() + MbrLngFirstColumn,
                static_cast<std::size_t>(MbrLngEndColumn - MbrLngFirstColumn) * sizeof(double));
    return buffer;
  }
  void Restart(long, long firstColumn, long endColumn) override {
    MbrLngFirstColumn = firstColumn;
    MbrLngEndColumn = endColumn;
  }

private:
  TGeoTIFFImage MbrImage;
  TTiffRowReader MbrReader;
  std::vector<double> MbrRow;
  long MbrLngFirstColumn;
  long MbrLngEndColumn;
};
} // namespace

TGeoTIFFSource::TGeoTIFFSource(std::string fileName, long band, const TPipelineKnobs& knobs)
    : MbrStrFile(std::move(fileName)), MbrLngBand(band), MbrRefKnobs(knobs) {}

void TGeoTIFFSource::Open() {
  TGeoTIFFImage image(MbrStrFile, MbrLngBand);
  MbrGeometry = image.Geometry();
  MbrTags = std::move(image.Georeference().Tags);
  MbrLngRowsPerBlock = std::max<long>(image.Layout().RowsPerBlock, 1);
}

std::unique_ptr<TSourceRows> TGeoTIFFSource::Rows(long, long firstColumn, long endColumn) const {
  return std::make_unique<TGeoTIFFRows>(MbrStrFile, MbrLngBand, MbrGeometry, firstColumn,
                                        endColumn);
}

// One worker's image, opened at its first run, and the values of the run
// it decodes.
class TGeoTIFFSource::TRunReader {
public:
  explicit TRunReader(const TGeoTIFFSource& source) : MbrRefSource(source) {}

  // Decodes rows [first, end); their values are kept when keep is true.
  void Decode(long first, long end, bool keep) {
    Open();
    const std::size_t columns = static_cast<std::size_t>(MbrRefSource.MbrGeometry.Columns);
    if (keep)
      MbrValues.resize(static_cast<std::size_t>(end - first) * columns);
    else
      MbrValues.resize(columns);
    MbrReader->Seek(static_cast<std::uint32_t>(first));
    for (long row = first; row < end; ++row)
      MbrReader->ReadRow(MbrValues.data() +
                         (keep ? static_cast<std::size_t>(row - first) * columns : 0));
  }
  // Decodes rows [end, needed) after the rows of the run [first, end) kept;
  // false when one does not decode (the run that holds it raises that).
  bool DecodeOn(long first, long end, long needed) {
    const std::size_t columns = static_cast<std::size_t>(MbrRefSource.MbrGeometry.Columns);
    MbrValues.resize(static_cast<std::size_t>(needed - first) * columns);
    try {
      for (long row = end; row < needed; ++row)
        MbrReader->ReadRow(MbrValues.data() + static_cast<std::size_t>(row - first) * columns);
    } catch (const char*) {
      return false;
    }
    return true;
  }
  const double* Values() const { return MbrValues.data(); }

private:
  void Open() {
    if (MbrImage)
      return;
    MbrImage = std::make_unique<TGeoTIFFImage>(MbrRefSource.MbrStrFile, MbrRefSource.MbrLngBand);
    RequireSameSize(*MbrImage, MbrRefSource.MbrGeometry);
    MbrReader = std::make_unique<TTiffRowReader>(MbrImage->Tiff(), MbrImage->Layout());
  }

  const TGeoTIFFSource& MbrRefSource;
  std::unique_ptr<TGeoTIFFImage> MbrImage;
  std::unique_ptr<TTiffRowReader> MbrReader;
  std::vector<double> MbrValues;
};

long TGeoTIFFSource::RunRows(long rows) const {
  return (std::max(rows, 1L) + MbrLngRowsPerBlock - 1) / MbrLngRowsPerBlock * MbrLngRowsPerBlock;
}

void TGeoTIFFSource::Check(unsigned workers, const std::function<void()>& meanwhile) {
  std::atomic<bool> handedAll(true);
  CheckRuns(workers, RunRows(kCheckedRows), meanwhile, nullptr, handedAll);
}

bool TGeoTIFFSource::CheckAndUse(unsigned workers, const TRowUse& use) {
  const std::size_t rowBytes = static_cast<std::size_t>(MbrGeometry.Columns) * sizeof(double);
  std::atomic<bool> handedAll(true);
  CheckRuns(
      workers,
      RunRows(static_cast<long>(MbrRefKnobs.HandedBytes / std::max<std::size_t>(rowBytes, 1))),
      [] {}, &use, handedAll);
  return handedAll;
}

// Item 0 is the work to do meanwhile, item r + 1 run r; the first failing
// run in file order decides the message, as a reader of the whole grid
// would meet it.
void TGeoTIFFSource::CheckRuns(unsigned workers, long runRows,
                               const std::function<void()>& meanwhile, const TRowUse* use,
                               std::atomic<bool>& handedAll) {
  const long rows = MbrGeometry.Rows;
  const std::size_t rowBytes = static_cast<std::size_t>(MbrGeometry.Columns) * sizeof(double);
  const std::size_t runs = static_cast<std::size_t>((rows + runRows - 1) / runRows);
  const unsigned team = static_cast<unsigned>(std::min<std::size_t>(workers, runs + 1));
  std::vector<std::exception_ptr> failures(runs + 1);
  std::atomic<std::size_t> next(0);
  std::atomic<bool> failed(false);
  TWorkerTeam::Run(team, [&](unsigned) {
    TRunReader reader(*this);
    for (std::size_t item = next++; item <= runs; item = next++) {
      try {
        if (item == 0) {
          meanwhile();
          continue;
        }
        const long first = static_cast<long>(item - 1) * runRows;
        const long end = std::min(rows, first + runRows);
        const long needed = use ? std::min(std::max(use->EndNeeded(first, end), end), rows) : end;
        // Once a run is not handed over, the source is read again anyway.
        const bool keep = use && handedAll &&
                          static_cast<std::size_t>(needed - first) * rowBytes <=
                              kMostHandedRuns * MbrRefKnobs.HandedBytes;
        if (use && !keep)
          handedAll = false;
        reader.Decode(first, end, keep);
        if (!keep || failed)
          continue;
        if (!reader.DecodeOn(first, end, needed)) {
          handedAll = false;
          continue;
        }
        use->Use(first, end, TMemoryRows(MbrGeometry, reader.Values(), first, needed));
      } catch (...) {
        failures[item] = std::current_exception();
        failed = true;
      }
    }
  });
  for (std::size_t run = 1; run <= runs; ++run)
    if (failures[run])
      std::rethrow_exception(failures[run]);
  if (failures[0])
    std::rethrow_exception(failures[0]);
}
