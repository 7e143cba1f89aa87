// TTiffHandle: one TIFF file open through libtiff over a stream buffer that
// the caller owns (a file's or a string's), closed with the handle. Internal:
// the GeoTIFF reader and writer and their row reader and strip writer share
// it.
//
// libtiff never prints: its warnings are dropped and its errors only mark the
// handle as failed (Failed()), so that each caller reports a failed call with
// a message of its own. Opening for reading needs a seekable buffer; libtiff
// is then refused any single allocation larger than the file's length plus
// kLibraryAllowance, so a hostile directory cannot make it allocate far
// beyond the file. Closing never closes the buffer: the caller closes it and
// checks that close.
//
// Throws nothing; Get() is null when libtiff refused to open.
#ifndef QUILLMAP_GRIDIO_TTIFFHANDLE_H
#define QUILLMAP_GRIDIO_TTIFFHANDLE_H

#include <cstdint>
#include <memory>
#include <streambuf>

#include <tiffio.h>

class TTiffHandle {
public:
  enum class TMode { Read, Write, WriteBigTIFF };
  static constexpr std::uint64_t kLibraryAllowance = std::uint64_t(64) << 20;

  TTiffHandle(std::streambuf* buffer, TMode mode);
  // Frees libtiff's state; a handle open for writing is flushed first (call
  // Flush to learn whether that worked).
  ~TTiffHandle();
  TTiffHandle(const TTiffHandle&) = delete;
  TTiffHandle& operator=(const TTiffHandle&) = delete;

  TIFF* Get() const { return MbrTiff; }
  // libtiff reported an error since the handle was opened.
  bool Failed() const { return MbrFailed; }
  // The length of the buffer's contents when it was opened for reading.
  std::uint64_t FileLength() const { return MbrFileLength; }
  // Writes out everything libtiff holds, the directory included; false when
  // that or anything before it failed.
  bool Flush();

  struct TClient;

private:
  static int OnError(TIFF*, void* self, const char*, const char*, va_list);
  static int OnWarning(TIFF*, void*, const char*, const char*, va_list);

  std::unique_ptr<TClient> MbrClient;
  TIFF* MbrTiff = nullptr;
  bool MbrFailed = false;
  std::uint64_t MbrFileLength = 0;
};

#endif
