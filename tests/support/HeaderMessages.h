// HeaderMessages: the grid readers' header messages as the tests expect
// them, written out here once rather than taken from the library, so that a
// changed text shows as a failure.
#ifndef QUILLMAP_TESTS_SUPPORT_HEADERMESSAGES_H
#define QUILLMAP_TESTS_SUPPORT_HEADERMESSAGES_H

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

#endif
