#include "gridio/TFileRangeBuf.h"

#include <algorithm>

#include "text/TDecimalGrammar.h"

namespace {
// White space as the grid tokenizer skips it.
const auto IsSpace = TDecimalGrammar::IsSpace;
// What a read takes past the limit, where the white space that ends the
// range usually lies within a token's length.
const std::uint64_t kPastLimit = 64;
} // namespace

TFileRangeBuf::TFileRangeBuf(const TFileDescriptor& file, std::uint64_t begin, std::uint64_t limit,
                             bool startAtSpace, std::size_t bufferBytes)
    : MbrRefFile(file), MbrPtrWindow(new char[std::max<std::size_t>(bufferBytes, 1)]),
      MbrLngWindowBytes(std::max<std::size_t>(bufferBytes, 1)) {
  Reset(begin, limit, startAtSpace);
}

bool TFileRangeBuf::HoldsWhole(std::uint64_t begin, std::uint64_t limit, bool startAtSpace) const {
  return MbrBlnEnded && MbrIntReads <= 1 && begin == MbrLngBegin && limit == MbrLngLimit &&
         startAtSpace == MbrBlnStartAtSpace;
}

void TFileRangeBuf::Reset(std::uint64_t begin, std::uint64_t limit, bool startAtSpace) {
  char* window = MbrPtrWindow.get();
  if (HoldsWhole(begin, limit, startAtSpace)) {
    MbrLngWindowOffset = MbrLngDeliveredOffset;
    setg(window, window + MbrLngDeliveredFirst, window + MbrLngDeliveredEnd);
    return;
  }
  MbrLngBegin = begin;
  MbrBlnStartAtSpace = startAtSpace;
  MbrIntReads = 0;
  MbrLngDeliveredOffset = begin;
  MbrLngDeliveredFirst = MbrLngDeliveredEnd = 0;
  MbrLngNext = MbrLngStart = MbrLngWindowOffset = begin;
  MbrLngLimit = limit;
  MbrBlnSeekingSpace = startAtSpace;
  MbrBlnEnded = false;
  setg(window, window, window);
}

std::size_t TFileRangeBuf::TakeWindow(const char*& data) {
  if (gptr() == egptr() && traits_type::eq_int_type(underflow(), traits_type::eof()))
    return 0;
  data = gptr();
  const std::size_t count = static_cast<std::size_t>(egptr() - gptr());
  setg(eback(), egptr(), egptr());
  return count;
}

std::size_t TFileRangeBuf::Fill() {
  // Near the limit, only what the white space after it needs: a window that
  // ran on past the limit would read bytes that the next range reads.
  std::uint64_t bytes = MbrLngWindowBytes;
  if (MbrLngLimit != kNoLimit)
    bytes = std::min(bytes, (MbrLngNext < MbrLngLimit ? MbrLngLimit - MbrLngNext : 0) + kPastLimit);
  return MbrRefFile.ReadAt(MbrLngNext, MbrPtrWindow.get(), static_cast<std::size_t>(bytes));
}

TFileRangeBuf::int_type TFileRangeBuf::underflow() {
  if (gptr() < egptr())
    return traits_type::to_int_type(*gptr());
  char* window = MbrPtrWindow.get();
  while (!MbrBlnEnded) {
    const std::size_t got = Fill();
    const std::uint64_t offset = MbrLngNext;
    MbrLngNext += got;
    if (got == 0) {
      MbrBlnEnded = true;
      if (MbrBlnSeekingSpace)
        MbrLngStart = offset;
      break;
    }
    ++MbrIntReads;
    std::size_t first = 0;
    if (MbrBlnSeekingSpace) {
      first = static_cast<std::size_t>(std::find_if(window, window + got, IsSpace) - window);
      if (first == got)
        continue;
      MbrBlnSeekingSpace = false;
      MbrLngStart = offset + first;
    }
    std::size_t end = got;
    if (MbrLngLimit != kNoLimit && offset + got > MbrLngLimit) {
      const std::size_t from =
          static_cast<std::size_t>(std::max<std::uint64_t>(MbrLngLimit, offset + first) - offset);
      const std::size_t space =
          static_cast<std::size_t>(std::find_if(window + from, window + got, IsSpace) - window);
      if (space < got) {
        end = space + 1;
        MbrBlnEnded = true;
        // The bytes read past the range are not delivered: at the end,
        // the position is the range's end.
        MbrLngNext = offset + end;
      }
    }
    MbrLngWindowOffset = MbrLngDeliveredOffset = offset;
    MbrLngDeliveredFirst = first;
    MbrLngDeliveredEnd = end;
    setg(window, window + first, window + end);
    return traits_type::to_int_type(window[first]);
  }
  MbrLngWindowOffset = MbrLngNext;
  setg(window, window, window);
  return traits_type::eof();
}
