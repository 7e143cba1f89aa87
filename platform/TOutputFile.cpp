#include "platform/TOutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/TDiskSpace.h"
#include "platform/TFileStatus.h"
#include "platform/TPendingFiles.h"

namespace {
const int kNameAttempts = 100;
const unsigned kNewFileMode = 0666;

std::string BaseNameOf(const std::string& path) {
  const std::string::size_type slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A name that differs between processes, threads and attempts.
std::string Suffix(int attempt) {
  static std::atomic<unsigned> counter(0);
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  char text[48];
  std::snprintf(text, sizeof text, "%x%x%x%x", static_cast<unsigned>(getpid()),
                static_cast<unsigned>(now.tv_nsec), counter++, static_cast<unsigned>(attempt));
  return text;
}

// The file a replacement goes to: the one a symbolic link leads to.
std::string TargetOf(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_symlink(path, error) && std::filesystem::exists(path, error)) {
    const std::filesystem::path target = std::filesystem::canonical(path, error);
    if (!error)
      return target.string();
  }
  return path;
}

void SyncFolder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0)
    return;
  // The rename is done; a folder that cannot be synced changes nothing now.
  fsync(fd);
  close(fd);
}
} // namespace

TOutputFile::~TOutputFile() {
  Discard();
}

bool TOutputFile::Open(const std::string& path, TMode mode) {
  const TFileStatus existing = TFileStatus::Of(path);
  if (existing.Directory)
    return false;
  if (mode == TMode::Replace && (!existing.Exists || existing.Regular))
    return OpenReplacement(path);
  MbrFile = TFileDescriptor::CreateOrTruncate(path);
  return MbrFile.IsOpen();
}

bool TOutputFile::OpenReplacement(const std::string& path) {
  MbrStrTarget = TargetOf(path);
  const TFileStatus existing = TFileStatus::Of(MbrStrTarget);
  const std::string folder = TDiskSpace::FolderOf(MbrStrTarget);
  const std::string prefix = folder + "/." + BaseNameOf(MbrStrTarget) + ".quillmap-";
  for (int attempt = 0; attempt < kNameAttempts && !MbrFile.IsOpen(); ++attempt) {
    MbrStrReplacement = prefix + Suffix(attempt);
    MbrFile = TFileDescriptor::CreateNew(MbrStrReplacement, existing.Exists ? 0600 : kNewFileMode);
    if (!MbrFile.IsOpen() && errno != EEXIST)
      break;
  }
  if (!MbrFile.IsOpen()) {
    MbrStrReplacement.clear();
    return false;
  }
  MbrIntPendingSlot = TPendingFiles::Add(MbrStrReplacement);
  if (existing.Exists && !MbrFile.SetMode(existing.Mode)) {
    Discard();
    return false;
  }
  return true;
}

bool TOutputFile::Commit() {
  if (MbrStrReplacement.empty())
    return MbrFile.Close();
  const bool done = MbrFile.Sync() && MbrFile.Close() &&
                    rename(MbrStrReplacement.c_str(), MbrStrTarget.c_str()) == 0;
  if (!done) {
    Discard();
    return false;
  }
  TPendingFiles::Remove(MbrIntPendingSlot);
  MbrIntPendingSlot = -1;
  MbrStrReplacement.clear();
  SyncFolder(TDiskSpace::FolderOf(MbrStrTarget));
  return true;
}

void TOutputFile::Discard() {
  if (MbrStrReplacement.empty())
    return;
  MbrFile.Close();
  unlink(MbrStrReplacement.c_str());
  TPendingFiles::Remove(MbrIntPendingSlot);
  MbrIntPendingSlot = -1;
  MbrStrReplacement.clear();
}
