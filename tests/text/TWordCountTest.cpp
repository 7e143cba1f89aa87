// TWordCount against a plain count of the runs of characters above the
// blank, over generated texts of every kind of character (control
// characters and bytes above 127 among them), each handed over whole and in
// parts cut at random places, the long blocks and their ends included.
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "text/TWordCount.h"

namespace {
long long PlainCount(const std::string& text) {
  long long words = 0;
  bool afterSpace = true;
  for (char c : text) {
    const bool word = static_cast<unsigned char>(c) > ' ';
    words += word && afterSpace;
    afterSpace = !word;
  }
  return words;
}

std::string Text(std::mt19937& random, std::size_t length) {
  // Mostly digits and blanks, as in a grid, with the rest of the bytes.
  const std::string usual = "0123456789.-e \n\t\r";
  std::string text;
  for (std::size_t i = 0; i < length; ++i) {
    const unsigned pick = random() % 16;
    text.push_back(pick < 14 ? usual[random() % usual.size()] : static_cast<char>(random() % 256));
  }
  return text;
}

long long CountInParts(const std::string& text, std::mt19937& random, std::size_t longestPart) {
  TWordCount count;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t part = std::min(text.size() - at, random() % (longestPart + 1));
    count.Add(text.data() + at, part);
    at += part;
  }
  return count.Words();
}

TEST(TWordCount, CountsTheRunsAboveTheBlankInAnyParts) {
  std::mt19937 random(20261210);
  for (std::size_t length : {0, 1, 2, 7, 100, 4095, 4096, 4097, 8193, 30000}) {
    for (int round = 0; round < 8; ++round) {
      const std::string text = Text(random, length);
      const long long expected = PlainCount(text);
      TWordCount whole;
      whole.Add(text.data(), text.size());
      ASSERT_EQ(expected, whole.Words()) << "length " << length;
      for (std::size_t longestPart : {1, 3, 5000, 20000})
        ASSERT_EQ(expected, CountInParts(text, random, longestPart))
            << "length " << length << ", parts up to " << longestPart;
    }
  }
}

TEST(TWordCount, AWordCutBetweenPartsCountsOnce) {
  const struct {
    const char* first;
    const char* second;
    long long words;
  } cases[] = {
      {"12", "34", 1}, {"12 ", "34", 2}, {"12", " 34", 2},     {"", "", 0},
      {" ", " ", 0},   {"\x01", "a", 1}, {"a\x7f", "\x80", 1},
  };
  for (const auto& c : cases) {
    TWordCount count;
    count.Add(c.first, std::char_traits<char>::length(c.first));
    count.Add(c.second, std::char_traits<char>::length(c.second));
    EXPECT_EQ(c.words, count.Words()) << "[" << c.first << "|" << c.second << "]";
  }
}

TEST(TWordCount, CountsTheDensestTextsExactly) {
  // One-character words between single blanks: the most word starts a
  // block of text can hold, in every phase against the blocks.
  for (std::size_t length : {255, 256, 257, 511, 512, 4096, 4097, 8192, 12289}) {
    for (const std::string start : {"", " "}) {
      std::string text = start;
      while (text.size() < length)
        text += text.size() % 2 == start.size() % 2 ? "7" : " ";
      TWordCount count;
      count.Add(text.data(), text.size());
      EXPECT_EQ(PlainCount(text), count.Words()) << length << " [" << start << "]";
    }
  }
}
} // namespace
