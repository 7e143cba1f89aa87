#include "platform/TFileDescriptor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {
int OpenRetrying(const char* path, int flags, mode_t mode) {
  for (;;) {
    const int fd = open(path, flags | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EINTR)
      return fd;
  }
}
} // namespace

TFileDescriptor::~TFileDescriptor() {
  if (MbrIntFd >= 0)
    close(MbrIntFd);
}

TFileDescriptor::TFileDescriptor(TFileDescriptor&& other) noexcept : MbrIntFd(other.MbrIntFd) {
  other.MbrIntFd = -1;
}

TFileDescriptor& TFileDescriptor::operator=(TFileDescriptor&& other) noexcept {
  if (this != &other) {
    if (MbrIntFd >= 0)
      close(MbrIntFd);
    MbrIntFd = other.MbrIntFd;
    other.MbrIntFd = -1;
  }
  return *this;
}

TFileDescriptor TFileDescriptor::OpenForReading(const std::string& path) {
  return TFileDescriptor(OpenRetrying(path.c_str(), O_RDONLY, 0));
}

TFileDescriptor TFileDescriptor::CreateOrTruncate(const std::string& path) {
  return TFileDescriptor(OpenRetrying(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666));
}

TFileDescriptor TFileDescriptor::CreateNew(const std::string& path, unsigned mode) {
  return TFileDescriptor(
      OpenRetrying(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, static_cast<mode_t>(mode)));
}

std::size_t TFileDescriptor::ReadAt(std::uint64_t offset, char* buffer, std::size_t bytes) const {
  for (;;) {
    const ssize_t got = pread(MbrIntFd, buffer, bytes, static_cast<off_t>(offset));
    if (got >= 0)
      return static_cast<std::size_t>(got);
    if (errno != EINTR)
      return 0;
  }
}

bool TFileDescriptor::WriteAll(const char* data, std::size_t size) const {
  while (size > 0) {
    const ssize_t put = write(MbrIntFd, data, size);
    if (put < 0 && errno == EINTR)
      continue;
    if (put <= 0)
      return false;
    data += put;
    size -= static_cast<std::size_t>(put);
  }
  return true;
}

bool TFileDescriptor::SetMode(unsigned mode) const {
  return fchmod(MbrIntFd, static_cast<mode_t>(mode)) == 0;
}

bool TFileDescriptor::Sync() const {
  for (;;) {
    if (fsync(MbrIntFd) == 0)
      return true;
    if (errno != EINTR)
      return false;
  }
}

bool TFileDescriptor::Close() {
  const int fd = MbrIntFd;
  MbrIntFd = -1;
  return fd < 0 || close(fd) == 0;
}
