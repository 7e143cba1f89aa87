// Output files in place and as replacements: a replacement leaves the old
// file's bytes, mode and inode alone until it is committed, then takes its
// name with its mode; an uncommitted or failed one leaves no file behind,
// on a full file system too (a file size limit, in a child process); links
// and devices are written where they lead.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/TFileStatus.h"
#include "platform/TOutputFile.h"
#include "support/Sandbox.h"

namespace {
// Entries of the folder a replacement left behind.
int Leftovers(const Sandbox& sandbox) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(sandbox.Dir()))
    count += entry.path().filename().string().find(".quillmap-") != std::string::npos;
  return count;
}

bool WriteText(TOutputFile& file, const std::string& text) {
  return file.Write(text.data(), text.size());
}

TEST(TOutputFile, AReplacementTakesTheNameOnlyWhenCommitted) {
  const Sandbox sandbox;
  const std::string path = sandbox.Path("out.asc");
  for (unsigned mode : {0640u, 0755u, 0600u}) {
    sandbox.Write("out.asc", "old bytes\n");
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
    const TFileStatus before = TFileStatus::Of(path);
    TOutputFile file;
    ASSERT_TRUE(file.Open(path, TOutputFile::TMode::Replace));
    EXPECT_NE(file.ReplacementPath().find("/.out.asc.quillmap-"), std::string::npos);
    EXPECT_TRUE(WriteText(file, "new bytes\n"));
    EXPECT_EQ(sandbox.Read("out.asc"), "old bytes\n");
    EXPECT_EQ(Leftovers(sandbox), 1);
    ASSERT_TRUE(file.Commit());
    const TFileStatus after = TFileStatus::Of(path);
    EXPECT_EQ(sandbox.Read("out.asc"), "new bytes\n");
    EXPECT_EQ(after.Mode, mode);
    EXPECT_NE(after.Inode, before.Inode);
    EXPECT_EQ(Leftovers(sandbox), 0);
  }
  // A new file gets the mode creation in place gives it.
  const mode_t mask = umask(022);
  umask(mask);
  TOutputFile fresh;
  ASSERT_TRUE(fresh.Open(sandbox.Path("new.asc"), TOutputFile::TMode::Replace));
  ASSERT_TRUE(fresh.Commit());
  EXPECT_EQ(TFileStatus::Of(sandbox.Path("new.asc")).Mode, 0666u & ~static_cast<unsigned>(mask));
}

TEST(TOutputFile, AnUncommittedReplacementLeavesNothing) {
  const Sandbox sandbox;
  sandbox.Write("out.asc", "old bytes\n");
  {
    TOutputFile file;
    ASSERT_TRUE(file.Open(sandbox.Path("out.asc"), TOutputFile::TMode::Replace));
    WriteText(file, "half");
  }
  EXPECT_EQ(sandbox.Read("out.asc"), "old bytes\n");
  EXPECT_EQ(Leftovers(sandbox), 0);
  {
    TOutputFile file;
    ASSERT_TRUE(file.Open(sandbox.Path("absent.asc"), TOutputFile::TMode::Replace));
  }
  EXPECT_FALSE(sandbox.Exists("absent.asc"));
  EXPECT_EQ(Leftovers(sandbox), 0);
}

TEST(TOutputFile, InPlaceTruncatesAtOnce) {
  const Sandbox sandbox;
  sandbox.Write("out.asc", "old bytes\n");
  TOutputFile file;
  ASSERT_TRUE(file.Open(sandbox.Path("out.asc"), TOutputFile::TMode::InPlace));
  EXPECT_EQ(file.ReplacementPath(), "");
  EXPECT_EQ(sandbox.Read("out.asc"), "");
  EXPECT_TRUE(WriteText(file, "new"));
  EXPECT_TRUE(file.Commit());
  EXPECT_EQ(sandbox.Read("out.asc"), "new");
}

TEST(TOutputFile, LinksFoldersAndDevices) {
  const Sandbox sandbox;
  sandbox.Write("target.asc", "old\n");
  const std::string target = sandbox.Path("target.asc");
  ASSERT_EQ(symlink(target.c_str(), sandbox.Path("link.asc").c_str()), 0);
  ASSERT_EQ(link(target.c_str(), sandbox.Path("hard.asc").c_str()), 0);
  TOutputFile viaLink;
  ASSERT_TRUE(viaLink.Open(sandbox.Path("link.asc"), TOutputFile::TMode::Replace));
  WriteText(viaLink, "new\n");
  ASSERT_TRUE(viaLink.Commit());
  EXPECT_TRUE(std::filesystem::is_symlink(sandbox.Path("link.asc")));
  EXPECT_EQ(sandbox.Read("target.asc"), "new\n");
  // The hard link keeps the old file.
  EXPECT_EQ(sandbox.Read("hard.asc"), "old\n");

  for (TOutputFile::TMode mode : {TOutputFile::TMode::InPlace, TOutputFile::TMode::Replace})
    EXPECT_FALSE(TOutputFile().Open(sandbox.Dir().string(), mode));
  if (access("/dev/null", W_OK) == 0) {
    TOutputFile device;
    ASSERT_TRUE(device.Open("/dev/null", TOutputFile::TMode::Replace));
    EXPECT_EQ(device.ReplacementPath(), "");
    EXPECT_TRUE(WriteText(device, "gone"));
    EXPECT_TRUE(device.Commit());
  }
}

// A file size limit in a child process stands for a full file system: the
// write fails (SIGXFSZ ignored, as EFBIG) and the replacement goes.
TEST(TOutputFile, AFullFileSystemLeavesTheOldFile) {
  const Sandbox sandbox;
  sandbox.Write("out.asc", "old bytes\n");
  const std::string path = sandbox.Path("out.asc");
  const pid_t child = fork();
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    // The output file is destroyed before the child exits.
    const auto attempt = [&] {
      TOutputFile file;
      if (!file.Open(path, TOutputFile::TMode::Replace))
        return 2;
      const std::string block(1000, 'x');
      bool written = true;
      for (int i = 0; i < 10 && written; ++i)
        written = WriteText(file, block);
      return written ? 3 : 0;
    };
    _exit(attempt());
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(sandbox.Read("out.asc"), "old bytes\n");
  EXPECT_EQ(Leftovers(sandbox), 0);
}
} // namespace
