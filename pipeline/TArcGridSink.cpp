#include "pipeline/TArcGridSink.h"

#include <algorithm>
#include <sstream>
#include <utility>

#include "gridio/GridFileMessages.h"
#include "gridio/TGridHeader.h"
#include "pipeline/TTextBuffer.h"
#include "platform/TDiskSpace.h"
#include "text/TRowText.h"

namespace {
// The text of a block: its rows by the body text rule.
class TArcBandEncoder : public TBandEncoder {
public:
  explicit TArcBandEncoder(TDigits digits) : MbrRowText(digits, ' ') {}

  void Begin(const TBlock& block) override {
    MbrBlock = block;
    MbrText.Clear();
  }
  void Row(const double* values) override {
    const long count = MbrBlock.Width();
    char* end = MbrRowText.Values(MbrText.Reserve(TRowText::Room(count)), values, count);
    MbrText.SetEnd(MbrBlock.EndsRows ? TRowText::EndLine(end) : end);
  }
  void End() override {}

  const TTextBuffer& Text() const { return MbrText; }

private:
  TRowText MbrRowText;
  TBlock MbrBlock;
  TTextBuffer MbrText;
};
} // namespace

TArcGridSink::TArcGridSink(std::string destFile, TDigits digits, bool atomic)
    : MbrStrDest(std::move(destFile)), MbrDigits(digits), MbrBlnAtomic(atomic) {}

TBandLayout TArcGridSink::Layout(const TGridGeometry& result, std::size_t bandBytes,
                                 long mostColumns) const {
  const std::size_t rowBytes = TRowText::Room(result.Columns);
  if (result.Columns <= mostColumns && rowBytes <= bandBytes)
    return TBandLayout::WholeRows(result.Columns, result.Rows,
                                  static_cast<long>(bandBytes / rowBytes));
  const long fitting = static_cast<long>(bandBytes / TRowText::kValueRoom);
  return TBandLayout::ColumnRuns(result.Columns, result.Rows, std::min(fitting, mostColumns));
}

bool TArcGridSink::Fits(double cells) const {
  // Each cell takes two characters at least: a digit and a blank.
  return cells * 2.0 <= TDiskSpace::RoomFor(MbrStrDest, !MbrBlnAtomic);
}

void TArcGridSink::Open(const TGridGeometry& result) {
  if (!MbrFile.Open(MbrStrDest,
                    MbrBlnAtomic ? TOutputFile::TMode::Replace : TOutputFile::TMode::InPlace))
    throw std::string(kOpenFailurePrefix) + MbrStrDest;
  std::ostringstream header;
  TGridHeader::Write(result, header, MbrDigits.Setting());
  const std::string text = header.str();
  WriteText(text.data(), text.size());
}

std::unique_ptr<TBandEncoder> TArcGridSink::NewEncoder() const {
  return std::make_unique<TArcBandEncoder>(MbrDigits);
}

void TArcGridSink::Write(TBandEncoder& band) {
  const TTextBuffer& text = static_cast<TArcBandEncoder&>(band).Text();
  WriteText(text.Data(), text.Size());
}

void TArcGridSink::Close() {
  if (!MbrFile.Commit())
    throw std::string(kWriteFailurePrefix) + MbrStrDest;
}

void TArcGridSink::WriteText(const char* text, std::size_t size) {
  if (!MbrFile.Write(text, size))
    throw std::string(kWriteFailurePrefix) + MbrStrDest;
}
