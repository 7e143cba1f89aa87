// TGeoTIFFSource: one band of a GeoTIFF file as a source (TGridSource).
// Open reads the file's layout and georeferencing as the GeoTIFF reader does
// (TGeoTIFFImage), Check decodes every row of the band once, in runs of
// whole strips or rows of tiles shared out among the workers (the work to
// do meanwhile taken first), so that a corrupt strip or tile is reported
// before anything is written; Rows hands out readers that open the file
// again, each with a handle of its own, and decode the rows they are asked
// for. The values are those TGeoTIFFFileTools::LoadGeoTIFFFile reads, so
// the result is that of resampling the map it returns.
//
// CheckAndUse checks the rows the same way, in runs of about the knobs'
// HandedBytes of values, and hands each run's rows, with the rows after them
// that the consumer asks for (decoded again by the run after), to the
// consumer as rows in memory (TMemoryRows), on the worker that decoded them.
// A run whose rows come to more than kMostHandedRuns times HandedBytes
// (strips or rows of tiles of a very wide image) is only checked, and the
// source is then to be read again.
//
// Memory: per reader one image row of doubles and one row of strips or
// tiles as libtiff decodes it; nothing per row of the image; CheckAndUse
// adds per worker the values of a run. The file must
// not change while the source lives. Throws what
// TGeoTIFFFileTools::LoadGeoTIFFFile throws, in its order.
#ifndef QUILLMAP_PIPELINE_TGEOTIFFSOURCE_H
#define QUILLMAP_PIPELINE_TGEOTIFFSOURCE_H

#include <atomic>
#include <string>

#include "gridio/TGeoTIFFTags.h"
#include "pipeline/TGridSource.h"
#include "pipeline/TPipelineKnobs.h"

class TGeoTIFFSource : public TGridSource {
public:
  // The knobs must outlive the source.
  TGeoTIFFSource(std::string fileName, long band, const TPipelineKnobs& knobs);

  void Open() override;
  void Check(unsigned workers, const std::function<void()>& meanwhile) override;
  bool ReadsOnce() const override { return true; }
  bool CheckAndUse(unsigned workers, const TRowUse& use) override;
  const TGridGeometry& Geometry() const override { return MbrGeometry; }
  std::unique_ptr<TSourceRows> Rows(long firstRow, long firstColumn, long endColumn) const override;

  // What the file says beside the grid (its GeoKeys), once Open has
  // returned.
  const TGeoTIFFTags& Tags() const { return MbrTags; }

  static constexpr std::size_t kMostHandedRuns = 16;

private:
  class TRunReader;

  // Runs of runRows rows checked on the workers, `meanwhile` taken first;
  // each run's rows handed to `use` when there is one.
  void CheckRuns(unsigned workers, long runRows, const std::function<void()>& meanwhile,
                 const TRowUse* use, std::atomic<bool>& handedAll);
  // Runs of at least `rows` rows, whole strips or rows of tiles.
  long RunRows(long rows) const;

  std::string MbrStrFile;
  long MbrLngBand;
  const TPipelineKnobs& MbrRefKnobs;
  TGridGeometry MbrGeometry;
  TGeoTIFFTags MbrTags;
  // Rows decoded together: a strip's or a row of tiles'.
  long MbrLngRowsPerBlock = 1;
};

#endif
