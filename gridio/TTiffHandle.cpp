#include "gridio/TTiffHandle.h"

#include <algorithm>
#include <ios>
#include <memory>

// libtiff's client handle: the buffer and the sequences its seeks move (a
// string buffer open for input alone refuses to move its output sequence).
struct TTiffHandle::TClient {
  std::streambuf* Buffer;
  std::ios_base::openmode Sequences;
};

namespace {
using TClient = TTiffHandle::TClient;

std::streambuf* BufferOf(thandle_t handle) {
  return static_cast<TClient*>(handle)->Buffer;
}

std::ios_base::openmode SequencesOf(thandle_t handle) {
  return static_cast<TClient*>(handle)->Sequences;
}

tmsize_t ReadBytes(thandle_t handle, void* data, tmsize_t size) {
  return BufferOf(handle)->sgetn(static_cast<char*>(data), size);
}

tmsize_t WriteBytes(thandle_t handle, void* data, tmsize_t size) {
  return BufferOf(handle)->sputn(static_cast<const char*>(data), size);
}

// The position of the sequence that moves last: a string buffer open both
// ways moves each sequence on its own and refuses a relative move of both.
std::streamoff Position(thandle_t handle) {
  const std::ios_base::openmode sequences = SequencesOf(handle);
  const std::ios_base::openmode current =
      sequences & std::ios_base::out ? std::ios_base::out : std::ios_base::in;
  return BufferOf(handle)->pubseekoff(0, std::ios_base::cur, current);
}

// A buffer written to is first padded with zeros up to a position past its
// end, as a file is; a string buffer cannot move there otherwise.
std::streamoff SeekTo(thandle_t handle, std::streamoff offset) {
  std::streambuf* buffer = BufferOf(handle);
  const std::ios_base::openmode sequences = SequencesOf(handle);
  if (sequences & std::ios_base::out) {
    const std::streamoff end = buffer->pubseekoff(0, std::ios_base::end, sequences);
    static const char kZeros[64] = {};
    for (std::streamoff at = end; at >= 0 && at < offset;) {
      const std::streamsize padding = std::min<std::streamoff>(offset - at, sizeof kZeros);
      if (buffer->sputn(kZeros, padding) != padding)
        return -1;
      at += padding;
    }
  }
  return buffer->pubseekpos(offset, sequences);
}

// libtiff reports a failed seek as (toff_t)-1.
toff_t Seek(thandle_t handle, toff_t offset, int whence) {
  const auto relative = static_cast<std::streamoff>(offset);
  std::streamoff at = -1;
  if (whence == SEEK_SET) {
    at = SeekTo(handle, relative);
  } else if (whence == SEEK_CUR) {
    const std::streamoff here = Position(handle);
    at = here < 0 ? -1 : SeekTo(handle, here + relative);
  } else {
    const std::streamoff end =
        BufferOf(handle)->pubseekoff(0, std::ios_base::end, SequencesOf(handle));
    at = end < 0 ? -1 : SeekTo(handle, end + relative);
  }
  return at < 0 ? static_cast<toff_t>(-1) : static_cast<toff_t>(at);
}

toff_t Size(thandle_t handle) {
  const std::streamoff here = Position(handle);
  const std::streamoff end =
      BufferOf(handle)->pubseekoff(0, std::ios_base::end, SequencesOf(handle));
  SeekTo(handle, here);
  return end < 0 ? 0 : static_cast<toff_t>(end);
}

// The caller closes the buffer.
int Close(thandle_t) {
  return 0;
}

int NoMapping(thandle_t, void**, toff_t*) {
  return 0;
}

void NoUnmapping(thandle_t, void*, toff_t) {}

struct TOptionsDeleter {
  void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};
} // namespace

TTiffHandle::TTiffHandle(std::streambuf* buffer, TMode mode)
    : MbrClient(new TClient{buffer, mode == TMode::Read ? std::ios_base::in
                                                        : std::ios_base::in | std::ios_base::out}) {
  std::unique_ptr<TIFFOpenOptions, TOptionsDeleter> options(TIFFOpenOptionsAlloc());
  if (!options) {
    MbrFailed = true;
    return;
  }
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), &TTiffHandle::OnError, this);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), &TTiffHandle::OnWarning, nullptr);
  const char* modeText = "rm";
  if (mode == TMode::Read) {
    MbrFileLength = Size(MbrClient.get());
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(),
                                        static_cast<tmsize_t>(MbrFileLength + kLibraryAllowance));
  } else {
    modeText = mode == TMode::Write ? "wm" : "w8m";
  }
  MbrTiff = TIFFClientOpenExt("", modeText, MbrClient.get(), ReadBytes, WriteBytes, Seek, Close,
                              Size, NoMapping, NoUnmapping, options.get());
}

TTiffHandle::~TTiffHandle() {
  if (MbrTiff != nullptr)
    TIFFCleanup(MbrTiff);
}

bool TTiffHandle::Flush() {
  if (MbrTiff == nullptr || TIFFFlush(MbrTiff) != 1)
    MbrFailed = true;
  return !MbrFailed && MbrClient->Buffer->pubsync() == 0;
}

int TTiffHandle::OnError(TIFF*, void* self, const char*, const char*, va_list) {
  static_cast<TTiffHandle*>(self)->MbrFailed = true;
  return 1;
}

int TTiffHandle::OnWarning(TIFF*, void*, const char*, const char*, va_list) {
  return 1;
}
