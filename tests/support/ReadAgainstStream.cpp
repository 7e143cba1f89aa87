#include "support/ReadAgainstStream.h"

#include <sstream>

#include <gtest/gtest.h>

#include "gridio/TARCGISFileTools.h"
#include "platform/TItemTeam.h"
#include "support/GridBodyGenerator.h"

Outcome ReadStream(const std::string& text, bool lenient) {
  std::istringstream stream(text);
  return Attempt([&] {
    return lenient ? TARCGISFileTools::LoadARCGISFileLenient(stream)
                   : TARCGISFileTools::LoadARCGISFile(stream);
  });
}

void ExpectReadsAsFromAStream(const Sandbox& sandbox, const std::string& text,
                              const TNamedRead& read) {
  sandbox.Write("in.asc", text);
  for (bool lenient : {false, true}) {
    const Outcome expected = ReadStream(text, lenient);
    for (unsigned workers = 1; workers <= 4; ++workers) {
      SCOPED_TRACE("workers " + std::to_string(workers) + (lenient ? " lenient" : " strict") +
                   ", input [" + text + "]");
      const TItemTeam::TFixedWorkers fixed(workers);
      const Outcome actual = Attempt([&] { return read(sandbox.Path("in.asc"), lenient); });
      ASSERT_EQ(expected.thrown.Describe(), actual.thrown.Describe());
      if (expected.map) {
        ASSERT_EQ("", MapDifference(expected.map.get(), actual.map.get()));
      }
    }
  }
}

int ExpectGeneratedReadsAsFromAStream(const Sandbox& sandbox, unsigned seed, int count,
                                      const TNamedRead& read) {
  GridBodyGenerator generate(seed);
  int readable = 0;
  for (int i = 0; i < count && !::testing::Test::HasFatalFailure(); ++i) {
    const std::string text = generate.Grid();
    ExpectReadsAsFromAStream(sandbox, text, read);
    readable += ReadStream(text, false).map != nullptr;
  }
  return readable;
}

void ExpectHandPickedReadAsFromAStream(const Sandbox& sandbox, const TNamedRead& read) {
  const char* const bodyHeaders[] = {
      "ncols 3\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value -9999\n",
      "ncols 3\nnrows 2\nxllcorner 0.5\nyllcorner -7\ncellsize 0.1\nNODATA_value -9999\n",
  };
  const char* const bodies[] = {
      "",
      "1 2 3 4 5 6\n",
      "1 2 3 4 5 6",
      "1 2 3 4 5 x 7 y\n",
      "1 x 3 4 5\n",
      "1 2 3 4 5\n",
      "1 2 3 4 5 6 junk after\n",
      "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n",
      "      1        2        3 4 5 6      \n",
      "1e308 -1e-320 0.1 1e400 -0 4.9e-324\n",
      // Words that hold two values, on the first rows or the last.
      "1-2 3 4 5 6\n",
      "1 2 3 4 5 6-7\n",
      "1 2 3 4-5\n",
      "1-2 3 4 5 6 7\n",
      "1 2 3 4-5 6 7 8\n",
      "1.5e3-2 3 4 5 6\n",
      "1.5e3-2 3 4 5 6 7 8\n",
      "1 2\x01 3 4 5 6\n",
      "1 2 3\x01\x02 4 5 6\n",
      "1 2 3 4 5 6\x01\n",
  };
  const char* const whole[] = {
      "NCOLS 3\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value -9999\n1 2 3 4 5 6\n",
      "ncols 3\nnrows x\nxllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value -9999\n1 2 3 4 5 6\n",
      "ncols 3\nnrows 2\nxllcenter 0\nyllcenter 0\ncellsize 1\n1 2 3 4 5 6\n",
      "ncols 0\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value -9999\n\n",
      "ncols 3\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize -1\nNODATA_value -9999\n1 2 3\n",
      "ncols 3\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value x\n1 2 3 4 5 6\n",
      "ncols 3\nnrows 2\nxllcorner 0\n",
      "",
  };
  for (const char* header : bodyHeaders)
    for (const char* body : bodies)
      ExpectReadsAsFromAStream(sandbox, std::string(header) + body, read);
  for (const char* text : whole)
    ExpectReadsAsFromAStream(sandbox, text, read);
}
