// FileState: what stands at a path, taken with lstat so that a symbolic link
// is not followed and a FIFO is not opened: nothing, a regular file with its
// bytes, a directory, a FIFO, a symbolic link with its target, or something
// else; with the inode, the mode and the modification time that tell a file
// rewritten in place, or replaced by another, from one left alone. Also the
// plain reading and writing of a file's bytes.
#ifndef QUILLMAP_TESTS_SUPPORT_FILESTATE_H
#define QUILLMAP_TESTS_SUPPORT_FILESTATE_H

#include <filesystem>
#include <ostream>
#include <string>

struct FileState {
  enum class TKind { None, File, Directory, Fifo, Link, Other };
  TKind Kind = TKind::None;
  std::string Bytes; // of a file; the target of a link
  unsigned long long Inode = 0;
  unsigned Mode = 0;
  long long ModifiedNanoseconds = 0;

  bool operator==(const FileState& other) const;
  bool operator!=(const FileState& other) const { return !(*this == other); }
};

FileState StateOf(const std::filesystem::path& path);

// The bytes of a file ("" when it cannot be read), and a file of the bytes.
std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

// The kind, the mode in octal, inode, time stamp and the first bytes.
void PrintTo(const FileState& state, std::ostream* out);

// Sets the permission bits and a modification time long past (2001), so that
// a run that rewrites the file, or replaces it, shows in its state.
void AgeFile(const std::filesystem::path& path);

#endif
