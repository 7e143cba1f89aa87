#include "support/ReferenceGridReader.h"

#include <memory>
#include <string>
#include <vector>

TMap* ReferenceLoadGrid(std::istream& is) {
  std::string word;
  long ncols = 0;
  long nrows = 0;
  double xllcorner = 0.0;
  double yllcorner = 0.0;
  double cellsize = 0.0;
  double nodata = 0.0;
  is >> word >> ncols;
  if (word != "ncols")
    throw "File format error: expected to find ncols tag";
  is >> word >> nrows;
  if (word != "nrows")
    throw "File format error: expectd to find nrows tag";
  is >> word >> xllcorner;
  if (word != "xllcorner")
    throw "File format error: expected to find xllcorner tag";
  is >> word >> yllcorner;
  if (word != "yllcorner")
    throw "File format error: expected to find yllcorner tag";
  is >> word >> cellsize;
  if (word != "cellsize")
    throw "File format error: expected to find cellsize tag";
  is >> word;
  if (word != "NODATA_value" && word != "nodata_value")
    throw "File format error: expected to find NODATA_value tag";
  is >> nodata;
  // A value cut by the end of the input runs into the body, which reports it.
  if (is.fail() && !is.eof())
    throw "File format error: NODATA_value is not a number";
  if (ncols <= 0)
    throw "File format error: ncols must be greater than 0";
  if (nrows <= 0)
    throw "File format error: nrows must be greater than 0";
  if (!(cellsize > 0.0))
    throw "File format error: cellsize must be greater than 0";

  std::vector<double> values;
  for (long i = 0; i < nrows; ++i)
    for (long j = 0; j < ncols; ++j) {
      double value = 0.0;
      is >> value;
      if (is.eof())
        throw "Unexpected end of file found in TARCGISFileTools::LoadARCGISFile";
      if (is.fail())
        throw "File format error: cell value is not a number in TARCGISFileTools::LoadARCGISFile";
      values.push_back(value);
    }

  auto map = std::make_unique<TMap>(cellsize, ncols, nrows);
  map->MbrDblNoDataValue = nodata;
  for (long i = 0; i < nrows; ++i)
    for (long j = 0; j < ncols; ++j)
      map->SetPoint(j, i, values[i * ncols + j]);

  auto yEdges = std::make_unique<TAxis>(cellsize, nrows + 1);
  yEdges->SetPoint(nrows, new TPoint(xllcorner, yllcorner));
  for (long i = nrows - 1; i >= 0; --i)
    yEdges->SetPoint(i, new TPoint(xllcorner, yEdges->GetPoint(i + 1)->y + cellsize));
  const double north = yEdges->GetPoint(0)->y;
  auto xEdges = std::make_unique<TAxis>(cellsize, ncols + 1);
  xEdges->SetPoint(0, new TPoint(xllcorner, north));
  for (long i = 1; i <= ncols; ++i)
    xEdges->SetPoint(i, new TPoint(xEdges->GetPoint(i - 1)->x + cellsize, north));
  map->SetXAxisInterval(xEdges.get());
  map->SetYAxisInterval(yEdges.get());
  return map.release();
}
