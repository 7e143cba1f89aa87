// ChunkedStreamBuf: an input stream buffer over a text that hands it out a
// few characters at a time (a get area of `chunk` characters), or, with
// chunk 0, one character per call without any get area, as unbuffered and
// synchronised buffers do. Exercises readers on every window boundary.
#ifndef QUILLMAP_TESTS_SUPPORT_CHUNKEDSTREAMBUF_H
#define QUILLMAP_TESTS_SUPPORT_CHUNKEDSTREAMBUF_H

#include <cstddef>
#include <streambuf>
#include <string>
#include <vector>

class ChunkedStreamBuf : public std::streambuf {
public:
  ChunkedStreamBuf(std::string text, std::size_t chunk);

protected:
  int_type underflow() override;
  int_type uflow() override;

private:
  std::string MbrStrText;
  std::size_t MbrLngChunk;
  std::size_t MbrLngNext;
  std::vector<char> MbrVecWindow;
};

#endif
