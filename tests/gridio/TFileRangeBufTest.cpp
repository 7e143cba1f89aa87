// TFileRangeBuf against a model of its contract: for every begin, limit,
// start rule and window size over a text with every kind of white space,
// the characters delivered, where the range starts and the position of each
// character. Two ranges cut at one limit must meet on one white-space
// character, which is what lets pieces of a body be checked apart.
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "gridio/TFileRangeBuf.h"
#include "platform/TFileDescriptor.h"
#include "support/Sandbox.h"

namespace {
// Tokens of one to six characters between runs of every white space of the
// classic locale; it starts with a token and ends with one.
const std::string kText = "ncols 12\t\t-9999\r\n1.5e+3  x\v\f7 abcdef\n\n 0 42";
const std::uint64_t kNoLimit = TFileRangeBuf::kNoLimit;

bool IsSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

// The first white space at or after `from`; the length of the text if none.
std::uint64_t SpaceFrom(std::uint64_t from) {
  while (from < kText.size() && !IsSpace(kText[from]))
    ++from;
  return from;
}

struct Range {
  std::uint64_t Start;
  std::string Text;
};

// What the contract says the range holds.
Range Model(std::uint64_t begin, std::uint64_t limit, bool startAtSpace) {
  const std::uint64_t start = startAtSpace ? SpaceFrom(begin) : begin;
  std::uint64_t end = kText.size();
  if (limit != kNoLimit)
    end = std::min<std::uint64_t>(SpaceFrom(std::max(limit, start)) + 1, kText.size());
  return {start, start < end ? kText.substr(start, end - start) : ""};
}

class TFileRangeBufTest : public testing::Test {
protected:
  void SetUp() override {
    MbrSandbox.Write("range.txt", kText);
    MbrFile = TFileDescriptor::OpenForReading(MbrSandbox.Path("range.txt"));
    ASSERT_TRUE(MbrFile.IsOpen());
  }

  // Reads the whole range, checking Position() before each character.
  Range Read(std::uint64_t begin, std::uint64_t limit, bool startAtSpace, std::size_t window,
             bool& positionsRight) const {
    TFileRangeBuf buffer(MbrFile, begin, limit, startAtSpace, window);
    return ReadAll(buffer, positionsRight);
  }
  static Range ReadAll(TFileRangeBuf& buffer, bool& positionsRight) {
    Range range{0, ""};
    positionsRight = true;
    for (int c = buffer.sgetc(); c != std::char_traits<char>::eof(); c = buffer.snextc()) {
      if (range.Text.empty())
        range.Start = buffer.Start();
      positionsRight = positionsRight && buffer.Position() == range.Start + range.Text.size();
      range.Text.push_back(static_cast<char>(c));
    }
    if (range.Text.empty())
      range.Start = buffer.Start();
    // At the end, the position is where the range ends.
    positionsRight = positionsRight && buffer.Position() == range.Start + range.Text.size();
    return range;
  }

  const Sandbox MbrSandbox;
  TFileDescriptor MbrFile;
};

TEST_F(TFileRangeBufTest, DeliversWhatTheContractSaysForEveryCutAndWindow) {
  const std::uint64_t size = kText.size();
  for (std::size_t window : {1, 2, 3, 5, 64})
    for (bool startAtSpace : {false, true})
      for (std::uint64_t begin = 0; begin <= size; ++begin)
        for (std::uint64_t limit = 0; limit <= size + 1; ++limit)
          for (const std::uint64_t cut : {limit, kNoLimit}) {
            const Range expected = Model(begin, cut, startAtSpace);
            bool positionsRight = false;
            const Range actual = Read(begin, cut, startAtSpace, window, positionsRight);
            const std::string where = "begin " + std::to_string(begin) + " limit " +
                                      (cut == kNoLimit ? "none" : std::to_string(cut)) +
                                      " startAtSpace " + std::to_string(startAtSpace) + " window " +
                                      std::to_string(window);
            ASSERT_EQ(actual.Text, expected.Text) << where;
            ASSERT_EQ(actual.Start, expected.Start) << where;
            ASSERT_TRUE(positionsRight) << where;
          }
}

// One buffer reset from range to range, each read partly or wholly before
// the next, delivers what a fresh buffer for each would.
TEST_F(TFileRangeBufTest, AResetBufferDeliversWhatAFreshOneDoes) {
  const std::uint64_t size = kText.size();
  for (std::size_t window : {1, 3, 64}) {
    TFileRangeBuf buffer(MbrFile, 0, kNoLimit, false, window);
    for (bool startAtSpace : {true, false})
      for (std::uint64_t begin = 0; begin <= size; begin += 2)
        for (std::uint64_t limit = 0; limit <= size + 1; limit += 3)
          for (const std::uint64_t cut : {limit, kNoLimit}) {
            const std::string where = "begin " + std::to_string(begin) + " limit " +
                                      std::to_string(cut) + " window " + std::to_string(window);
            buffer.Reset(begin, cut, startAtSpace);
            if (limit % 2 == 0) {
              // A range left half read.
              buffer.sbumpc();
              buffer.Reset(begin, cut, startAtSpace);
            }
            const Range expected = Model(begin, cut, startAtSpace);
            // Read to its end, then again from a reset to the same range.
            for (int pass = 0; pass < 2; ++pass) {
              if (pass > 0)
                buffer.Reset(begin, cut, startAtSpace);
              bool positionsRight = false;
              const Range actual = ReadAll(buffer, positionsRight);
              ASSERT_EQ(actual.Text, expected.Text) << where << " pass " << pass;
              ASSERT_EQ(actual.Start, expected.Start) << where << " pass " << pass;
              ASSERT_TRUE(positionsRight) << where << " pass " << pass;
            }
          }
  }
}

// A range read to its end in one window read is delivered again from the
// window; one that took several reads is read again.
TEST_F(TFileRangeBufTest, ARangeHeldWholeIsNotReadAgain) {
  for (const std::size_t window : {1, 64}) {
    MbrSandbox.Write("range.txt", kText);
    TFileRangeBuf buffer(MbrFile, 6, 12, true, window);
    bool positionsRight = false;
    const std::string first = ReadAll(buffer, positionsRight).Text;
    MbrSandbox.Write("range.txt", std::string(kText.size(), 'z'));
    buffer.Reset(6, 12, true);
    const std::string again = ReadAll(buffer, positionsRight).Text;
    EXPECT_EQ(window == 64 ? first : "", again) << window;
  }
}

// The piece before a cut ends on the first white space at or after it; the
// piece after starts on that same character: together they are the text
// with that one character twice.
TEST_F(TFileRangeBufTest, PiecesCutAtOneLimitMeetOnOneWhiteSpace) {
  for (std::size_t window : {1, 4, 64})
    for (std::uint64_t cut = 0; cut <= kText.find_last_of(" \t\n\v\f\r"); ++cut) {
      bool ignored = false;
      const Range before = Read(0, cut, false, window, ignored);
      const Range after = Read(cut, kNoLimit, true, window, ignored);
      ASSERT_FALSE(after.Text.empty()) << cut;
      EXPECT_TRUE(IsSpace(after.Text[0])) << cut;
      EXPECT_EQ(before.Text.back(), after.Text[0]) << cut;
      EXPECT_EQ(before.Text + after.Text.substr(1), kText) << "cut at " << cut;
    }
}

// A start sought past the last white space finds the end of the file.
TEST_F(TFileRangeBufTest, AStartWithoutWhiteSpaceAfterItIsTheEndOfTheFile) {
  bool ignored = false;
  const Range range = Read(kText.size() - 1, kNoLimit, true, 2, ignored);
  EXPECT_EQ(range.Text, "");
  EXPECT_EQ(range.Start, kText.size());
}

TEST_F(TFileRangeBufTest, AReadErrorEndsTheRangeAsTheEndOfTheFileDoes) {
  const TFileDescriptor unopened;
  TFileRangeBuf buffer(unopened, 3, kNoLimit, true, 8);
  EXPECT_EQ(buffer.sgetc(), std::char_traits<char>::eof());
  EXPECT_EQ(buffer.Start(), 3u);
}

// Once the end is reached, further reads keep answering it.
TEST_F(TFileRangeBufTest, TheEndStays) {
  TFileRangeBuf buffer(MbrFile, 0, 3, false, 2);
  std::string text;
  for (int c = buffer.sbumpc(); c != std::char_traits<char>::eof(); c = buffer.sbumpc())
    text.push_back(static_cast<char>(c));
  EXPECT_EQ(text, "ncols ");
  EXPECT_EQ(buffer.sgetc(), std::char_traits<char>::eof());
  EXPECT_EQ(buffer.sbumpc(), std::char_traits<char>::eof());
}
} // namespace
