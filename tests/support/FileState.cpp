#include "support/FileState.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <tuple>

namespace {
FileState::TKind KindOf(mode_t mode) {
  using TKind = FileState::TKind;
  return S_ISREG(mode)    ? TKind::File
         : S_ISDIR(mode)  ? TKind::Directory
         : S_ISFIFO(mode) ? TKind::Fifo
         : S_ISLNK(mode)  ? TKind::Link
                          : TKind::Other;
}

const char* const kKindNames[] = {"nothing", "a file", "a directory", "a FIFO", "a link", "other"};
} // namespace

bool FileState::operator==(const FileState& other) const {
  return std::tie(Kind, Bytes, Inode, Mode, ModifiedNanoseconds) ==
         std::tie(other.Kind, other.Bytes, other.Inode, other.Mode, other.ModifiedNanoseconds);
}

FileState StateOf(const std::filesystem::path& path) {
  FileState state;
  struct stat status {};
  if (lstat(path.c_str(), &status) != 0)
    return state;
  state.Kind = KindOf(status.st_mode);
  state.Inode = status.st_ino;
  state.Mode = status.st_mode;
  // A FIFO's time stamp moves with every write into it.
  if (state.Kind != FileState::TKind::Fifo)
    state.ModifiedNanoseconds = status.st_mtim.tv_sec * 1000000000LL + status.st_mtim.tv_nsec;
  if (state.Kind == FileState::TKind::File)
    state.Bytes = ReadFileBytes(path);
  if (state.Kind == FileState::TKind::Link)
    state.Bytes = std::filesystem::read_symlink(path).string();
  return state;
}

void PrintTo(const FileState& state, std::ostream* out) {
  const std::size_t kShown = 200;
  *out << kKindNames[static_cast<int>(state.Kind)];
  if (state.Kind == FileState::TKind::None)
    return;
  *out << " (mode " << std::oct << state.Mode << std::dec << ", inode " << state.Inode
       << ", modified " << state.ModifiedNanoseconds << " ns, " << state.Bytes.size() << " bytes \""
       << state.Bytes.substr(0, kShown) << (state.Bytes.size() > kShown ? "...\")" : "\")");
}

void AgeFile(const std::filesystem::path& path) {
  chmod(path.c_str(), 0640);
  const timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
  utimensat(AT_FDCWD, path.c_str(), times, 0);
}

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}
