// The quillmap command end to end: every case of every file in cases/ (the
// format is in cases/README.md) lays out a fresh directory, runs the built
// tool once and checks what it printed on standard output and standard
// error, its exit status, what it left as the destination, and that every
// other entry of the directory is exactly as it was.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#ifdef QUILLMAP_HAS_GEOTIFF
#include "gridio/TARCGISFileTools.h"
#include "gridio/TGeoTIFFFileTools.h"
#endif
#include "support/CommandLineCase.h"
#include "support/Digest.h"
#include "support/Sandbox.h"

namespace {
namespace fs = std::filesystem;

const char* const kSource = "in.asc";
const char* const kDest = "out.asc";

// 4096 bytes of no text format: control characters, NULs and high bytes
// from a fixed linear congruential sequence.
std::string Garbage() {
  std::string bytes;
  std::uint32_t state = 12345;
  for (int i = 0; i < 4096; ++i) {
    state = state * 1103515245u + 12345u;
    bytes.push_back(static_cast<char>(state >> 24));
  }
  return bytes;
}

// Sanitizer runtimes reserve terabytes of address space, and a wrapper
// (a memory checker) needs far more than the tool: both only in plain runs.
bool CanLimitAddressSpace() {
#if defined(__SANITIZE_ADDRESS__)
  return false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  return false;
#endif
#endif
  return !ToolIsWrapped();
}

[[maybe_unused]] bool UsesGeoTIFF(const CommandLineCase& c) {
  return c.Source.Form.compare(0, 7, "geotiff") == 0 || c.Dest.Is("geotiff-holding");
}

#ifdef QUILLMAP_HAS_GEOTIFF
// The ESRI ASCII grid text as a GeoTIFF holding the doubles the ASCII reader
// reads from it, float64 uncompressed or float32 with deflate.
void WriteGeoTIFF(const fs::path& path, const std::string& grid, bool float32Deflate) {
  std::istringstream text(grid);
  std::unique_ptr<TMap> map(TARCGISFileTools::LoadARCGISFile(text));
  TGeoTIFFFileTools::TWriteOptions options;
  if (float32Deflate)
    options = {TGeoTIFFFileTools::TSampleType::Float32, TGeoTIFFFileTools::TCompression::Deflate};
  TGeoTIFFFileTools::WriteGeoTIFFFile(map.get(), path.string(), options, nullptr);
}

// A GeoTIFF as the ESRI ASCII writer writes its map, or what reading it
// threw.
std::string GeoTIFFAsText(const fs::path& path) {
  std::ostringstream text;
  try {
    std::unique_ptr<TMap> map(TGeoTIFFFileTools::LoadGeoTIFFFile(path.string()));
    TARCGISFileTools::WriteARCGISFile(map.get(), text);
  } catch (const char* message) {
    return message;
  } catch (const std::string& message) {
    return message;
  }
  return text.str();
}
#endif

// Why a case cannot run here; "" when it can.
std::string Unrunnable(const CommandLineCase& c) {
#ifndef QUILLMAP_HAS_GEOTIFF
  if (UsesGeoTIFF(c))
    return "GeoTIFF is not built";
#endif
  if (c.Limits.AddressSpaceBytes > 0 && !CanLimitAddressSpace())
    return "the address space cannot be limited under a sanitizer or a wrapper";
  for (const std::string& arg : c.Args)
    if (arg.compare(0, 5, "/dev/") == 0 && !fs::exists(arg))
      return "no " + arg + " here";
  return "";
}

// What the case's value makes of the named entry of the sandbox; a FIFO is
// fed by a FifoFeeder.
void Place(const Sandbox& sandbox, const std::string& name, const CaseValue& value) {
  const fs::path path = sandbox.Dir() / name;
  if (value.Is("none"))
    return;
  if (value.Is("directory"))
    fs::create_directory(path);
  else if (value.Is("fifo"))
    mkfifo(path.c_str(), 0600);
  else if (value.Is("hard-link-to-dest"))
    fs::create_hard_link(sandbox.Dir() / kDest, path);
  else if (value.Is("symbolic-link-to-dest"))
    fs::create_symlink(kDest, path);
#ifdef QUILLMAP_HAS_GEOTIFF
  else if (value.Is("geotiff") || value.Is("geotiff-float32-deflate"))
    WriteGeoTIFF(path, value.Text, value.Is("geotiff-float32-deflate"));
#endif
  else
    WriteFileBytes(path, value.Is("garbage") ? value.Text + Garbage() : value.Text);
}

// Writes the text into a FIFO once the tool opens it for reading, until the
// feeder is destroyed: a tool that never opens it, or stops reading, leaves
// the writer free.
class FifoFeeder {
public:
  FifoFeeder(const fs::path& fifo, const std::string& text)
      : MbrThread([this, fifo, text] { Feed(fifo, text); }) {}
  ~FifoFeeder() {
    MbrStop = true;
    MbrThread.join();
  }
  FifoFeeder(const FifoFeeder&) = delete;
  FifoFeeder& operator=(const FifoFeeder&) = delete;

private:
  void Feed(const fs::path& fifo, const std::string& text) {
    // A reader that goes away makes the write fail with EPIPE, not kill us.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
    int fd = -1;
    while ((fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK)) < 0 && errno == ENXIO && !MbrStop)
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    if (fd < 0)
      return;
    fcntl(fd, F_SETFL, 0);
    for (std::size_t done = 0; done < text.size();) {
      const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
      if (wrote <= 0)
        break;
      done += static_cast<std::size_t>(wrote);
    }
    close(fd);
  }

  std::atomic<bool> MbrStop{false};
  std::thread MbrThread;
};

testing::AssertionResult Mismatch(const char* expected, const FileState& found) {
  return testing::AssertionFailure()
         << kDest << " should be " << expected << ", is " << testing::PrintToString(found);
}

// The destination against the case's dest: its text, its length and digest,
// absent, or unchanged (bytes, inode, mode and time stamp; still absent when
// there was none).
testing::AssertionResult LeftDestination(const CaseValue& dest, const FileState& before,
                                         const fs::path& path) {
  if (dest.Is("digest")) {
    std::istringstream words(dest.Text);
    std::uintmax_t length = 0;
    std::string digest;
    words >> length >> digest;
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    if (error || size != length || Fnv1a64HexOfFile(path) != digest)
      return testing::AssertionFailure()
             << kDest << " should hold " << length << " bytes of digest " << digest << ", holds "
             << (error ? 0 : size) << " of digest " << Fnv1a64HexOfFile(path);
    return testing::AssertionSuccess();
  }
#ifdef QUILLMAP_HAS_GEOTIFF
  if (dest.Is("geotiff-holding")) {
    const std::string text = GeoTIFFAsText(path);
    return text == dest.Text ? testing::AssertionSuccess()
                             : testing::AssertionFailure() << kDest << " should be a GeoTIFF of \""
                                                           << dest.Text << "\", is " << text;
  }
#endif
  const FileState after = StateOf(path);
  if (dest.Is("unchanged"))
    return after == before ? testing::AssertionSuccess() : Mismatch("as it was", after);
  if (dest.Is("absent"))
    return after.Kind == FileState::TKind::None ? testing::AssertionSuccess()
                                                : Mismatch("absent", after);
  if (after.Kind != FileState::TKind::File || after.Bytes != dest.Text)
    return Mismatch(("a file holding \"" + dest.Text + "\"").c_str(), after);
  return testing::AssertionSuccess();
}

class CommandLine : public testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLine, Case) {
  const CommandLineCase& c = GetParam();
  SCOPED_TRACE(c.Where);
  ASSERT_EQ(c.Fault, "") << "the case file cannot be read";
  const std::string unrunnable = Unrunnable(c);
  if (!unrunnable.empty())
    GTEST_SKIP() << unrunnable;
  const Sandbox sandbox;
  const fs::path dest = sandbox.Dir() / kDest;
  Place(sandbox, kDest, c.Earlier);
  if (c.Earlier.Form.empty() || c.Earlier.Is("garbage"))
    AgeFile(dest);
  Place(sandbox, kSource, c.Source);
  const FileState destBefore = StateOf(dest);
  // A hard link is the destination under another name: it changes with it.
  const auto othersOf = [&](std::map<std::string, FileState> entries) {
    entries.erase(kDest);
    if (c.Source.Is("hard-link-to-dest"))
      entries.erase(kSource);
    return entries;
  };
  const std::map<std::string, FileState> othersBefore = othersOf(sandbox.Snapshot());

  ToolRun run;
  if (c.Source.Is("fifo")) {
    const FifoFeeder feeder(sandbox.Dir() / kSource, c.Source.Text);
    run = sandbox.Run(c.Args, c.Limits, c.TimeoutSeconds);
  } else {
    run = sandbox.Run(c.Args, c.Limits, c.TimeoutSeconds);
  }

  EXPECT_FALSE(run.TimedOut);
  EXPECT_EQ(run.Status, c.Status);
  EXPECT_EQ(run.Out, sandbox.Expand(c.Stdout));
  EXPECT_EQ(run.Err, sandbox.Expand(c.Stderr));
  EXPECT_TRUE(LeftDestination(c.Dest, destBefore, dest));
  EXPECT_EQ(othersOf(sandbox.Snapshot()), othersBefore) << "entries beside " << kDest;
}

INSTANTIATE_TEST_SUITE_P(Cases, CommandLine,
                         testing::ValuesIn(ReadCaseFolder(QUILLMAP_SOURCE_DIR "/tests/app/cases")),
                         [](const testing::TestParamInfo<CommandLineCase>& info) {
                           return info.param.Name;
                         });
} // namespace
