#include "pipeline/TGeoTIFFSink.h"

#include <algorithm>
#include <cstring>
#include <sstream>
#include <utility>

#include "gridio/GeoTIFFMessages.h"
#include "gridio/GridFileMessages.h"
#include "gridio/TGeoTIFFGeoreference.h"
#include "gridio/TTiffFloatPredictor.h"
#include "gridio/TTiffStripWriter.h"
#include "platform/TDiskSpace.h"

namespace {
const std::uint64_t kLargestCount = 0xFFFFFFFFu;
using TCompression = TGeoTIFFWriteOptions::TCompression;

std::size_t SampleBytes(const TGeoTIFFSink::TImage& image) {
  return static_cast<std::size_t>(TTiffStripWriter::SampleBytes(image.Options.SampleType));
}

// One strip of samples as the image stores it: the floating-point
// predictor applied here, into `predicted`, then compressed by libtiff in
// an image of that strip alone, the same codec and rows and no predictor,
// whose one strip is then taken as it lies in that file.
void Compress(const TGeoTIFFSink::TImage& image, const unsigned char* samples, std::uint32_t rows,
              std::vector<unsigned char>& predicted, std::vector<unsigned char>& out) {
  const std::size_t bytes = std::size_t(rows) * image.Columns * SampleBytes(image);
  predicted.resize(bytes);
  TTiffFloatPredictor::Difference(samples, image.Columns, rows, SampleBytes(image),
                                  predicted.data());
  std::stringbuf file(std::ios_base::in | std::ios_base::out | std::ios_base::binary);
  TTiffHandle tiff(&file, TTiffHandle::TMode::Write);
  if (tiff.Get() == nullptr)
    throw kStripNotCompressed;
  TTiffStripWriter::SetImageTags(tiff, image.Columns, rows, image.Options.SampleType,
                                 image.Options.Compression, rows);
  TIFFSetField(tiff.Get(), TIFFTAG_PREDICTOR, PREDICTOR_NONE);
  if (TIFFWriteEncodedStrip(tiff.Get(), 0, predicted.data(), static_cast<tmsize_t>(bytes)) < 0 ||
      tiff.Failed())
    throw kStripNotCompressed;
  const std::uint64_t offset = TIFFGetStrileOffset(tiff.Get(), 0);
  const std::uint64_t stored = TIFFGetStrileByteCount(tiff.Get(), 0);
  const std::string& written = file.str();
  if (offset + stored > written.size())
    throw kStripNotCompressed;
  out.insert(out.end(), written.begin() + static_cast<std::ptrdiff_t>(offset),
             written.begin() + static_cast<std::ptrdiff_t>(offset + stored));
}

// A block's rows as samples and, for whole strips, the strips as the file
// stores them.
class TGeoTIFFBandEncoder : public TBandEncoder {
public:
  explicit TGeoTIFFBandEncoder(const TGeoTIFFSink::TImage& image) : MbrImage(image) {}

  void Begin(const TBlock& block) override {
    MbrBlock = block;
    MbrLngRowBytes = static_cast<std::size_t>(block.Width()) * SampleBytes(MbrImage);
    MbrSamples.resize(MbrLngRowBytes * static_cast<std::size_t>(block.EndRow - block.FirstRow));
    MbrLngRows = 0;
    MbrEncoded.clear();
    MbrStripBytes.clear();
  }
  void Row(const double* values) override {
    TTiffStripWriter::ToSamples(MbrImage.Options.SampleType, values,
                                static_cast<std::uint32_t>(MbrBlock.Width()),
                                MbrSamples.data() + MbrLngRows * MbrLngRowBytes);
    ++MbrLngRows;
  }
  void End() override {
    if (MbrImage.Runs || MbrImage.Options.Compression == TCompression::None)
      return;
    for (std::size_t row = 0; row < MbrLngRows; row += MbrImage.RowsPerStrip) {
      const auto rows = static_cast<std::uint32_t>(
          std::min<std::size_t>(MbrImage.RowsPerStrip, MbrLngRows - row));
      const std::size_t before = MbrEncoded.size();
      Compress(MbrImage, MbrSamples.data() + row * MbrLngRowBytes, rows, MbrPredicted, MbrEncoded);
      MbrStripBytes.push_back(MbrEncoded.size() - before);
    }
  }

  const TBlock& Block() const { return MbrBlock; }
  const std::vector<unsigned char>& Samples() const { return MbrSamples; }
  // The block's strips in order: their bytes, one after another, and the
  // length of each; the samples themselves when uncompressed.
  const std::vector<unsigned char>& Encoded() const {
    return MbrStripBytes.empty() ? MbrSamples : MbrEncoded;
  }
  std::size_t StripBytes(std::size_t strip) const {
    return MbrStripBytes.empty() ? MbrImage.RowsPerStrip * MbrLngRowBytes : MbrStripBytes[strip];
  }

private:
  const TGeoTIFFSink::TImage& MbrImage;
  TBlock MbrBlock;
  std::size_t MbrLngRowBytes = 0;
  std::size_t MbrLngRows = 0;
  std::vector<unsigned char> MbrSamples;
  std::vector<unsigned char> MbrPredicted;
  std::vector<unsigned char> MbrEncoded;
  std::vector<std::size_t> MbrStripBytes;
};
} // namespace

TGeoTIFFSink::TGeoTIFFSink(std::string destFile, TGeoTIFFWriteOptions options,
                           const TGeoTIFFTags* tags, bool atomic)
    : MbrStrDest(std::move(destFile)), MbrBlnAtomic(atomic), MbrPtrTags(tags) {
  MbrImage.Options = options;
}

TBandLayout TGeoTIFFSink::Layout(const TGridGeometry& result, std::size_t bandBytes,
                                 long mostColumns) const {
  MbrImage.Columns = static_cast<std::uint32_t>(std::min<std::uint64_t>(
      static_cast<std::uint64_t>(std::max(result.Columns, 0L)), kLargestCount));
  const std::size_t rowBytes = MbrImage.Columns * SampleBytes(MbrImage);
  MbrImage.Runs = result.Columns > mostColumns || rowBytes > bandBytes;
  if (MbrImage.Runs) {
    MbrImage.RowsPerStrip = 1;
    const long fitting = static_cast<long>(bandBytes / SampleBytes(MbrImage));
    return TBandLayout::ColumnRuns(result.Columns, result.Rows, std::min(fitting, mostColumns));
  }
  MbrImage.RowsPerStrip = TTiffStripWriter::RowsPerStrip(
      MbrImage.Columns, static_cast<std::uint32_t>(result.Rows), MbrImage.Options.SampleType);
  const std::size_t strips =
      std::max<std::size_t>(1, bandBytes / (std::size_t(MbrImage.RowsPerStrip) * rowBytes));
  return TBandLayout::WholeRows(result.Columns, result.Rows,
                                static_cast<long>(strips * MbrImage.RowsPerStrip));
}

bool TGeoTIFFSink::Fits(double cells) const {
  // Compressed samples may take any room; uncompressed ones take their size.
  if (MbrImage.Options.Compression != TCompression::None)
    return true;
  return cells * static_cast<double>(SampleBytes(MbrImage)) <=
         TDiskSpace::RoomFor(MbrStrDest, !MbrBlnAtomic);
}

void TGeoTIFFSink::Open(const TGridGeometry& result) {
  if (static_cast<std::uint64_t>(result.Columns) > kLargestCount ||
      static_cast<std::uint64_t>(result.Rows) > kLargestCount)
    throw kWriteTooLarge;
  const std::vector<std::uint16_t> keys = TGeoTIFFGeoreference::KeysToWrite(MbrPtrTags);
  const TGeoTIFFGeoreference georeference =
      TGeoTIFFGeoreference::ToWrite(result, MbrImage.Options.SampleType, MbrPtrTags);
  if (!MbrFile.Open(MbrStrDest,
                    MbrBlnAtomic ? TOutputFile::TMode::Replace : TOutputFile::TMode::InPlace))
    throw std::string(kOpenFailurePrefix) + MbrStrDest;
  // libtiff reads back what it wrote: the file is opened again, read and
  // write, beside the output file that created it.
  const std::string& path =
      MbrFile.ReplacementPath().empty() ? MbrStrDest : MbrFile.ReplacementPath();
  if (MbrBuffer.open(path, std::ios_base::in | std::ios_base::out | std::ios_base::binary) ==
      nullptr)
    throw std::string(kOpenFailurePrefix) + MbrStrDest;
  const auto rows = static_cast<std::uint32_t>(result.Rows);
  MbrTiff = std::make_unique<TTiffHandle>(
      &MbrBuffer,
      TTiffStripWriter::HandleMode(MbrImage.Columns, rows, MbrImage.Options.SampleType));
  if (MbrTiff->Get() == nullptr)
    WriteFailed();
  TTiffStripWriter::SetImageTags(*MbrTiff, MbrImage.Columns, rows, MbrImage.Options.SampleType,
                                 MbrImage.Options.Compression, MbrImage.RowsPerStrip);
  georeference.Write(MbrTiff->Get(), rows, keys);
  if (MbrImage.Runs)
    MbrRow.resize(MbrImage.Columns * SampleBytes(MbrImage));
}

std::unique_ptr<TBandEncoder> TGeoTIFFSink::NewEncoder() const {
  return std::make_unique<TGeoTIFFBandEncoder>(MbrImage);
}

void TGeoTIFFSink::Write(TBandEncoder& band) {
  const auto& encoder = static_cast<const TGeoTIFFBandEncoder&>(band);
  const TBlock& block = encoder.Block();
  TIFF* tiff = MbrTiff->Get();
  if (MbrImage.Runs) {
    const std::vector<unsigned char>& samples = encoder.Samples();
    std::memcpy(MbrRow.data() + static_cast<std::size_t>(block.FirstColumn) * SampleBytes(MbrImage),
                samples.data(), samples.size());
    if (block.EndsRows &&
        TIFFWriteEncodedStrip(tiff, static_cast<std::uint32_t>(block.FirstRow), MbrRow.data(),
                              static_cast<tmsize_t>(MbrRow.size())) < 0)
      WriteFailed();
    return;
  }
  const std::vector<unsigned char>& encoded = encoder.Encoded();
  const long strips = (block.EndRow - block.FirstRow + MbrImage.RowsPerStrip - 1) /
                      static_cast<long>(MbrImage.RowsPerStrip);
  std::size_t at = 0;
  for (long strip = 0; strip < strips; ++strip) {
    const auto index = static_cast<std::uint32_t>(block.FirstRow / MbrImage.RowsPerStrip + strip);
    // The last strip of the image holds the rows left.
    const std::size_t bytes =
        std::min(encoder.StripBytes(static_cast<std::size_t>(strip)), encoded.size() - at);
    if (TIFFWriteRawStrip(tiff, index, const_cast<unsigned char*>(encoded.data() + at),
                          static_cast<tmsize_t>(bytes)) < 0)
      WriteFailed();
    at += bytes;
  }
}

void TGeoTIFFSink::Close() {
  const bool flushed = MbrTiff->Flush();
  MbrTiff.reset();
  const bool closed = MbrBuffer.close() != nullptr;
  if (!flushed || !closed || !MbrFile.Commit())
    WriteFailed();
}

void TGeoTIFFSink::WriteFailed() const {
  throw std::string(kWriteFailurePrefix) + MbrStrDest;
}
