// The file-to-file resampling against the in-memory pipeline (LoadARCGISFile,
// BilinearInterpolate, WriteARCGISFile): on generated grids, with the read
// windows, checked pieces, checkpoints, bands and worker counts set small
// enough that every boundary falls inside the grid, both ways must give the
// same message or the same destination bytes, and a failure must leave an
// existing destination exactly as it was (bytes, size, inode, time stamp).
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "gridio/TARCGISFileTools.h"
#include "pipeline/TFileResampling.h"
#include "pipeline/TResampleFileTools.h"
#include "support/ExpectThrowMsg.h"
#include "support/Sandbox.h"

namespace {
const char* const kPrevious = "an earlier destination\n";
const std::string kNothing = Thrown().Describe();
const char* const kCellNotANumber =
    "File format error: cell value is not a number in TARCGISFileTools::LoadARCGISFile";
const char* const kEndOfFile = "Unexpected end of file found in TARCGISFileTools::LoadARCGISFile";

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

struct FileState {
  bool Exists = false;
  std::string Bytes;
  ino_t Inode = 0;
  long long ModifiedNanoseconds = 0;
  mode_t Mode = 0;
};

FileState StateOf(const std::string& path) {
  FileState state;
  struct stat status {};
  if (stat(path.c_str(), &status) != 0)
    return state;
  state.Exists = true;
  state.Bytes = ReadFileBytes(path);
  state.Inode = status.st_ino;
  state.ModifiedNanoseconds = status.st_mtim.tv_sec * 1000000000LL + status.st_mtim.tv_nsec;
  state.Mode = status.st_mode;
  return state;
}

// A destination from before the run, with a time stamp in the past.
void PlacePrevious(const std::string& path) {
  WriteText(path, kPrevious);
  chmod(path.c_str(), 0640);
  const timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
  utimensat(AT_FDCWD, path.c_str(), times, 0);
}

struct Outcome {
  Thrown Failure;
  FileState Destination;
  // An earlier destination is still the same file, with the same mode.
  bool SameFile = false;
};

// The pipeline's settings and knobs, and the workers it runs on.
struct Setting {
  TPipelineKnobs Knobs;
  unsigned Threads = 0;
};

Outcome Resample(const std::string& source, const std::string& destination, double R,
                 TResampleSettings settings, const Setting& setting, bool previous) {
  std::remove(destination.c_str());
  if (previous)
    PlacePrevious(destination);
  Outcome outcome;
  const FileState before = StateOf(destination);
  settings.Threads = setting.Threads;
  outcome.Failure =
      CaptureThrow([&] { TFileResampling::Run(source, destination, R, settings, setting.Knobs); });
  outcome.Destination = StateOf(destination);
  outcome.SameFile = before.Exists && outcome.Destination.Inode == before.Inode &&
                     outcome.Destination.Mode == before.Mode;
  return outcome;
}

Setting InMemory() {
  Setting setting;
  setting.Knobs.Mode = TPipelineKnobs::TMode::InMemory;
  setting.Threads = 1;
  return setting;
}

// Knob settings from the smallest (a window of one byte, a checkpoint at
// every value, a band per row) to the defaults, with one to four workers; a
// downscaled result kept in memory (a source read once) where it fits the
// bytes given, else (none, one byte, a few cells) the source read twice;
// rows cut into runs of columns with none, some or all of the runs' source
// rows kept between result rows.
std::vector<Setting> KnobSettings() {
  std::vector<Setting> settings;
  const std::size_t reads[] = {1, 3, 16, 1 << 18};
  const std::size_t pieces[] = {1, 7, 64, 1 << 20};
  const long checkpoints[] = {1, 2, 5, 4096};
  const std::size_t bands[] = {1, 200, 2000, 1 << 22};
  const long stations[] = {1, 3, 7, 0};
  const std::size_t kept[] = {1, 0, 64, 40u << 20};
  const std::size_t runRows[] = {0, TPipelineKnobs().RunRowsBytes, 600, 40};
  for (int i = 0; i < 4; ++i) {
    Setting setting;
    setting.Threads = static_cast<unsigned>(1 + i);
    setting.Knobs.ReadBytes = reads[i];
    setting.Knobs.PieceBytes = pieces[(i + 1) % 4];
    setting.Knobs.CheckpointValues = checkpoints[(i + 2) % 4];
    setting.Knobs.BandBytes = bands[(i + 3) % 4];
    setting.Knobs.StationSpacing = stations[(i + 1) % 4];
    setting.Knobs.KeptBytes = kept[(i + 1) % 4];
    setting.Knobs.RunRowsBytes = runRows[i];
    settings.push_back(setting);
  }
  Setting defaults;
  settings.push_back(defaults);
  defaults.Threads = 1;
  settings.push_back(defaults);
  return settings;
}

// For larger grids: bands of a few columns or rows, checkpoints at nearly
// every value and station, reads of a few dozen bytes, the runs' source rows
// kept for all runs, for some or for none.
std::vector<Setting> BandSettings() {
  std::vector<Setting> settings;
  const std::size_t bands[] = {200, 2000, 30000};
  const std::size_t runRows[] = {TPipelineKnobs().RunRowsBytes, 3000, 0};
  for (int i = 0; i < 3; ++i) {
    Setting setting;
    setting.Threads = static_cast<unsigned>(1 + i);
    setting.Knobs.ReadBytes = 48;
    setting.Knobs.PieceBytes = 1000;
    setting.Knobs.CheckpointValues = 1 + 3 * i;
    setting.Knobs.BandBytes = bands[i];
    setting.Knobs.StationSpacing = 1 + 2 * i;
    setting.Knobs.RunRowsBytes = runRows[i];
    settings.push_back(setting);
  }
  settings.push_back(Setting());
  return settings;
}

class Generator {
public:
  explicit Generator(unsigned seed) : MbrRandom(seed) {}

  int Uniform(int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(MbrRandom);
  }

  std::string Value() {
    switch (Uniform(0, 6)) {
    case 0:
      return std::to_string(Uniform(-500, 500));
    case 1:
      return std::to_string(Uniform(-99999, 99999)) + "." + std::to_string(Uniform(0, 999));
    case 2:
      return std::to_string(Uniform(1, 9)) + "." + std::to_string(Uniform(0, 99)) + "e" +
             std::to_string(Uniform(-5, 5));
    case 3:
      return "-9999";
    case 4:
      return "." + std::to_string(Uniform(0, 9999));
    case 5:
      return "+" + std::to_string(Uniform(0, 99));
    default: {
      std::ostringstream text;
      text.precision(17);
      text << std::uniform_real_distribution<double>(-1e6, 1e6)(MbrRandom);
      return text.str();
    }
    }
  }

  std::string Separator(bool crlf) {
    switch (Uniform(0, 9)) {
    case 0:
      return "\t";
    case 1:
      return "  ";
    case 2:
      return crlf ? "\r\n" : "\n";
    default:
      return " ";
    }
  }

  // The header, then the values, each followed by a separator; rows end
  // with a line end.
  std::string Grid(int columns, int rows, const std::string& cellSize, bool crlf) {
    const std::string end = crlf ? "\r\n" : "\n";
    std::ostringstream text;
    text << "ncols " << columns << end << "nrows " << rows << end << "xllcorner "
         << Uniform(-1000, 1000) << ".5" << end << "yllcorner " << Uniform(-1000, 1000) << end
         << "cellsize " << cellSize << end << "NODATA_value -9999" << end;
    for (int row = 0; row < rows; ++row) {
      for (int column = 0; column < columns; ++column)
        text << Value() << (column + 1 < columns ? Separator(crlf) : " ");
      text << end;
    }
    return text.str();
  }

private:
  std::mt19937 MbrRandom;
};

// Where the body of a grid text starts: after the sixth header line.
std::size_t BodyStart(const std::string& text) {
  std::size_t at = 0;
  for (int line = 0; line < 6; ++line)
    at = text.find('\n', at) + 1;
  return at;
}

// The offset of the value with the given index in the body.
std::size_t ValueOffset(const std::string& text, long index) {
  std::size_t at = BodyStart(text);
  const char* spaces = " \t\r\n";
  at = text.find_first_not_of(spaces, at);
  for (long i = 0; i < index; ++i)
    at = text.find_first_not_of(spaces, text.find_first_of(spaces, at));
  return at;
}

// The text with the value at `index` replaced.
std::string WithValue(const std::string& text, long index, const std::string& value) {
  const std::size_t at = ValueOffset(text, index);
  const std::size_t end = text.find_first_of(" \t\r\n", at);
  return text.substr(0, at) + value + text.substr(end);
}

class FileResamplingTest : public ::testing::Test {
protected:
  void SetUp() override {
    MbrSource = MbrSandbox.Path("resampling_source.asc");
    MbrDestination = MbrSandbox.Path("resampling_dest.asc");
  }

  // Both ways on the text, without and with an earlier destination, under
  // every knob setting; returns the in-memory outcome's failure, described.
  std::string ExpectSameOutcome(const std::string& text, double R, const std::string& label,
                                const TResampleSettings& options = {},
                                const std::vector<Setting>& settings = KnobSettings()) {
    WriteText(MbrSource, text);
    std::string failure;
    for (bool previous : {false, true}) {
      const Outcome expected =
          Resample(MbrSource, MbrDestination, R, options, InMemory(), previous);
      failure = expected.Failure.Describe();
      for (const Setting& setting : settings) {
        const Outcome actual = Resample(MbrSource, MbrDestination, R, options, setting, previous);
        const std::string where = label + " R=" + std::to_string(R) +
                                  " threads=" + std::to_string(setting.Threads) +
                                  " read=" + std::to_string(setting.Knobs.ReadBytes) +
                                  " kept=" + std::to_string(setting.Knobs.KeptBytes) +
                                  " previous=" + std::to_string(previous);
        EXPECT_EQ(actual.Failure.Describe(), failure) << where;
        EXPECT_EQ(actual.Destination.Exists, expected.Destination.Exists) << where;
        EXPECT_TRUE(actual.Destination.Bytes == expected.Destination.Bytes) << where;
        EXPECT_EQ(actual.SameFile, previous) << where;
        if (previous && expected.Failure.kind != Thrown::Nothing) {
          EXPECT_EQ(actual.Destination.ModifiedNanoseconds, 1000000000LL * 1000000000LL) << where;
        }
      }
    }
    return failure;
  }

  const Sandbox MbrSandbox;
  std::string MbrSource;
  std::string MbrDestination;
};

TEST_F(FileResamplingTest, MatchesInMemoryOnGeneratedGrids) {
  Generator generate(13);
  struct Shape {
    int Columns;
    int Rows;
  };
  const Shape shapes[] = {{1, 1}, {1, 9},  {9, 1},  {2, 2},   {3, 3},  {4, 4},
                          {5, 7}, {12, 3}, {3, 12}, {17, 11}, {40, 2}, {2, 40}};
  const double factors[] = {0.25, 0.5, 0.7, 1.0, 1.5, 2.0, 3.3};
  for (const Shape& shape : shapes)
    for (bool crlf : {false, true}) {
      const std::string text = generate.Grid(shape.Columns, shape.Rows, "2", crlf);
      for (double factor : factors)
        ExpectSameOutcome(text, 2.0 * factor,
                          std::to_string(shape.Columns) + "x" + std::to_string(shape.Rows));
    }
}

TEST_F(FileResamplingTest, RowsLongerThanEveryBufferAndCellSizesOffTheBinaryGrid) {
  Generator generate(7);
  const std::string wide = generate.Grid(300, 6, "0.1", false);
  for (double R : {0.05, 0.1, 0.3})
    EXPECT_EQ(ExpectSameOutcome(wide, R, "wide"), kNothing);
  const std::string tall = generate.Grid(4, 150, "0.3", true);
  for (double R : {0.1, 0.3, 0.7})
    EXPECT_EQ(ExpectSameOutcome(tall, R, "tall"), kNothing);
}

// Grids of a few rows and thousands of columns (bands that are runs of
// columns, each reading its runs of the source rows from a checkpoint), and
// their transposes (bands of many short rows), at half and twice the cell
// size and off the binary grid.
TEST_F(FileResamplingTest, VeryWideAndVeryTallGrids) {
  Generator generate(29);
  const struct {
    int Columns;
    int Rows;
  } shapes[] = {{1200, 4}, {700, 8}, {4, 1200}, {8, 700}};
  for (const auto& shape : shapes) {
    const std::string grid = generate.Grid(shape.Columns, shape.Rows, "30", false);
    const std::string label = std::to_string(shape.Columns) + "x" + std::to_string(shape.Rows);
    for (double R : {15.0, 60.0, 23.1})
      EXPECT_EQ(ExpectSameOutcome(grid, R, label, {}, BandSettings()), kNothing);
  }
}

// Coordinates so large that adding the cell size leaves them unchanged: the
// plan does not describe such axes, and the in-memory way resamples them,
// failures and all.
TEST_F(FileResamplingTest, CoordinatesBeyondThePlan) {
  Generator generate(31);
  std::string grid = generate.Grid(9, 9, "1", false);
  const std::size_t corner = grid.find("xllcorner");
  grid.replace(corner, grid.find('\n', corner) - corner, "xllcorner 1e17");
  for (double R : {0.5, 2.0})
    ExpectSameOutcome(grid, R, "x at 1e17");
}

// Every failure class of the reader at the first value, in the middle (at a
// piece, band and checkpoint boundary for the small knobs) and at the last
// value, then the failures after reading.
TEST_F(FileResamplingTest, FailuresAtTheStartInTheMiddleAndAtTheEnd) {
  Generator generate(3);
  const int columns = 9, rows = 8;
  const std::string grid = generate.Grid(columns, rows, "1", false);
  const long last = columns * rows - 1;
  const std::string kNotANumber = Thrown{Thrown::Text, kCellNotANumber}.Describe();
  const std::string kEnd = Thrown{Thrown::Text, kEndOfFile}.Describe();
  // Upscaled (the source read twice) and downscaled (read once where the
  // result is kept).
  for (double R : {0.5, 2.0}) {
    for (long index : {0L, 1L, last / 2, last - columns, last - 1, last}) {
      const std::string at = std::to_string(index);
      EXPECT_EQ(ExpectSameOutcome(WithValue(grid, index, "x1"), R, "letters at " + at),
                kNotANumber);
      EXPECT_EQ(ExpectSameOutcome(WithValue(grid, index, "1e"), R, "bare exponent at " + at),
                kNotANumber);
      EXPECT_EQ(ExpectSameOutcome(WithValue(grid, index, "1.5-2"), R, "two values at " + at),
                kNothing);
      // Cut short: the text ends inside or right after that value.
      const std::size_t offset = ValueOffset(grid, index);
      EXPECT_EQ(ExpectSameOutcome(grid.substr(0, offset), R, "cut before " + at), kEnd);
      EXPECT_EQ(ExpectSameOutcome(grid.substr(0, offset + 1), R, "cut in " + at), kEnd);
    }
    // The last value with no white space after it, then with one.
    const std::string body = grid.substr(0, grid.find_last_not_of(" \n") + 1);
    EXPECT_EQ(ExpectSameOutcome(body, R, "no final white space"), kEnd);
    EXPECT_EQ(ExpectSameOutcome(body + "\n", R, "final line end"), kNothing);
    EXPECT_EQ(ExpectSameOutcome(grid + "trailing text 1e", R, "surplus"), kNothing);
    EXPECT_EQ(ExpectSameOutcome(WithValue(grid, last, "5x"), R, "last value then letters"),
              kNothing);
  }

  // Failures that come after the whole source is read.
  for (double R : {0.0, -1.0, std::nan(""), 20.0, 1e-12})
    ExpectSameOutcome(grid, R, "resolution");
  // Walk failures: a single row, two rows.
  ExpectSameOutcome(generate.Grid(6, 1, "1", false), 0.5, "one row");
  ExpectSameOutcome(generate.Grid(4, 2, "1", false), 0.5, "two rows");
  ExpectSameOutcome(generate.Grid(1, 6, "1", false), 0.5, "one column");
  // A failing value beside a failing resampling, which the plan meets while
  // the values are checked: the value's failure comes first.
  for (double R : {0.0, 20.0, 1e-12})
    EXPECT_EQ(ExpectSameOutcome(WithValue(grid, last / 2, "x1"), R, "value and resolution"),
              kNotANumber);
  const std::string oneRow = generate.Grid(6, 1, "1", false);
  EXPECT_EQ(ExpectSameOutcome(WithValue(oneRow, 4, "x1"), 0.5, "value and walk"), kNotANumber);
  EXPECT_EQ(ExpectSameOutcome(oneRow.substr(0, ValueOffset(oneRow, 3)), 0.5, "end and walk"), kEnd);
}

TEST_F(FileResamplingTest, HeaderFailures) {
  Generator generate(5);
  const std::string grid = generate.Grid(3, 3, "1", false);
  const char* variants[][2] = {{"ncols", "NCOLS"},     {"nrows", "rows"},
                               {"cellsize", "cell"},   {"NODATA_value -9999", "NODATA_value x"},
                               {"ncols 3", "ncols 0"}, {"cellsize 1", "cellsize -1"},
                               {"nrows 3", "nrows 1e"}};
  for (const auto& variant : variants) {
    std::string text = grid;
    text.replace(text.find(variant[0]), std::string(variant[0]).size(), variant[1]);
    EXPECT_NE(ExpectSameOutcome(text, 0.5, variant[1]), kNothing) << variant[1];
  }
  EXPECT_NE(ExpectSameOutcome("", 0.5, "empty"), kNothing);
}

TEST_F(FileResamplingTest, DestinationFailures) {
  Generator generate(9);
  WriteText(MbrSource, generate.Grid(5, 5, "1", false));
  for (const std::string& destination :
       {std::string("/nonexistent_dir/out.asc"), std::filesystem::temp_directory_path().string()}) {
    EXPECT_THROW_MSG(TARCGISFileTools::BilinearInterpolateFile(MbrSource, destination, 0.5),
                     "Unable to open file " + destination);
    EXPECT_THROW(TARCGISFileTools::BilinearInterpolateFile(MbrSource, destination, 0.5),
                 std::string);
  }
  if (access("/dev/full", W_OK) == 0) {
    EXPECT_THROW_MSG(TARCGISFileTools::BilinearInterpolateFile(MbrSource, "/dev/full", 0.5),
                     "Unable to write file /dev/full");
    EXPECT_THROW(TARCGISFileTools::BilinearInterpolateFile(MbrSource, "/dev/full", 0.5),
                 std::string);
  }
}

// A source that is the destination (same name, a hard link, a symbolic
// link) and a source that is a pipe take the in-memory pipeline.
// Replacements the resampling left in the sandbox.
int Leftovers(const Sandbox& sandbox) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(sandbox.Dir()))
    count += entry.path().filename().string().find(".quillmap-") != std::string::npos;
  return count;
}

// Atomic, on both ways: the messages and bytes of writing in place; a
// failure leaves the earlier destination exactly as it was (bytes, inode,
// mode, time stamp), a success replaces it with its mode; nothing else
// remains in the folder.
TEST_F(FileResamplingTest, AtomicReplacesTheDestinationOnlyOnSuccess) {
  Generator generate(37);
  const std::string grid = generate.Grid(9, 8, "1", false);
  const struct {
    std::string Text;
    double R;
  } cases[] = {{grid, 0.5},
               {grid, 2.0},
               {grid.substr(0, grid.size() / 2), 0.5},
               {grid, 0.0},
               {generate.Grid(4, 2, "1", false), 0.5}};
  TResampleSettings atomic;
  atomic.Atomic = true;
  for (const auto& test : cases) {
    WriteText(MbrSource, test.Text);
    const Outcome expected =
        Resample(MbrSource, MbrDestination, test.R, TResampleSettings{}, InMemory(), true);
    for (const Setting& setting : {InMemory(), Setting(), KnobSettings()[0]}) {
      const Outcome actual = Resample(MbrSource, MbrDestination, test.R, atomic, setting, true);
      EXPECT_EQ(actual.Failure.Describe(), expected.Failure.Describe());
      EXPECT_EQ(actual.Destination.Mode & 07777, 0640u);
      if (expected.Failure.kind == Thrown::Nothing) {
        EXPECT_TRUE(actual.Destination.Bytes == expected.Destination.Bytes);
        EXPECT_FALSE(actual.SameFile);
      } else {
        EXPECT_EQ(actual.Destination.Bytes, kPrevious);
        EXPECT_TRUE(actual.SameFile);
        EXPECT_EQ(actual.Destination.ModifiedNanoseconds, 1000000000LL * 1000000000LL);
      }
      EXPECT_EQ(Leftovers(MbrSandbox), 0);
    }
  }
}

// A file size limit (in a child process, SIGXFSZ ignored) stands for a full
// file system: the write fails with the writer's message, and an atomic
// resampling leaves the earlier destination and no replacement.
TEST_F(FileResamplingTest, AFullFileSystemLeavesTheEarlierDestination) {
  WriteText(MbrSource, Generator(41).Grid(30, 30, "1", false));
  for (const Setting& setting : {InMemory(), Setting()}) {
    PlacePrevious(MbrDestination);
    const pid_t child = fork();
    if (child == 0) {
      signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{2000, 2000};
      setrlimit(RLIMIT_FSIZE, &limit);
      TResampleSettings settings;
      settings.Atomic = true;
      const Thrown thrown = CaptureThrow(
          [&] { TFileResampling::Run(MbrSource, MbrDestination, 0.5, settings, setting.Knobs); });
      _exit(thrown.Describe() ==
                    Thrown{Thrown::String, "Unable to write file " + MbrDestination}.Describe()
                ? 0
                : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(ReadFileBytes(MbrDestination), kPrevious);
    EXPECT_EQ(Leftovers(MbrSandbox), 0);
  }
}

// Written as a replacement, the source can be its own destination on the
// bounded way: it is read to the end before the new file takes its name.
TEST_F(FileResamplingTest, AtomicOntoTheSourceItself) {
  const std::string text = Generator(43).Grid(7, 6, "1", false);
  WriteText(MbrSource, text);
  TFileResampling::Run(MbrSource, MbrDestination, 0.5, TResampleSettings{}, InMemory().Knobs);
  const std::string expected = ReadFileBytes(MbrDestination);
  TResampleSettings atomic;
  atomic.Atomic = true;
  for (const Setting& setting : KnobSettings()) {
    WriteText(MbrSource, text);
    atomic.Threads = setting.Threads;
    TFileResampling::Run(MbrSource, MbrSource, 0.5, atomic, setting.Knobs);
    EXPECT_EQ(ReadFileBytes(MbrSource), expected);
  }
  EXPECT_EQ(Leftovers(MbrSandbox), 0);
}

TEST_F(FileResamplingTest, SourcesThatCannotBeReadTwice) {
  Generator generate(11);
  const std::string text = generate.Grid(6, 5, "1", false);
  WriteText(MbrSource, text);
  TFileResampling::Run(MbrSource, MbrDestination, 0.5, TResampleSettings{}, InMemory().Knobs);
  const std::string expected = ReadFileBytes(MbrDestination);

  const std::string link = MbrSandbox.Path("resampling_link.asc");
  for (int kind = 0; kind < 3; ++kind) {
    WriteText(MbrSource, text);
    std::remove(link.c_str());
    std::string destination = MbrSource;
    if (kind == 1) {
      ASSERT_EQ(::link(MbrSource.c_str(), link.c_str()), 0);
    }
    if (kind == 2) {
      ASSERT_EQ(symlink(MbrSource.c_str(), link.c_str()), 0);
    }
    if (kind > 0)
      destination = link;
    TARCGISFileTools::BilinearInterpolateFile(MbrSource, destination, 0.5);
    EXPECT_EQ(ReadFileBytes(MbrSource), expected) << kind;
  }
  const std::string fifo = MbrSandbox.Path("resampling_fifo");
  std::remove(fifo.c_str());
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::thread writer([&] { WriteText(fifo, text); });
  TARCGISFileTools::BilinearInterpolateFile(fifo, MbrDestination, 0.5);
  writer.join();
  EXPECT_EQ(ReadFileBytes(MbrDestination), expected);
}
// The header written in the ways the lenient reader also takes.
std::vector<std::pair<std::string, std::string>> LenientVariants(const std::string& grid) {
  const std::size_t body = BodyStart(grid);
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < body;) {
    const std::size_t end = grid.find('\n', at) + 1;
    lines.push_back(grid.substr(at, end - at));
    at = end;
  }
  const std::string values = grid.substr(body);
  auto join = [&](const std::vector<std::string>& header) {
    std::string text;
    for (const std::string& line : header)
      text += line;
    return text + values;
  };
  std::vector<std::string> upper = lines;
  for (std::string& line : upper)
    for (std::size_t i = 0; i < line.find(' '); ++i)
      line[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(line[i])));
  std::vector<std::string> reordered = {lines[5], lines[4], lines[1], lines[3], lines[0], lines[2]};
  std::vector<std::string> centred = lines;
  centred[2].replace(0, 9, "xllcenter");
  centred[3].replace(0, 9, "YLLCENTER");
  const std::vector<std::string> noNoData(lines.begin(), lines.begin() + 5);
  const std::string trimmed = grid.substr(0, grid.find_last_not_of(" \n") + 1);
  return {{"canonical", grid},
          {"upper case", join(upper)},
          {"any order", join(reordered)},
          {"centres", join(centred)},
          {"no NODATA_value", join(noNoData)},
          {"byte order mark", "\xEF\xBB\xBF" + grid},
          {"no final white space", trimmed}};
}

// Every option, alone and combined, through both ways: the in-memory way is
// LoadARCGISFileLenient, BilinearInterpolateNoDataAware and WriteARCGISFile
// with the digits.
TEST_F(FileResamplingTest, OptionsMatchInMemoryAloneAndCombined) {
  Generator generate(17);
  auto expectSame = [&](const std::string& text, const std::string& variant,
                        const TResampleSettings& options) {
    const std::string label =
        variant + " lenient=" + std::to_string(options.Lenient) +
        " nodata-aware=" + std::to_string(options.Policy == TCornerPolicy::NoDataAware) +
        " digits=" + std::to_string(options.Digits.Setting());
    // Upscaled, and downscaled (the source read once).
    std::string failure;
    for (double R : {0.4, 2.5})
      failure += ExpectSameOutcome(text, R, label, options);
    return failure;
  };
  for (const auto& shape : {std::pair<int, int>{7, 6}, {12, 9}}) {
    const std::string grid = generate.Grid(shape.first, shape.second, "1", shape.first == 12);
    for (int digits : {0, 6}) {
      TResampleSettings strict;
      strict.Digits = TDigits(digits);
      EXPECT_EQ(expectSame(grid, "canonical", strict), kNothing + kNothing);
    }
    for (const auto& variant : LenientVariants(grid))
      for (bool noDataAware : {false, true})
        for (int digits : {0, 1, 9, 17}) {
          TResampleSettings options;
          options.Lenient = true;
          options.Policy = noDataAware ? TCornerPolicy::NoDataAware : TCornerPolicy::Plain;
          options.Digits = TDigits(digits);
          EXPECT_EQ(expectSame(variant.second, variant.first, options), kNothing + kNothing);
        }
  }
}

// A no-data cell placed at the start, in the middle and at the end: the
// cells that turn to no-data are the same on both ways, on both fills (the
// quotient fill takes evenly spaced points).
TEST_F(FileResamplingTest, NoDataAwareAroundNoDataCells) {
  Generator generate(19);
  const int columns = 10, rows = 9;
  std::string grid = generate.Grid(columns, rows, "2", false);
  for (long index = 0; index < columns * rows; ++index)
    grid = WithValue(grid, index, index % 11 == 5 ? "-9999" : std::to_string(index));
  TResampleSettings options;
  options.Policy = TCornerPolicy::NoDataAware;
  for (double R : {0.5, 1.0, 2.0, 3.0, 0.7})
    EXPECT_EQ(ExpectSameOutcome(grid, R, "scattered no-data", options), kNothing);
  options.Digits = TDigits(17);
  EXPECT_EQ(ExpectSameOutcome(grid, 0.5, "scattered no-data, 17 digits", options), kNothing);
}

// A digit count out of range is refused before the source is read.
TEST_F(FileResamplingTest, DigitsOutOfRange) {
  WriteText(MbrSource, Generator(23).Grid(4, 4, "1", false));
  for (int digits : {-1, 18}) {
    TARCGISFileTools::TResampleOptions options;
    options.Digits = digits;
    EXPECT_THROW_MSG(
        TARCGISFileTools::BilinearInterpolateFile(MbrSource, MbrDestination, 0.5, options),
        "Digits must lie between 1 and 17 in TARCGISFileTools::WriteARCGISFile");
    EXPECT_FALSE(std::filesystem::exists(MbrDestination));
  }
}
} // namespace

// Progress rises through the blocks to 1, reported once the destination is
// complete, on both ways and for any number of workers; a run that fails
// before writing reports nothing, and a failing report ends the run.
TEST_F(FileResamplingTest, ProgressRisesToOneOnceTheDestinationIsComplete) {
  Generator generate(29);
  WriteText(MbrSource, generate.Grid(9, 12, "1", false));
  std::vector<Setting> settings = BandSettings();
  settings.push_back(InMemory());
  for (const Setting& setting : settings)
    for (double R : {0.4, 2.0}) {
      std::vector<double> reported;
      std::uintmax_t bytesAtTheEnd = 0;
      TResampleSettings options;
      options.Threads = setting.Threads;
      options.Progress = [&](double fraction) {
        reported.push_back(fraction);
        if (fraction == 1.0)
          bytesAtTheEnd = std::filesystem::file_size(MbrDestination);
      };
      TFileResampling::Run(MbrSource, MbrDestination, R, options, setting.Knobs);
      const std::string where = "R=" + std::to_string(R) +
                                " threads=" + std::to_string(setting.Threads) +
                                " band=" + std::to_string(setting.Knobs.BandBytes);
      ASSERT_FALSE(reported.empty()) << where;
      EXPECT_EQ(reported.back(), 1.0) << where;
      EXPECT_EQ(bytesAtTheEnd, std::filesystem::file_size(MbrDestination)) << where;
      for (std::size_t i = 0; i + 1 < reported.size(); ++i) {
        EXPECT_GT(reported[i], 0.0) << where;
        EXPECT_LT(reported[i], reported[i + 1]) << where;
      }
      if (setting.Knobs.BandBytes == 200 && R < 1.0) {
        EXPECT_GT(reported.size(), 10u) << where;
      }
    }

  TResampleSettings options;
  bool called = false;
  options.Progress = [&](double) { called = true; };
  EXPECT_THROW_MSG(TFileResampling::Run(MbrSource, MbrDestination, 0.0, options),
                   "New resolution cannot be <= 0.0 in TMapTools::BilinearInterpolate");
  EXPECT_FALSE(called);

  WriteText(MbrDestination, kPrevious);
  options.Atomic = true;
  options.Progress = [](double fraction) {
    if (fraction < 1.0)
      throw "stopped by the caller";
  };
  EXPECT_THROW_MSG(
      TFileResampling::Run(MbrSource, MbrDestination, 0.4, options, BandSettings()[0].Knobs),
      "stopped by the caller");
  EXPECT_EQ(ReadFileBytes(MbrDestination), kPrevious);
}
