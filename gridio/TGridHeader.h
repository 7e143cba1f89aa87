// TGridHeader: the values of an ESRI ASCII grid's header as read, before any
// check: column and row counts, the lower-left corner, the cell size and the
// no-data value. Internal to the grid readers; a plain value type.
#ifndef QUILLMAP_GRIDIO_TGRIDHEADER_H
#define QUILLMAP_GRIDIO_TGRIDHEADER_H

struct TGridHeader {
  long Columns = 0;
  long Rows = 0;
  double XLowerLeft = 0.0;
  double YLowerLeft = 0.0;
  double CellSize = 0.0;
  double NoData = 0.0;
};

#endif
