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
// Memory: per reader one image row of doubles and one row of strips or
// tiles as libtiff decodes it; nothing per row of the image. The file must
// not change while the source lives. Throws what
// TGeoTIFFFileTools::LoadGeoTIFFFile throws, in its order.
#ifndef QUILLMAP_PIPELINE_TGEOTIFFSOURCE_H
#define QUILLMAP_PIPELINE_TGEOTIFFSOURCE_H

#include <string>

#include "gridio/TGeoTIFFTags.h"
#include "pipeline/TGridSource.h"

class TGeoTIFFSource : public TGridSource {
public:
  TGeoTIFFSource(std::string fileName, long band);

  void Open() override;
  void Check(unsigned workers, const std::function<void()>& meanwhile) override;
  const TGridGeometry& Geometry() const override { return MbrGeometry; }
  std::unique_ptr<TSourceRows> Rows(long firstRow, long firstColumn, long endColumn) const override;

  // What the file says beside the grid (its GeoKeys), once Open has
  // returned.
  const TGeoTIFFTags& Tags() const { return MbrTags; }

private:
  void CheckRows(long firstRow, long endRow) const;

  std::string MbrStrFile;
  long MbrLngBand;
  TGridGeometry MbrGeometry;
  TGeoTIFFTags MbrTags;
  // Rows decoded together: a strip's or a row of tiles'.
  long MbrLngRowsPerBlock = 1;
};

#endif
