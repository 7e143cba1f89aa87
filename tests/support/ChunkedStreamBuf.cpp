#include "support/ChunkedStreamBuf.h"

#include <algorithm>

ChunkedStreamBuf::ChunkedStreamBuf(std::string text, std::size_t chunk)
    : MbrStrText(std::move(text)), MbrLngChunk(chunk), MbrLngNext(0), MbrVecWindow(chunk + 1) {}

ChunkedStreamBuf::int_type ChunkedStreamBuf::underflow() {
  if (gptr() < egptr())
    return traits_type::to_int_type(*gptr());
  if (MbrLngNext >= MbrStrText.size())
    return traits_type::eof();
  if (MbrLngChunk == 0)
    return traits_type::to_int_type(MbrStrText[MbrLngNext]);
  const std::size_t count = std::min(MbrLngChunk, MbrStrText.size() - MbrLngNext);
  std::copy_n(MbrStrText.data() + MbrLngNext, count, MbrVecWindow.data());
  MbrLngNext += count;
  setg(MbrVecWindow.data(), MbrVecWindow.data(), MbrVecWindow.data() + count);
  return traits_type::to_int_type(*gptr());
}

ChunkedStreamBuf::int_type ChunkedStreamBuf::uflow() {
  if (MbrLngChunk != 0)
    return std::streambuf::uflow();
  if (MbrLngNext >= MbrStrText.size())
    return traits_type::eof();
  return traits_type::to_int_type(MbrStrText[MbrLngNext++]);
}
