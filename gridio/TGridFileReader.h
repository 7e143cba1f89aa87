// TGridFileReader: an ESRI ASCII grid file read by name in two steps, for
// callers that hold the values in a buffer of their own (a numpy array, say):
// the header first, so that the caller can size the buffer, then the body
// straight into that buffer, row-major, row 0 the northern row. The values,
// the messages and which comes first are those of
// TARCGISFileTools::LoadARCGISFile (LoadARCGISFileLenient with lenient), which
// reads by name through this class: a regular file worth several workers is
// read in pieces on every core, anything else (a small file, a pipe) as a
// stream, wholly at construction.
//
// Memory: the buffer is the caller's and is asked for only once the file is
// known to hold enough bytes for the values its header counts; a file too
// short for them fails at construction with the body's message, before any
// buffer is sized. Besides it, the reader holds the values, briefly, only
// where a word of the body is other than one value (a fault, or "1-2").
//
// Ownership: the reader owns the open file until it is destroyed; frames
// and maps it returns are new and owned by the caller; the buffer stays the
// caller's. Not for use by several threads at once.
//
// Throws what LoadARCGISFile throws: at construction "Unable to open file "
// followed by the name (as std::string) and the header's messages (as const
// char*); from ReadCells and NewMap the body's ("Unexpected end of file
// found in TARCGISFileTools::LoadARCGISFile", "File format error: cell value
// is not a number in TARCGISFileTools::LoadARCGISFile"), which a short file
// raises at construction instead. The body is read once: ReadCells and NewMap
// may be called once between them.
#ifndef QUILLMAP_GRIDIO_TGRIDFILEREADER_H
#define QUILLMAP_GRIDIO_TGRIDFILEREADER_H

#include <istream>
#include <memory>
#include <string>

#include "grid/TGridGeometry.h"
#include "grid/TMap.h"

class TGridFileReader {
public:
  TGridFileReader(const std::string& fileName, bool lenient = false);
  ~TGridFileReader();
  TGridFileReader(const TGridFileReader&) = delete;
  TGridFileReader& operator=(const TGridFileReader&) = delete;

  // The header's counts, lower-left corner, cell size and no-data value.
  const TGridGeometry& Geometry() const;
  // Writes the Geometry().Rows x Geometry().Columns values into cells; on
  // failure their content is unspecified.
  void ReadCells(double* cells);
  // The whole map, as LoadARCGISFile returns it.
  TMap* NewMap();
  // The map's counts, cell size, no-data value and four axes, no stored rows.
  TMap* NewFrame() const;

  // A grid read from the stream's position, as LoadARCGISFile(std::istream&)
  // reads it; a new map that the caller owns.
  static TMap* LoadStream(std::istream& stream, bool lenient);

private:
  struct TState;
  std::unique_ptr<TState> MbrPtrState;
};

#endif
