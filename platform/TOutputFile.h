// TOutputFile: a file written by name, in place or as a replacement.
//
// In place: Open creates the file (mode 0666 less the umask) or truncates it
// at once, and Commit closes it; a failure on the way leaves what was
// written. As a replacement: Open creates a new, hidden file in the
// destination's folder (".<name>.quillmap-<random>"), with the permission
// bits of the file it replaces (or 0666 less the umask for a new one), and
// Commit puts it on the storage device (fsync), closes it and renames it
// over the destination, which until then keeps its bytes, whatever happens
// to the process; an uncommitted replacement is removed when the output file
// is destroyed (and, through TPendingFiles, when a signal the program
// handles ends the process). A destination that is a symbolic link to a
// file has that file replaced (the link stays). A destination that is not a
// regular file (a device, a pipe) is written in place, as renaming over it
// would replace the device rather than write to it. The replacement is a new
// file: its owner is the writing user, and other hard links to the old file
// keep the old bytes.
//
// Nothing here throws; failures are results.
#ifndef QUILLMAP_PLATFORM_TOUTPUTFILE_H
#define QUILLMAP_PLATFORM_TOUTPUTFILE_H

#include <cstddef>
#include <string>

#include "platform/TFileDescriptor.h"

class TOutputFile {
public:
  enum class TMode { InPlace, Replace };

  TOutputFile() = default;
  ~TOutputFile();
  TOutputFile(const TOutputFile&) = delete;
  TOutputFile& operator=(const TOutputFile&) = delete;

  // False when the file (or its replacement) cannot be created, or the
  // destination is a folder.
  bool Open(const std::string& path, TMode mode);
  bool Write(const char* data, std::size_t size) { return MbrFile.WriteAll(data, size); }
  // False when closing, syncing or renaming fails; a replacement is then
  // removed and the destination keeps its bytes.
  bool Commit();
  // The replacement being written; empty in place.
  const std::string& ReplacementPath() const { return MbrStrReplacement; }

private:
  bool OpenReplacement(const std::string& path);
  void Discard();

  TFileDescriptor MbrFile;
  std::string MbrStrTarget;
  std::string MbrStrReplacement;
  int MbrIntPendingSlot = -1;
};

#endif
