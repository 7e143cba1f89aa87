// Descriptors, file status and disk room on real files in a sandbox: the
// reads and writes a pipeline relies on (positioned reads from anywhere,
// complete writes, a full device refusing), the creation modes, and the
// identity of one file under several names.
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "platform/TDiskSpace.h"
#include "platform/TFileDescriptor.h"
#include "platform/TFileStatus.h"
#include "support/Sandbox.h"

namespace {
std::string ReadAt(const TFileDescriptor& file, std::uint64_t offset, std::size_t bytes) {
  std::string text(bytes, '\0');
  text.resize(file.ReadAt(offset, text.data(), bytes));
  return text;
}

TEST(TFileDescriptor, PositionedReadsAndCompleteWrites) {
  const Sandbox sandbox;
  const std::string path = sandbox.Path("data.txt");
  std::string text;
  for (int i = 0; i < 20000; ++i)
    text += std::to_string(i) + ' ';
  {
    TFileDescriptor out = TFileDescriptor::CreateOrTruncate(path);
    ASSERT_TRUE(out.IsOpen());
    EXPECT_TRUE(out.WriteAll(text.data(), text.size()));
    EXPECT_TRUE(out.Sync());
    EXPECT_TRUE(out.Close());
    EXPECT_FALSE(out.IsOpen());
    EXPECT_TRUE(out.Close());
  }
  const TFileDescriptor in = TFileDescriptor::OpenForReading(path);
  ASSERT_TRUE(in.IsOpen());
  for (std::uint64_t offset : {0ul, 7ul, 4095ul, text.size() - 3})
    EXPECT_EQ(ReadAt(in, offset, 10), text.substr(offset, 10)) << offset;
  EXPECT_EQ(ReadAt(in, text.size(), 10), "");
  EXPECT_EQ(ReadAt(in, text.size() + 100, 10), "");
  // Truncation on reopening.
  ASSERT_TRUE(TFileDescriptor::CreateOrTruncate(path).IsOpen());
  EXPECT_EQ(TFileStatus::Of(path).Bytes, 0u);
}

TEST(TFileDescriptor, FailuresAreResults) {
  const Sandbox sandbox;
  EXPECT_FALSE(TFileDescriptor::OpenForReading(sandbox.Path("missing")).IsOpen());
  EXPECT_FALSE(TFileDescriptor::CreateOrTruncate(sandbox.Path("no/such/folder")).IsOpen());
  EXPECT_FALSE(TFileDescriptor::CreateOrTruncate(sandbox.Dir().string()).IsOpen());
  const std::string path = sandbox.Path("new.txt");
  TFileDescriptor created = TFileDescriptor::CreateNew(path, 0640);
  ASSERT_TRUE(created.IsOpen());
  EXPECT_FALSE(TFileDescriptor::CreateNew(path, 0640).IsOpen());
  EXPECT_TRUE(created.SetMode(0604));
  EXPECT_EQ(TFileStatus::Of(path).Mode, 0604u);
  if (access("/dev/full", W_OK) == 0) {
    const TFileDescriptor full = TFileDescriptor::CreateOrTruncate("/dev/full");
    ASSERT_TRUE(full.IsOpen());
    EXPECT_FALSE(full.WriteAll("x", 1));
  }
}

TEST(TFileDescriptor, MovingHandsTheFileOver) {
  const Sandbox sandbox;
  sandbox.Write("a.txt", "abc");
  TFileDescriptor first = TFileDescriptor::OpenForReading(sandbox.Path("a.txt"));
  TFileDescriptor second(std::move(first));
  EXPECT_FALSE(first.IsOpen());
  EXPECT_EQ(ReadAt(second, 1, 5), "bc");
  first = std::move(second);
  EXPECT_EQ(ReadAt(first, 0, 5), "abc");
  EXPECT_FALSE(second.IsOpen());
}

TEST(TFileStatus, OneFileUnderSeveralNames) {
  const Sandbox sandbox;
  sandbox.Write("a.txt", "abcd");
  sandbox.Write("b.txt", "abcd");
  const std::string a = sandbox.Path("a.txt");
  ASSERT_EQ(link(a.c_str(), sandbox.Path("hard.txt").c_str()), 0);
  ASSERT_EQ(symlink(a.c_str(), sandbox.Path("soft.txt").c_str()), 0);
  ASSERT_EQ(symlink(sandbox.Path("gone").c_str(), sandbox.Path("dangling").c_str()), 0);
  const TFileStatus status = TFileStatus::Of(a);
  EXPECT_TRUE(status.Exists && status.Regular && !status.Directory);
  EXPECT_EQ(status.Bytes, 4u);
  EXPECT_TRUE(status.IsSameFile(TFileStatus::Of(sandbox.Path("hard.txt"))));
  EXPECT_TRUE(status.IsSameFile(TFileStatus::Of(sandbox.Path("soft.txt"))));
  EXPECT_TRUE(status.IsSameFile(TFileStatus::Of(TFileDescriptor::OpenForReading(a))));
  EXPECT_FALSE(status.IsSameFile(TFileStatus::Of(sandbox.Path("b.txt"))));
  EXPECT_FALSE(TFileStatus::Of(sandbox.Path("dangling")).Exists);
  EXPECT_FALSE(TFileStatus().IsSameFile(TFileStatus()));
  const TFileStatus folder = TFileStatus::Of(sandbox.Dir().string());
  EXPECT_TRUE(folder.Directory && !folder.Regular);
}

TEST(TDiskSpace, FoldersAndRoom) {
  const std::pair<const char*, const char*> folders[] = {
      {"a.asc", "."}, {"/a.asc", "/"}, {"dir/a.asc", "dir"}, {"/x/y/a", "/x/y"}, {"dir/", "dir"}};
  for (const auto& [path, folder] : folders)
    EXPECT_EQ(TDiskSpace::FolderOf(path), folder) << path;

  const Sandbox sandbox;
  sandbox.Write("old.asc", std::string(100000, 'x'));
  const std::string old = sandbox.Path("old.asc");
  // Other processes may change the free space between two calls: one of a
  // few tries sees none of it.
  bool reused = false;
  for (int attempt = 0; attempt < 20 && !reused; ++attempt) {
    const double keep = TDiskSpace::RoomFor(old, false);
    ASSERT_TRUE(std::isfinite(keep));
    EXPECT_GT(keep, 0.0);
    reused = TDiskSpace::RoomFor(old, true) - keep == 100000.0;
  }
  EXPECT_TRUE(reused);
  EXPECT_TRUE(std::isinf(TDiskSpace::RoomFor("/dev/null", true)));
  EXPECT_TRUE(std::isinf(TDiskSpace::RoomFor(sandbox.Path("no/such/a.asc"), true)));
}
} // namespace
