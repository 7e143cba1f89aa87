// TArcGridSink: the ESRI ASCII grid file as a sink: the header as
// TARCGISFileTools::WriteARCGISFile writes it (TGridHeader::Write, with the
// digits chosen), then each block's rows as the body text rule writes them
// (TRowText: every value and a blank, a line end after each row's last
// value), so that the file has exactly the bytes of the in-memory writer.
// Bands are whole rows while a row's text fits the band bytes at the room of
// the longest value; a row that does not is written in runs of columns, in
// order.
//
// The destination is created or truncated at Open (not before), written in
// large writes, and closed at Close; or, atomic, written as a replacement
// that Close renames over it once complete and on disk (TOutputFile), so
// that any failure leaves an existing destination as it was. A result is
// refused (Fits) when its cells at two bytes each (a digit and a blank)
// exceed the room of the destination's file system (beside the old file,
// for a replacement).
//
// Throws (as std::string) "Unable to open file " followed by the name when
// the destination cannot be created, and "Unable to write file " followed by
// the name when writing or closing it fails.
#ifndef QUILLMAP_PIPELINE_TARCGRIDSINK_H
#define QUILLMAP_PIPELINE_TARCGRIDSINK_H

#include <string>

#include "pipeline/TGridSink.h"
#include "platform/TOutputFile.h"
#include "text/TDigits.h"

class TArcGridSink : public TGridSink {
public:
  TArcGridSink(std::string destFile, TDigits digits, bool atomic);

  TBandLayout Layout(const TGridGeometry& result, std::size_t bandBytes,
                     long mostColumns) const override;
  bool Fits(double cells) const override;
  void Open(const TGridGeometry& result) override;
  std::unique_ptr<TBandEncoder> NewEncoder() const override;
  void Write(TBandEncoder& band) override;
  void Close() override;

private:
  void WriteText(const char* text, std::size_t size);

  std::string MbrStrDest;
  TDigits MbrDigits;
  bool MbrBlnAtomic;
  TOutputFile MbrFile;
};

#endif
