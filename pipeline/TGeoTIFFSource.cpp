#include "pipeline/TGeoTIFFSource.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>
#include <utility>
#include <vector>

#include "gridio/GeoTIFFMessages.h"
#include "gridio/TGeoTIFFImage.h"
#include "gridio/TTiffRowReader.h"
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

TGeoTIFFSource::TGeoTIFFSource(std::string fileName, long band)
    : MbrStrFile(std::move(fileName)), MbrLngBand(band) {}

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

void TGeoTIFFSource::CheckRows(long firstRow, long endRow) const {
  TGeoTIFFImage image(MbrStrFile, MbrLngBand);
  RequireSameSize(image, MbrGeometry);
  TTiffRowReader reader(image.Tiff(), image.Layout());
  std::vector<double> values(image.Layout().Columns);
  reader.Seek(static_cast<std::uint32_t>(firstRow));
  for (long row = firstRow; row < endRow; ++row)
    reader.ReadRow(values.data());
}

// Item 0 is the work to do meanwhile, item r + 1 run r; the first failing
// run in file order decides the message, as a reader of the whole grid
// would meet it.
void TGeoTIFFSource::Check(unsigned workers, const std::function<void()>& meanwhile) {
  const long runRows =
      (kCheckedRows + MbrLngRowsPerBlock - 1) / MbrLngRowsPerBlock * MbrLngRowsPerBlock;
  const std::size_t runs = static_cast<std::size_t>((MbrGeometry.Rows + runRows - 1) / runRows);
  std::vector<std::exception_ptr> failures(runs + 1);
  std::atomic<std::size_t> next(0);
  TWorkerTeam::Run(static_cast<unsigned>(std::min<std::size_t>(workers, runs + 1)), [&](unsigned) {
    for (std::size_t item = next++; item <= runs; item = next++) {
      try {
        if (item == 0) {
          meanwhile();
          continue;
        }
        const long first = static_cast<long>(item - 1) * runRows;
        CheckRows(first, std::min(MbrGeometry.Rows, first + runRows));
      } catch (...) {
        failures[item] = std::current_exception();
      }
    }
  });
  for (std::size_t run = 1; run <= runs; ++run)
    if (failures[run])
      std::rethrow_exception(failures[run]);
  if (failures[0])
    std::rethrow_exception(failures[0]);
}
