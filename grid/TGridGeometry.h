// TGridGeometry: the six numbers that place a north-up grid of square cells,
// as a grid file's header gives them: the column and row counts, the
// lower-left corner (the west edge and the south edge), the cell size and
// the no-data value. The grid's edges follow from them by repeated
// addition of the cell size: the Y edges from the south edge northward, the
// X edges from the west edge eastward (TGridHeader::Frame builds them).
// A plain value; nothing here checks or throws.
#ifndef QUILLMAP_GRID_TGRIDGEOMETRY_H
#define QUILLMAP_GRID_TGRIDGEOMETRY_H

struct TGridGeometry {
  long Columns = 0;
  long Rows = 0;
  double XLowerLeft = 0.0;
  double YLowerLeft = 0.0;
  double CellSize = 0.0;
  double NoData = 0.0;
};

#endif
