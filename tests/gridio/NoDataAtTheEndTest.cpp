// A header that ends right after the NODATA_value keyword (the input ends,
// or only white space follows) runs into the body, which reports the end of
// the file; "NODATA_value is not a number" is for a value that is there and
// malformed. Strict and lenient, from a stream, by name and file to file.
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "gridio/TARCGISFileTools.h"
#include "pipeline/TFileResampling.h"
#include "support/ExpectThrowMsg.h"
#include "support/Sandbox.h"

namespace {
const std::string kEnd = "Unexpected end of file found in TARCGISFileTools::LoadARCGISFile";
const std::string kNotANumber = "File format error: NODATA_value is not a number";
const std::string kHeader = "ncols 2\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 1\n";

struct Case {
  std::string Tail;
  std::string Strict;
  std::string Lenient;
};

const Case kCases[] = {
    {"NODATA_value", kEnd, kEnd},
    {"NODATA_value\n", kEnd, kEnd},
    {"NODATA_value  \t\r\n \n", kEnd, kEnd},
    {"nodata_value\n", kEnd, kEnd},
    // A value up to the very end, and a malformed one cut by the end.
    {"NODATA_value -9999", kEnd, kEnd},
    {"NODATA_value 1e", kEnd, kEnd},
    {"NODATA_value x\n", kNotANumber, kNotANumber},
    {"NODATA_value 1e+\n1 2 3 4\n", kNotANumber, kNotANumber},
    {"NODATA_value -9999\n", kEnd, kEnd},
    // No entry at all: the strict reader wants the keyword, the lenient one
    // takes -9999 and reads on.
    {"", "File format error: expected to find NODATA_value tag", kEnd},
};

TEST(NoDataAtTheEnd, EveryReaderReportsTheEnd) {
  const Sandbox sandbox;
  const std::string source = sandbox.Path("in.asc");
  const std::string destination = sandbox.Path("out.asc");
  for (const Case& test : kCases) {
    const std::string text = kHeader + test.Tail;
    sandbox.Write("in.asc", text);
    for (bool lenient : {false, true}) {
      const std::string& expected = lenient ? test.Lenient : test.Strict;
      SCOPED_TRACE(test.Tail + (lenient ? " (lenient)" : " (strict)"));
      std::istringstream stream(text);
      EXPECT_THROW_MSG(std::unique_ptr<TMap>(lenient
                                                 ? TARCGISFileTools::LoadARCGISFileLenient(stream)
                                                 : TARCGISFileTools::LoadARCGISFile(stream)),
                       expected);
      EXPECT_THROW_MSG(std::unique_ptr<TMap>(lenient
                                                 ? TARCGISFileTools::LoadARCGISFileLenient(source)
                                                 : TARCGISFileTools::LoadARCGISFile(source)),
                       expected);
      TResampleSettings settings;
      settings.Lenient = lenient;
      for (auto mode : {TPipelineKnobs::TMode::Auto, TPipelineKnobs::TMode::InMemory}) {
        TPipelineKnobs knobs;
        knobs.Mode = mode;
        EXPECT_THROW_MSG(TFileResampling::Run(source, destination, 0.5, settings, knobs), expected);
      }
    }
  }
  // The lenient reader with the no-data entry first and the input ending
  // there: the first entry missing is reported.
  std::istringstream first("NODATA_value\n");
  EXPECT_THROW_MSG(std::unique_ptr<TMap>(TARCGISFileTools::LoadARCGISFileLenient(first)),
                   "File format error: expected to find ncols tag");
}
} // namespace
