#include "platform/TFileStatus.h"

#include <sys/stat.h>

namespace {
TFileStatus FromStat(const struct stat& status) {
  TFileStatus result;
  result.Exists = true;
  result.Regular = S_ISREG(status.st_mode);
  result.Directory = S_ISDIR(status.st_mode);
  result.Bytes = status.st_size > 0 ? static_cast<std::uint64_t>(status.st_size) : 0;
  result.Device = static_cast<std::uint64_t>(status.st_dev);
  result.Inode = static_cast<std::uint64_t>(status.st_ino);
  result.Mode = static_cast<unsigned>(status.st_mode & 07777);
  return result;
}
} // namespace

TFileStatus TFileStatus::Of(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0)
    return TFileStatus();
  return FromStat(status);
}

TFileStatus TFileStatus::Of(const TFileDescriptor& file) {
  struct stat status {};
  if (!file.IsOpen() || fstat(file.Number(), &status) != 0)
    return TFileStatus();
  return FromStat(status);
}
