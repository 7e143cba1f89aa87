// TWalkFailure: which failure the resampling walk raises first, from the
// stations of its columns and rows alone. The walk visits its points column
// by column (x outer), every row of a column in turn (y inner); a point
// fails where its column's or its row's station does, with the message of
// its first failing step: the lookups (of the result cell, then of the
// source cell: "Ordinate is out of range in TAxis::GetIndex") for either
// ordinate, then the index checks X1, X2, Y1, Y2. A stall of the rows is
// raised after the first column, one of the columns after the walk.
//
// So the first failure is: the first column's own failure (its first point
// fails), else the first failing row (in the first column), else a stall of
// the rows, else the first failing column, else a stall of the columns.
// Internal: the in-memory walk and the file-to-file resampling raise it
// before writing anything.
#ifndef QUILLMAP_MAPTOOLS_TWALKFAILURE_H
#define QUILLMAP_MAPTOOLS_TWALKFAILURE_H

#include "maptools/TWalkStation.h"

class TWalkFailure {
public:
  // The message of a point, null when it succeeds.
  static const char* OfPoint(const TWalkStation& column, const TWalkStation& row);
  // Throws the walk's first failure; returns when the walk succeeds. A walk
  // without columns (firstColumn null) succeeds; the failing stations are
  // null where none fails.
  static void RaiseFirst(const TWalkStation* firstColumn, const TWalkStation& firstRow,
                         const TWalkStation* failingRow, bool rowsStall,
                         const TWalkStation* failingColumn, bool columnsStall);
};

#endif
