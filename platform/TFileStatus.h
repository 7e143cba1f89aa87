// TFileStatus: what the file system says of a file: whether it exists, its
// kind, its size, its identity (device and inode) and its permission bits.
// A name is followed through symbolic links, so a link reports what it
// points to (and a dangling link does not exist). Nothing here throws.
#ifndef QUILLMAP_PLATFORM_TFILESTATUS_H
#define QUILLMAP_PLATFORM_TFILESTATUS_H

#include <cstdint>
#include <string>

#include "platform/TFileDescriptor.h"

struct TFileStatus {
  bool Exists = false;
  bool Regular = false;
  bool Directory = false;
  std::uint64_t Bytes = 0;
  std::uint64_t Device = 0;
  std::uint64_t Inode = 0;
  // The permission bits, set-user-ID, set-group-ID and sticky bits included.
  unsigned Mode = 0;

  static TFileStatus Of(const std::string& path);
  static TFileStatus Of(const TFileDescriptor& file);

  // Whether both exist and are one file, by whatever names they were found.
  bool IsSameFile(const TFileStatus& other) const {
    return Exists && other.Exists && Device == other.Device && Inode == other.Inode;
  }
};

#endif
