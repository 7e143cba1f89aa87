#include "platform/TDiskSpace.h"

#include <sys/statvfs.h>

#include <limits>

#include "platform/TFileStatus.h"

std::string TDiskSpace::FolderOf(const std::string& path) {
  const std::string::size_type slash = path.rfind('/');
  if (slash == std::string::npos)
    return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

double TDiskSpace::RoomFor(const std::string& path, bool reusesFile) {
  const double unbounded = std::numeric_limits<double>::infinity();
  struct statvfs disk {};
  if (statvfs(FolderOf(path).c_str(), &disk) != 0)
    return unbounded;
  const double room = static_cast<double>(disk.f_bavail) * static_cast<double>(disk.f_frsize);
  const TFileStatus existing = TFileStatus::Of(path);
  if (!existing.Exists)
    return room;
  if (!existing.Regular)
    return unbounded;
  return reusesFile ? room + static_cast<double>(existing.Bytes) : room;
}
