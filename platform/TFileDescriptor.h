// TFileDescriptor: an open file of the operating system, owned: closed when
// the descriptor is destroyed, or at Close, which tells whether closing
// succeeded. Reads are positioned (pread), so that several readers may share
// one descriptor at once; writes go on until every byte is written.
//
// Invariants: a descriptor is open or empty (IsOpen false, as after a failed
// open or after Close); moving it leaves the source empty. Interrupted calls
// are retried. Nothing here throws; failures are results.
#ifndef QUILLMAP_PLATFORM_TFILEDESCRIPTOR_H
#define QUILLMAP_PLATFORM_TFILEDESCRIPTOR_H

#include <cstddef>
#include <cstdint>
#include <string>

class TFileDescriptor {
public:
  TFileDescriptor() = default;
  ~TFileDescriptor();
  TFileDescriptor(TFileDescriptor&& other) noexcept;
  TFileDescriptor& operator=(TFileDescriptor&& other) noexcept;
  TFileDescriptor(const TFileDescriptor&) = delete;
  TFileDescriptor& operator=(const TFileDescriptor&) = delete;

  // Empty when the file cannot be opened.
  static TFileDescriptor OpenForReading(const std::string& path);
  // Creates the file (mode 0666 less the umask) or truncates it to empty.
  static TFileDescriptor CreateOrTruncate(const std::string& path);
  // Creates a file that must not exist yet, with the mode given (less the
  // umask); empty when it exists or cannot be created.
  static TFileDescriptor CreateNew(const std::string& path, unsigned mode);

  bool IsOpen() const { return MbrIntFd >= 0; }
  // The operating system's number for the file, -1 when empty.
  int Number() const { return MbrIntFd; }

  // Up to `bytes` bytes from `offset` into buffer; 0 at the end of the file
  // or on a read error.
  std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t bytes) const;
  // All of the bytes, at the file's position; false on an output error.
  bool WriteAll(const char* data, std::size_t size) const;
  // Sets the permission bits; false on failure.
  bool SetMode(unsigned mode) const;
  // Puts what was written on the storage device (fsync); false on failure.
  bool Sync() const;
  // Closes now; false when closing reports an error (the descriptor is empty
  // either way).
  bool Close();

private:
  explicit TFileDescriptor(int fd) : MbrIntFd(fd) {}

  int MbrIntFd = -1;
};

#endif
