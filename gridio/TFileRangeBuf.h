// TFileRangeBuf: an input stream buffer over part of an open file, read with
// positioned reads (TFileDescriptor::ReadAt) so that several buffers may read one descriptor
// at once. Internal to the file-to-file resampling.
//
// The range begins at `begin`, or, when asked, at the first white-space
// character at or after `begin` (the bytes before it are never delivered).
// It ends after the first white-space character at or after `limit`, or at
// the end of the file: a range cut at white space never splits a token, and
// a number at its end is followed by white space, as inside the file. Two
// ranges cut at the same limit meet on that one white-space character.
// A read error ends the range as the end of the file does.
//
// Invariants: the window holds at most `bufferBytes` characters; Position()
// is the file offset of the next character to be delivered.
// Ownership: the file stays the caller's and must outlive the buffer.
// Nothing here throws.
#ifndef QUILLMAP_GRIDIO_TFILERANGEBUF_H
#define QUILLMAP_GRIDIO_TFILERANGEBUF_H

#include <cstdint>
#include <memory>
#include <streambuf>

#include "platform/TFileDescriptor.h"

class TFileRangeBuf : public std::streambuf {
public:
  static constexpr std::uint64_t kNoLimit = UINT64_MAX;

  TFileRangeBuf(const TFileDescriptor& file, std::uint64_t begin, std::uint64_t limit,
                bool startAtSpace, std::size_t bufferBytes);

  // The same buffer over another range, as if made afresh with these
  // arguments (the window is kept, so that a reader of range after range
  // allocates it once). The range just read to its end, when it came in
  // one window read, is delivered again from the window, not read again.
  void Reset(std::uint64_t begin, std::uint64_t limit, bool startAtSpace);
  // The range from `begin` to the end of the file, without seeking white
  // space.
  void Restart(std::uint64_t begin) { Reset(begin, kNoLimit, false); }

  std::uint64_t Position() const {
    return MbrLngWindowOffset + static_cast<std::uint64_t>(gptr() - eback());
  }
  // Hands over the characters not delivered yet, reading the next window
  // when none is left: their count, 0 at the end of the range; `data`
  // points to them until the next call. They count as delivered.
  std::size_t TakeWindow(const char*& data);
  // Where the range began: `begin`, or the white space found after it (the
  // end of the file when there is none); known once the first character has
  // been asked for.
  std::uint64_t Start() const { return MbrLngStart; }

protected:
  int_type underflow() override;

private:
  // Reads the next window at MbrLngNext; the number of bytes, 0 at the end.
  std::size_t Fill();

  // Whether Reset asks for the range just read, and it is all in the window.
  bool HoldsWhole(std::uint64_t begin, std::uint64_t limit, bool startAtSpace) const;

  const TFileDescriptor& MbrRefFile;
  std::uint64_t MbrLngBegin = 0;
  bool MbrBlnStartAtSpace = false;
  // The window reads of the range that returned bytes, and where the last
  // delivered window lay: its file offset, and its characters' bounds.
  int MbrIntReads = 0;
  std::uint64_t MbrLngDeliveredOffset = 0;
  std::size_t MbrLngDeliveredFirst = 0;
  std::size_t MbrLngDeliveredEnd = 0;
  std::uint64_t MbrLngNext = 0;
  std::uint64_t MbrLngLimit = kNoLimit;
  std::uint64_t MbrLngStart = 0;
  std::uint64_t MbrLngWindowOffset = 0;
  bool MbrBlnSeekingSpace = false;
  bool MbrBlnEnded = false;
  std::unique_ptr<char[]> MbrPtrWindow;
  std::size_t MbrLngWindowBytes;
};

#endif
