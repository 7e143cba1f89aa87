// Reading a file by name in pieces on 1 to 4 workers against reading the
// same text from a string stream: the same map to the bit, or the same
// message, for generated grids whose bodies carry none, one or several
// faults (a token that is not a number, too few values, a last value
// without white space after it, text after the body), strict and lenient.
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gridio/TARCGISFileTools.h"
#include "platform/TItemTeam.h"
#include "support/DecimalTokens.h"
#include "support/ExpectThrowMsg.h"
#include "support/ReadAgainstStream.h"
#include "support/Sandbox.h"
#include "support/TestMaps.h"

namespace {
TMap* ReadNamed(const std::string& path, bool lenient) {
  return lenient ? TARCGISFileTools::LoadARCGISFileLenient(path)
                 : TARCGISFileTools::LoadARCGISFile(path);
}

} // namespace

TEST(TPieceLoad, GeneratedGridsReadAsFromAStreamOnAnyWorkerCount) {
  const Sandbox sandbox;
  const int read = ExpectGeneratedReadsAsFromAStream(sandbox, 20261210, 400, ReadNamed);
  // Both the maps and the failures are well represented.
  EXPECT_GT(read, 80);
  EXPECT_LT(read, 320);
}

namespace {
// A value in one of the body styles: two decimals in a width that never
// changes, or that changes around 1000, or short decimals of any layout,
// with now and then a no-data value or a long mantissa.
std::string StyledValue(int style, std::mt19937_64& random) {
  if (random() % 50 == 0)
    return random() % 2 == 0 ? "-9999" : GenerateToken(TTokenKind::LongMantissa, random);
  char text[32];
  switch (style) {
  case 0:
    std::snprintf(text, sizeof text, "%.2f", 1000 + static_cast<double>(random() % 900000) / 100);
    return text;
  case 1:
    std::snprintf(text, sizeof text, "%.2f", 990 + static_cast<double>(random() % 2000) / 100);
    return text;
  case 2:
    return GenerateToken(TTokenKind::ShortDecimal, random);
  default:
    return GenerateToken(TTokenKind::AnyLayout, random);
  }
}
} // namespace

// Bodies of numbers only, one to a word, so that the pieces read their
// values straight into the rows, in rows of one layout and of many.
TEST(TPieceLoad, BodiesOfNumbersOnlyReadAsFromAStream) {
  const Sandbox sandbox;
  const char* const kRowEnds[] = {" \n", "\n", "\r\n", " "};
  std::mt19937_64 random(53);
  for (int grid = 0; grid < 80 && !HasFatalFailure(); ++grid) {
    const long columns = 1 + static_cast<long>(random() % 60);
    const long rows = 1 + static_cast<long>(random() % 40);
    std::string text = "ncols " + std::to_string(columns) + "\nnrows " + std::to_string(rows) +
                       "\nxllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value -9999\n";
    for (long y = 0; y < rows; ++y)
      for (long x = 0; x < columns; ++x)
        text += StyledValue(grid % 4, random) + (x + 1 < columns ? " " : kRowEnds[grid % 4]);
    ExpectReadsAsFromAStream(sandbox, text, ReadNamed);
  }
}

TEST(TPieceLoad, HandPickedBodiesReadAsFromAStream) {
  const Sandbox sandbox;
  ExpectHandPickedReadAsFromAStream(sandbox, ReadNamed);
}

TEST(TPieceLoad, AMissingFileOrADirectoryIsNotOpened) {
  const Sandbox sandbox;
  for (unsigned workers : {1u, 3u}) {
    const TItemTeam::TFixedWorkers fixed(workers);
    EXPECT_THROW_MSG(TARCGISFileTools::LoadARCGISFile(sandbox.Path("none.asc")),
                     "Unable to open file " + sandbox.Path("none.asc"));
    EXPECT_THROW_MSG(TARCGISFileTools::LoadARCGISFile(sandbox.Dir().string()),
                     "Unable to open file " + sandbox.Dir().string());
  }
}
