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
