// TARCGISFileTools: reading and writing raster grids as ESRI ASCII grid files
// (a header of six keyword-value entries, ncols, nrows, xllcorner, yllcorner,
// cellsize and NODATA_value, then the cell values row by row from north to
// south), from and to streams, files by name and lists of files.
//
// Reading follows formatted stream extraction token by token (see
// TGridTokenizer); memory grows with the values actually read, and the map is
// built only once the whole body has been read. The stream form leaves the
// stream just after the last body value. Writing uses the stream's own
// formatting (6 significant digits on a fresh stream); the lower-left corner
// and the cell size get 12 when 6 would not give back the same number.
//
// The lenient reading operations take, beside the strict format, keywords in
// any case, the header entries in any order, xllcenter and yllcenter (the
// corner is then the centre minus half a cell, computed once in double
// precision), no NODATA_value entry (the no-data value is then -9999), a
// UTF-8 byte order mark before the first keyword, and a last value that runs
// up to the end of the input (see TLenientHeader). Everything else, and every
// message, is as for the strict ones; their own messages: "File format
// error: ncols tag appears twice" (likewise each keyword) and "File format
// error: both xllcorner and xllcenter given" (likewise y).
//
// The writing operations with a digit count write the cell values and the
// NODATA_value entry with that many significant digits (1 to 17, "%.<N>g";
// 17 reads back as the same double); the header's corner and cell size keep
// their rule. They throw "Digits must lie between 1 and 17 in
// TARCGISFileTools::WriteARCGISFile" before anything is written.
//
// Ownership: every map read is new and owned by the caller; maps written stay
// the caller's and are not changed.
//
// Throws (as const char*): "File format error: expected to find ncols tag",
// "File format error: expectd to find nrows tag", "File format error: expected
// to find xllcorner tag" (likewise yllcorner, cellsize, NODATA_value), "File
// format error: NODATA_value is not a number", "File format error: ncols must
// be greater than 0" (likewise nrows, cellsize), "Unexpected end of file found
// in TARCGISFileTools::LoadARCGISFile", "File format error: cell value is not
// a number in TARCGISFileTools::LoadARCGISFile", "Map has no axes in
// TARCGISFileTools::WriteARCGISFile", "Size of map list and filename list do
// not match in TARCGISFileTools::WriteFileList", and what the map and axis
// operations throw. As std::string: "Unable to open file " followed by the
// name (a file that cannot be opened, or a directory), "Unable to write file "
// followed by the name (an output error while writing or closing by name).
// BilinearInterpolateFile throws what TResampleFileTools' does.
#ifndef QUILLMAP_GRIDIO_TARCGISFILETOOLS_H
#define QUILLMAP_GRIDIO_TARCGISFILETOOLS_H

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "grid/TMap.h"

class TARCGISFileTools {
public:
  static TMap* LoadARCGISFile(std::istream& stream);
  static TMap* LoadARCGISFile(std::string fileName);
  // Stops at the first file that fails; no map of the list is returned then.
  static std::vector<TMap*> LoadFileList(std::vector<std::string> fileNames);
  static TMap* LoadARCGISFileLenient(std::istream& stream);
  static TMap* LoadARCGISFileLenient(std::string fileName);

  // Leaves the stream open and its error state to the caller.
  static void WriteARCGISFile(TMap* map, std::ostream& stream);
  static void WriteARCGISFile(TMap* map, std::string fileName);
  static void WriteARCGISFile(TMap* map, std::ostream& stream, int digits);
  static void WriteARCGISFile(TMap* map, std::string fileName, int digits);
  // Map i to file i; the lists must have the same length. Stops at the first
  // file that fails; the files written before it stay written.
  static void WriteFileList(std::vector<TMap*> maps, std::vector<std::string> fileNames);

  // Reads the grid file sourceFile, resamples it to the cell size
  // NewResolution by bilinear interpolation and writes the result to
  // destFile, with the bytes, messages and destination's fate of
  // LoadARCGISFile, TMapTools::BilinearInterpolate and WriteARCGISFile in
  // turn, in bounded memory on every core: the file-to-file resampling of
  // pipeline/TResampleFileTools.h (which defines both forms, and whose
  // options extend TResampleOptions), kept here for existing callers.
  static void BilinearInterpolateFile(std::string sourceFile, std::string destFile,
                                      double NewResolution);

  // What BilinearInterpolateFile does beside the defaults. Lenient: the
  // source is read as LoadARCGISFileLenient reads it. NoDataAware: the
  // resampling is TMapTools::BilinearInterpolateNoDataAware. Digits: 0 for
  // the writer's own rule, or 1 to 17 as WriteARCGISFile(map, file, digits)
  // takes them (checked, with its message, before the source is opened).
  struct TResampleOptions {
    bool Lenient = false;
    bool NoDataAware = false;
    int Digits = 0;
  };
  // BilinearInterpolateFile with the options; every combination keeps the
  // bounds and the promises above, against the in-memory operations chosen.
  static void BilinearInterpolateFile(std::string sourceFile, std::string destFile,
                                      double NewResolution, const TResampleOptions& options);
};

#endif
