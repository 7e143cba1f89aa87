// TLenientHeader: reads the header of an ESRI ASCII grid under the lenient
// rules, from the words and numbers of a TGridTokenizer, leaving it at the
// first body value. Beside what the strict header takes, it takes keywords in
// any case, the entries in any order, xllcenter and yllcenter in place of
// xllcorner and yllcorner, no NODATA_value entry (the no-data value is then
// -9999), and a UTF-8 byte order mark before the first keyword.
//
// A centre gives the corner as centre - cellsize / 2, one rounding in double
// precision once the whole header is read. The header ends once ncols, nrows,
// a corner or centre in each direction and cellsize have been read and
// either NODATA_value has been read too or the next token does not start with
// a letter (a number always starts with a digit, a sign or a point).
//
// Throws (as const char*) the strict reader's messages where it would:
// a word that is no keyword, or a header that ends early, gives the message
// of the first entry missing in the canonical order ("File format error:
// expected to find ncols tag", "...expectd to find nrows tag", ...xllcorner,
// yllcorner, cellsize); a value that is not a number gives the message of the
// first entry missing after it ("...NODATA_value tag" after the last of
// them), a no-data value that is not a number "File format error:
// NODATA_value is not a number", and a word that follows a complete header
// where NODATA_value may stand "File format error: cell value is not a number
// in TARCGISFileTools::LoadARCGISFile". Its own: "File format error: ncols tag
// appears twice" (likewise for each keyword, in lower case) and "File format
// error: both xllcorner and xllcenter given" (likewise y).
#ifndef QUILLMAP_GRIDIO_TLENIENTHEADER_H
#define QUILLMAP_GRIDIO_TLENIENTHEADER_H

#include "grid/TGridGeometry.h"
#include "gridio/TGridTokenizer.h"

class TLenientHeader {
public:
  // The entries as read; TGridHeader::Read checks the counts and cell size.
  static TGridGeometry Read(TGridTokenizer& in);
};

#endif
