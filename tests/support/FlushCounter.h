// FlushCounter: a string buffer that keeps what reaches it and counts the
// flushes it receives, for tests of writers that flush at every line end.
#ifndef QUILLMAP_TESTS_SUPPORT_FLUSHCOUNTER_H
#define QUILLMAP_TESTS_SUPPORT_FLUSHCOUNTER_H

#include <sstream>

class FlushCounter : public std::stringbuf {
public:
  int Flushes = 0;

protected:
  int sync() override;
};

#endif
