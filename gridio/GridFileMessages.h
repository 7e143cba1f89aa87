// GridFileMessages: the messages of the grid readers and writer that more
// than one file throws, each text in one place. Internal to the toolkit:
// gridio and the file-to-file resampling above it.
#ifndef QUILLMAP_GRIDIO_GRIDFILEMESSAGES_H
#define QUILLMAP_GRIDIO_GRIDFILEMESSAGES_H

#include <cstddef>

inline const char* const kNoColumnsTag = "File format error: expected to find ncols tag";
inline const char* const kNoRowsTag = "File format error: expectd to find nrows tag";
inline const char* const kNoXCornerTag = "File format error: expected to find xllcorner tag";
inline const char* const kNoYCornerTag = "File format error: expected to find yllcorner tag";
inline const char* const kNoCellSizeTag = "File format error: expected to find cellsize tag";
inline const char* const kNoNoDataTag = "File format error: expected to find NODATA_value tag";
inline const char* const kNoDataNotANumber = "File format error: NODATA_value is not a number";
inline const char* const kCellNotANumber =
    "File format error: cell value is not a number in TARCGISFileTools::LoadARCGISFile";
inline const char* const kEndOfFile =
    "Unexpected end of file found in TARCGISFileTools::LoadARCGISFile";
inline const char* const kDigitsOutOfRange =
    "Digits must lie between 1 and 17 in TARCGISFileTools::WriteARCGISFile";
// The file-open and file-write failures of the readers and writers of every
// format, thrown as std::string with the file name after them.
inline const char* const kOpenFailurePrefix = "Unable to open file ";
inline const char* const kWriteFailurePrefix = "Unable to write file ";
// The longest header word read in full: a longer one fails its keyword test
// all the same, and an endless input without white space cannot hold the
// reader.
inline const std::size_t kLongestHeaderWord = 1 << 20;

#endif
