// TTextBuffer: the text of a block as it is written: it grows without
// clearing the room it adds (a formatter writes up to a row's worst case of
// characters ahead of the text's end, TRowText::Room) and keeps its room
// from block to block, so that a worker allocates only while its blocks
// grow. Nothing here throws but allocation failures.
#ifndef QUILLMAP_PIPELINE_TTEXTBUFFER_H
#define QUILLMAP_PIPELINE_TTEXTBUFFER_H

#include <cstddef>
#include <memory>

class TTextBuffer {
public:
  void Clear() { MbrLngUsed = 0; }
  // Room for `length` more characters at End().
  char* Reserve(std::size_t length);
  char* End() { return MbrPtrData.get() + MbrLngUsed; }
  // The text now ends at `end`, within the room reserved.
  void SetEnd(const char* end) { MbrLngUsed = static_cast<std::size_t>(end - MbrPtrData.get()); }
  const char* Data() const { return MbrPtrData.get(); }
  std::size_t Size() const { return MbrLngUsed; }

private:
  std::unique_ptr<char[]> MbrPtrData;
  std::size_t MbrLngCapacity = 0;
  std::size_t MbrLngUsed = 0;
};

#endif
