// TStreamingResample: resampling a grid file into a grid file by bilinear
// interpolation in bounded memory on every core the process may use, with
// exactly the bytes, messages and file effects of reading the source with
// TARCGISFileTools::LoadARCGISFile (LoadARCGISFileLenient with the lenient
// option), resampling it with TMapTools::BilinearInterpolate
// (BilinearInterpolateNoDataAware) and writing it with TARCGISFileTools::
// WriteARCGISFile (with the digits chosen).
// Internal: TARCGISFileTools::BilinearInterpolateFile is its public form.
//
// The bounded way, for a regular source file that is not the destination:
//   1. the header, read as the reader reads it;
//   2. the body checked value by value as the reader checks it, in pieces
//      cut at white space, one piece per worker at a time; the first failing
//      value in file order decides the message, and a checkpoint (value
//      index, file offset) is kept every few thousand values;
//   3. the destination's geometry from the header alone (the frame that
//      TMapTools::Downscale builds, the walk's stations) and the walk's
//      failure, if any, from it;
//   4. the destination opened and truncated, and its header written;
//   5. bands of destination rows, one per worker at a time: each worker reads
//      the source rows its band needs from the nearest checkpoint, holding two
//      source rows, interpolates and formats its rows, and writes its band
//      when the bands before it are written.
// Nothing reaches the destination before step 4, so every failure of steps 1
// to 3 leaves it as it was. A source that cannot be read twice (not a
// regular file), a source that is the destination (same device and inode),
// and a geometry the stations cannot describe (axes not strictly monotonic)
// take the in-memory pipeline instead.
//
// Memory, whatever the number of rows: per worker, the read window, two
// source rows (raw and divided by the cell area), one destination row and
// the band's text; and the frames' axes and the stations (about 150 bytes a
// row or column of either grid) and the checkpoints (16 bytes per
// checkpoint).
//
// The observable process stays as single-threaded: the workers only read,
// compute and write in file order; failures are raised on the caller's
// thread. Throws what the three in-memory operations throw, in their order,
// and "Unable to write file " followed by the name (a std::string) when
// writing or closing the destination fails.
#ifndef QUILLMAP_GRIDIO_TSTREAMINGRESAMPLE_H
#define QUILLMAP_GRIDIO_TSTREAMINGRESAMPLE_H

#include <cstddef>
#include <string>

#include "gridio/TARCGISFileTools.h"

// The reader's rules, the walk's corner policy and the digits written.
using TResampleOptions = TARCGISFileTools::TResampleOptions;

// Sizes and counts of the machinery, settable so that tests can cross every
// buffer, piece, band and thread boundary with small grids. Defaults suit
// large files.
struct TStreamingKnobs {
  enum class TMode { Auto, InMemory };
  TMode Mode = TMode::Auto;
  // 0: every core the process may run on.
  unsigned Threads = 0;
  // Bytes of each read window.
  std::size_t ReadBytes = 1 << 18;
  // Bytes of body text per checked piece (at least; grows for huge files).
  std::size_t PieceBytes = 1 << 20;
  // Values between checkpoints (at least; grows for huge files).
  long CheckpointValues = 4096;
  // Bytes of destination text per band, counted at the longest text of a
  // value; a band holds one row at least.
  std::size_t BandBytes = 1 << 22;
};

class TStreamingResample {
public:
  static void ResampleFile(const std::string& sourceFile, const std::string& destFile,
                           double NewResolution, const TResampleOptions& options = {},
                           const TStreamingKnobs& knobs = {});
};

#endif
