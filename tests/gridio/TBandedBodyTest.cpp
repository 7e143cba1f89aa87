// Writing a grid by name on 1 to 4 workers gives the bytes the stream writer
// gives, for maps of many shapes (rows shorter and longer than a band, one
// row, one column, no rows) and every digit setting.
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "gridio/TARCGISFileTools.h"
#include "platform/TItemTeam.h"
#include "support/Sandbox.h"
#include "support/TestMaps.h"

namespace {
std::string StreamText(TMap* map, int digits) {
  std::ostringstream stream;
  if (digits == 0)
    TARCGISFileTools::WriteARCGISFile(map, stream);
  else
    TARCGISFileTools::WriteARCGISFile(map, stream, digits);
  return stream.str();
}
} // namespace

TEST(TBandedBody, WritingByNameGivesTheStreamBytesOnAnyWorkerCount) {
  const struct {
    long columns, rows;
  } shapes[] = {{1, 1}, {3, 2}, {1, 97}, {97, 1}, {13, 40}, {40000, 3}, {5, 0}};
  const Sandbox sandbox;
  unsigned seed = 1;
  for (const auto& shape : shapes) {
    const auto map = MakeMap(shape.columns, shape.rows, 0.25, 1e6, -30.5,
                             ScatteredValues(shape.columns * shape.rows, seed++, -9999.0));
    for (int digits : {0, 1, 6, 9, 17}) {
      const std::string expected = StreamText(map.get(), digits);
      for (unsigned workers = 1; workers <= 4; ++workers) {
        SCOPED_TRACE(std::to_string(shape.columns) + " x " + std::to_string(shape.rows) +
                     ", digits " + std::to_string(digits) + ", workers " + std::to_string(workers));
        const TItemTeam::TFixedWorkers fixed(workers);
        if (digits == 0)
          TARCGISFileTools::WriteARCGISFile(map.get(), sandbox.Path("out.asc"));
        else
          TARCGISFileTools::WriteARCGISFile(map.get(), sandbox.Path("out.asc"), digits);
        ASSERT_EQ(expected, sandbox.Read("out.asc"));
      }
    }
  }
}
