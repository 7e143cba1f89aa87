#include "gridio/TLenientHeader.h"

#include <string>

#include "grid/TMap.h"
#include "gridio/GridFileMessages.h"

namespace {
// The entries in their canonical order; a centre stands in for its corner.
enum TEntry { kColumns, kRows, kXCorner, kYCorner, kCellSize, kNoData, kXCentre, kYCentre };
const int kEntries = 8;
const int kRequired = 5;

struct TKeyword {
  const char* Word;
  const char* Twice;
};
const TKeyword kKeywords[kEntries] = {
    {"ncols", "File format error: ncols tag appears twice"},
    {"nrows", "File format error: nrows tag appears twice"},
    {"xllcorner", "File format error: xllcorner tag appears twice"},
    {"yllcorner", "File format error: yllcorner tag appears twice"},
    {"cellsize", "File format error: cellsize tag appears twice"},
    {"nodata_value", "File format error: nodata_value tag appears twice"},
    {"xllcenter", "File format error: xllcenter tag appears twice"},
    {"yllcenter", "File format error: yllcenter tag appears twice"},
};
const char* const kMissing[kEntries - 2] = {kNoColumnsTag, kNoRowsTag,     kNoXCornerTag,
                                            kNoYCornerTag, kNoCellSizeTag, kNoNoDataTag};
const char* const kByteOrderMark = "\xEF\xBB\xBF";

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsLetter(int c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The entry a word names, in any case; -1 for none.
int EntryOf(const std::string& word) {
  for (int entry = 0; entry < kEntries; ++entry) {
    const char* keyword = kKeywords[entry].Word;
    std::size_t i = 0;
    while (i < word.size() && keyword[i] != '\0' && Lower(word[i]) == keyword[i])
      ++i;
    if (i == word.size() && keyword[i] == '\0')
      return entry;
  }
  return -1;
}

// The entry a centre stands in for.
int Slot(int entry) {
  return entry == kXCentre ? kXCorner : entry == kYCentre ? kYCorner : entry;
}

class TReading {
public:
  explicit TReading(TGridTokenizer& in) : MbrRefIn(in), MbrBlnFirstWord(true), MbrBlnSeen() {}

  TGridGeometry Read() {
    while (!Complete())
      ReadEntry();
    if (!MbrBlnSeen[kNoData])
      MbrHeader.NoData = TMap::kDefaultNoDataValue;
    if (MbrBlnSeen[kXCentre])
      MbrHeader.XLowerLeft = MbrHeader.XLowerLeft - MbrHeader.CellSize / 2.0;
    if (MbrBlnSeen[kYCentre])
      MbrHeader.YLowerLeft = MbrHeader.YLowerLeft - MbrHeader.CellSize / 2.0;
    return MbrHeader;
  }

private:
  bool Filled(int slot) const {
    return MbrBlnSeen[slot] || (slot == kXCorner && MbrBlnSeen[kXCentre]) ||
           (slot == kYCorner && MbrBlnSeen[kYCentre]);
  }

  const char* FirstMissing() const {
    int slot = 0;
    while (slot < kNoData && Filled(slot))
      ++slot;
    return kMissing[slot];
  }

  bool Complete() {
    for (int slot = 0; slot < kRequired; ++slot)
      if (!Filled(slot))
        return false;
    return MbrBlnSeen[kNoData] || !IsLetter(MbrRefIn.PeekTokenStart());
  }

  std::string NextWord() {
    std::string word;
    MbrRefIn.ReadWord(word, kLongestHeaderWord);
    if (MbrBlnFirstWord && word.compare(0, 3, kByteOrderMark) == 0) {
      word.erase(0, 3);
      if (word.empty())
        MbrRefIn.ReadWord(word, kLongestHeaderWord);
    }
    MbrBlnFirstWord = false;
    return word;
  }

  void ReadEntry() {
    const bool headerComplete = !MbrBlnSeen[kNoData] && FirstMissing() == kNoNoDataTag;
    const std::string word = NextWord();
    if (MbrRefIn.Failed())
      throw FirstMissing();
    const int entry = EntryOf(word);
    if (entry < 0)
      throw headerComplete ? kCellNotANumber : FirstMissing();
    if (MbrBlnSeen[entry])
      throw kKeywords[entry].Twice;
    if (Filled(Slot(entry)))
      throw entry == kXCorner || entry == kXCentre
          ? "File format error: both xllcorner and xllcenter given"
          : "File format error: both yllcorner and yllcenter given";
    MbrBlnSeen[entry] = true;
    ReadValue(entry);
  }

  void ReadValue(int entry) {
    switch (Slot(entry)) {
    case kColumns:
      MbrRefIn.ReadLong(MbrHeader.Columns);
      break;
    case kRows:
      MbrRefIn.ReadLong(MbrHeader.Rows);
      break;
    case kXCorner:
      MbrRefIn.ReadDouble(MbrHeader.XLowerLeft);
      break;
    case kYCorner:
      MbrRefIn.ReadDouble(MbrHeader.YLowerLeft);
      break;
    case kCellSize:
      MbrRefIn.ReadDouble(MbrHeader.CellSize);
      break;
    default:
      MbrRefIn.ReadDouble(MbrHeader.NoData);
      break;
    }
    // As in the strict reader, a no-data value cut by the end of the input
    // leaves the end to be reported by what reads on.
    if (MbrRefIn.Failed() && !(entry == kNoData && MbrRefIn.AtEnd()))
      throw entry == kNoData ? kNoDataNotANumber : FirstMissing();
  }

  TGridTokenizer& MbrRefIn;
  TGridGeometry MbrHeader;
  bool MbrBlnFirstWord;
  bool MbrBlnSeen[kEntries];
};
} // namespace

TGridGeometry TLenientHeader::Read(TGridTokenizer& in) {
  return TReading(in).Read();
}
