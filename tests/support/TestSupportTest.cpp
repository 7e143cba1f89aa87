// The shared test helpers, checked themselves: an assertion that passed
// wrongly, or a digest or grid text that drifted, would hide faults in every
// test built on them.
#include <string>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "support/Digest.h"
#include "support/ExpectThrowMsg.h"
#include "support/GridText.h"
#include "support/ParameterName.h"
#include "support/Sandbox.h"

namespace {
TEST(ExpectThrowMsg, PassesOnTheExactTextThrownEitherWay) {
  EXPECT_THROW_MSG(throw "Map has no axes", "Map has no axes");
  EXPECT_THROW_MSG(throw std::string("Unable to open file a"), "Unable to open file a");
}

TEST(ExpectThrowMsg, FailsOtherwiseAndSaysWhatWasThrown) {
  EXPECT_NONFATAL_FAILURE(EXPECT_THROW_MSG(throw "Map has no axes", "Map has no axes "),
                          "threw: const char* \"Map has no axes\"");
  EXPECT_NONFATAL_FAILURE(EXPECT_THROW_MSG(throw std::string("a"), "b"),
                          "threw: std::string \"a\"");
  EXPECT_NONFATAL_FAILURE(EXPECT_THROW_MSG((void)0, "a"), "threw: nothing");
  EXPECT_NONFATAL_FAILURE(EXPECT_THROW_MSG(throw 42, "42"), "threw: an exception of another type");
}

TEST(Digest, MatchesTheFnv1aReferenceValues) {
  EXPECT_EQ(Fnv1a64Hex(""), "cbf29ce484222325");
  EXPECT_EQ(Fnv1a64Hex("a"), "af63dc4c8601ec8c");
  EXPECT_EQ(Fnv1a64Hex("foobar"), "85944171f73967e8");
}

TEST(GridText, WritesTheHeaderAndOneRowALine) {
  EXPECT_EQ(GridText(2, 2, 512000.5, -4250, 0.1, -9999, {1, -0.5, 1e-310, 3}),
            "ncols 2\nnrows 2\nxllcorner 512000.5\nyllcorner -4250\ncellsize 0.1\n"
            "NODATA_value -9999\n1 -0.5\n1e-310 3\n");
  EXPECT_EQ(ShortestText(1.0 / 3.0), "0.3333333333333333");
  EXPECT_EQ(ShortestText(-0.0), "-0");
  EXPECT_EQ(ShortestText(1e20), "1e+20");
}

TEST(ParameterName, SpellsEveryCharacterAsANameMay) {
  EXPECT_EQ(ParameterName("-1.5e+3"), "Minus1Dot5ePlus3");
  EXPECT_EQ(ParameterName(" \t"), "SpaceX09");
  EXPECT_EQ(ParameterName(""), "Empty");
}

TEST(Sandbox, LeftDestinationTellsTheExpectedTheEarlierAndNoFileApart) {
  const Sandbox sandbox;
  EXPECT_TRUE(LeftDestination(sandbox, nullptr, nullptr));
  EXPECT_FALSE(LeftDestination(sandbox, "new", nullptr));
  sandbox.Write("out.asc", "old");
  EXPECT_TRUE(LeftDestination(sandbox, nullptr, "old"));
  EXPECT_TRUE(LeftDestination(sandbox, "old", "other"));
  EXPECT_FALSE(LeftDestination(sandbox, "new", "old"));
  EXPECT_FALSE(LeftDestination(sandbox, nullptr, nullptr));
}
} // namespace
