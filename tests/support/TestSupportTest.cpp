// The shared test helpers, checked themselves: an assertion that passed
// wrongly, or a digest or grid text that drifted, would hide faults in every
// test built on them.
#include <sys/stat.h>

#include <filesystem>
#include <map>
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

// A file rewritten with its own bytes, or replaced by a copy, must not pass
// for one left alone.
TEST(FileState, TellsARewriteOrAReplacementFromAFileLeftAlone) {
  const Sandbox sandbox;
  const std::filesystem::path file = sandbox.Dir() / "out.asc";
  EXPECT_EQ(StateOf(file).Kind, FileState::TKind::None);
  sandbox.Write("out.asc", "old");
  AgeFile(file);
  const FileState aged = StateOf(file);
  EXPECT_EQ(aged.Kind, FileState::TKind::File);
  EXPECT_EQ(aged.Bytes, "old");
  EXPECT_EQ(aged.Mode & 0777, 0640u);
  EXPECT_EQ(StateOf(file), aged);

  sandbox.Write("out.asc", "old");
  EXPECT_NE(StateOf(file), aged) << "rewritten in place";
  AgeFile(file);
  EXPECT_EQ(StateOf(file), aged);
  sandbox.Write("copy", "old");
  AgeFile(sandbox.Dir() / "copy");
  std::filesystem::rename(sandbox.Dir() / "copy", file);
  EXPECT_NE(StateOf(file), aged) << "replaced by another file";
}

TEST(FileState, NamesLinksDirectoriesAndFifosWithoutOpeningThem) {
  const Sandbox sandbox;
  std::filesystem::create_directory(sandbox.Dir() / "folder");
  std::filesystem::create_symlink("folder", sandbox.Dir() / "link");
  ASSERT_EQ(mkfifo((sandbox.Dir() / "fifo").c_str(), 0600), 0);
  const std::map<std::string, FileState> entries = sandbox.Snapshot();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries.at("folder").Kind, FileState::TKind::Directory);
  EXPECT_EQ(entries.at("link").Kind, FileState::TKind::Link);
  EXPECT_EQ(entries.at("link").Bytes, "folder");
  EXPECT_EQ(entries.at("fifo").Kind, FileState::TKind::Fifo);
}

TEST(Digest, OfAFileIsThatOfItsBytes) {
  const Sandbox sandbox;
  const std::string bytes(3 << 20 | 5, 'q');
  sandbox.Write("big", bytes);
  EXPECT_EQ(Fnv1a64HexOfFile(sandbox.Dir() / "big"), Fnv1a64Hex(bytes));
  EXPECT_EQ(Fnv1a64HexOfFile(sandbox.Dir() / "missing"), Fnv1a64Hex(""));
}
} // namespace
