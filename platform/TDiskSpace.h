// TDiskSpace: how many bytes a file about to be written by name may take on
// its file system: what the file system has free for this user in the
// file's folder, plus what the file holds now when it is a regular file
// that writing in place truncates. A quantity the system does not report,
// and a file that is not a regular one (a device), count as unbounded.
// Nothing here throws.
#ifndef QUILLMAP_PLATFORM_TDISKSPACE_H
#define QUILLMAP_PLATFORM_TDISKSPACE_H

#include <string>

class TDiskSpace {
public:
  // reusesFile: the file's present bytes are freed before it is written
  // (truncation in place), rather than kept until it is replaced.
  static double RoomFor(const std::string& path, bool reusesFile);
  // The folder a file name lies in: "." for a bare name.
  static std::string FolderOf(const std::string& path);
};

#endif
