// TGeoTIFFSink: a GeoTIFF file as a sink (TGridSink): a one-band float64 or
// float32 image in strips, uncompressed or with deflate, lzw or zstd and the
// floating-point predictor, with the georeferencing tags, GDAL_NODATA and
// the GeoKeys given, as TGeoTIFFFileTools::WriteGeoTIFFFile writes the map
// that holds the result (the same tags and the same strips, so the same
// samples and georeferencing read back).
//
// Bands are whole strips (TTiffStripWriter's rows per strip, several strips
// a band): each worker's encoder turns its band's rows into samples, applies
// the predictor (TTiffFloatPredictor) and compresses its strips itself, and the sink writes the
// strips as they come, in file order, so compression runs on every worker and the bytes are the
// same for any number. A result too wide for the walk's whole rows is
// written a strip per row, each row's runs of columns gathered and
// compressed by the sink (memory: one row of samples).
//
// The destination is created or truncated at Open, after the checks (a size
// beyond 2^32 - 1 columns or rows, a malformed GeoKey directory), or, atomic,
// written as a replacement that Close renames over it once complete and on
// disk (TOutputFile). Uncompressed results are refused (Fits) when their
// samples exceed the room of the destination's file system.
//
// Throws (as const char*) "Map is too large for a GeoTIFF file in
// TGeoTIFFFileTools::WriteGeoTIFFFile" and "GeoKey directory is malformed in
// TGeoTIFFFileTools::WriteGeoTIFFFile"; (as std::string) "Unable to open
// file " or "Unable to write file " followed by the name.
#ifndef QUILLMAP_PIPELINE_TGEOTIFFSINK_H
#define QUILLMAP_PIPELINE_TGEOTIFFSINK_H

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "gridio/TGeoTIFFTags.h"
#include "gridio/TGeoTIFFWriteOptions.h"
#include "gridio/TTiffHandle.h"
#include "pipeline/TGridSink.h"
#include "platform/TOutputFile.h"

class TGeoTIFFSink : public TGridSink {
public:
  // tags may be null; they are read at Open (a source's tags, filled once
  // the source is open).
  TGeoTIFFSink(std::string destFile, TGeoTIFFWriteOptions options, const TGeoTIFFTags* tags,
               bool atomic);

  TBandLayout Layout(const TGridGeometry& result, std::size_t bandBytes,
                     long mostColumns) const override;
  bool Fits(double cells) const override;
  void Open(const TGridGeometry& result) override;
  std::unique_ptr<TBandEncoder> NewEncoder() const override;
  void Write(TBandEncoder& band) override;
  void Close() override;

  // What an encoder needs to know of the image.
  struct TImage {
    std::uint32_t Columns = 0;
    std::uint32_t RowsPerStrip = 1;
    // Strips are one row, made of runs of columns.
    bool Runs = false;
    TGeoTIFFWriteOptions Options;
  };

private:
  void WriteFailed() const;

  std::string MbrStrDest;
  bool MbrBlnAtomic;
  const TGeoTIFFTags* MbrPtrTags;
  mutable TImage MbrImage;
  TOutputFile MbrFile;
  std::filebuf MbrBuffer;
  std::unique_ptr<TTiffHandle> MbrTiff;
  // A row of samples gathered from its runs.
  std::vector<unsigned char> MbrRow;
};

#endif
