// TWordCount: the words of a text handed over in consecutive parts, a word
// being a run of characters above the blank. Every character up to the
// blank counts as white space here: the classic locale's white space and
// the other control characters alike, so that the count runs at memory
// speed; on a text of numbers and white space it is the number of tokens
// that the grid tokenizer reads. A caller that needs the tokenizer's count
// exactly checks it against what the tokenizer then reads.
//
// Invariants: the first part starts after white space (a word at its very
// start counts); a word cut between two parts counts once. Nothing here
// throws or allocates.
#ifndef QUILLMAP_TEXT_TWORDCOUNT_H
#define QUILLMAP_TEXT_TWORDCOUNT_H

#include <cstddef>

class TWordCount {
public:
  void Add(const char* text, std::size_t size);
  long long Words() const { return MbrLngWords; }

private:
  bool MbrBlnAfterSpace = true;
  long long MbrLngWords = 0;
};

#endif
