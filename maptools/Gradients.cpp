// Trends over series of maps: per-cell least-squares slopes over windows of
// consecutive maps.
#include <memory>

#include "maptools/MapSupport.h"
#include "maptools/TMapTools.h"
#include "numeric/TVectorTools.h"

namespace {
using TRows = std::vector<std::vector<double>>;

// The fit of one cell over the maps of one window position. Everything a cell
// needs (the maps' rows and no-data values, the map positions that serve as x,
// the x and y lists of the fit) is set up once and reused from cell to cell,
// so a cell costs no allocation. The maps must hold exactly their dimensions'
// rows and cells, all of the same dimensions.
class TWindowFit {
public:
  TWindowFit(const std::vector<TMap*>& maps, int window)
      : MbrVecMaps(maps), MbrIntWindow(window), MbrIntFirst(0),
        MbrLngXDim(maps.front()->MbrLngXDim), MbrLngYDim(maps.front()->MbrLngYDim), MbrLngRow(-1),
        MbrVecRows(window + 1), MbrVecRow(window + 1), MbrVecNoData(window + 1),
        MbrVecX(window + 1), MbrVecY(window + 1) {}

  // Covers maps first .. first + window.
  void MoveTo(int first) {
    MbrIntFirst = first;
    MbrLngRow = -1;
    MbrVecPositions = TVectorTools::VectorSeries(first, first + MbrIntWindow, 1.0);
    for (int l = 0; l <= MbrIntWindow; ++l) {
      MbrVecRows[l] = &MbrVecMaps[first + l]->MbrVecValues;
      MbrVecNoData[l] = MbrVecMaps[first + l]->MbrDblNoDataValue;
    }
  }

  // The slope of cell (LngX, LngY); false (slope untouched) when the cell is
  // 0 in the window's first map.
  bool Fit(long LngX, long LngY, double& slope) {
    if (LngY != MbrLngRow)
      MoveToRow(LngY);
    if (MbrVecRow[0][LngX] == 0.0)
      return false;
    if (MbrIntWindow == 0)
      ThrowNotASeries(LngX, LngY);
    std::size_t count = 0;
    for (int l = 0; l <= MbrIntWindow; ++l) {
      double value = MbrVecRow[l][LngX];
      // The last map's zero is data; earlier zeros are gaps filled from around.
      if (l < MbrIntWindow && value == 0.0)
        value = NonzeroNeighbour(*MbrVecRows[l], LngX, LngY);
      if (value != MbrVecNoData[l]) {
        MbrVecX[count] = MbrVecPositions[l];
        MbrVecY[count] = value;
        ++count;
      }
    }
    slope = TVectorTools::Gradient(MbrVecX.data(), MbrVecY.data(), count);
    return true;
  }

private:
  // One map is no series: the series read refuses it with its own message;
  // the values it would read are not needed.
  void ThrowNotASeries(long LngX, long LngY) const {
    static_cast<void>(TMapTools::GetValuesVector(MbrVecMaps, LngX, LngY, MbrIntFirst, MbrIntFirst));
  }
  void MoveToRow(long LngY) {
    MbrLngRow = LngY;
    for (int l = 0; l <= MbrIntWindow; ++l)
      MbrVecRow[l] = (*MbrVecRows[l])[LngY].data();
  }

  // TMapTools::FindNonzeroNeighbourVal without its checks: the right-most
  // column of the block that holds a nonzero value gives its first one.
  double NonzeroNeighbour(const TRows& rows, long LngX, long LngY) const {
    const long left = LngX > 0 ? LngX - 1 : 0;
    const long right = LngX + 1 < MbrLngXDim ? LngX + 1 : LngX;
    const long top = LngY > 0 ? LngY - 1 : 0;
    const long bottom = LngY + 1 < MbrLngYDim ? LngY + 1 : LngY;
    for (long column = right; column >= left; --column)
      for (long row = top; row <= bottom; ++row)
        if (rows[row][column] != 0.0)
          return rows[row][column];
    return 0.0;
  }

  const std::vector<TMap*>& MbrVecMaps;
  int MbrIntWindow;
  int MbrIntFirst;
  long MbrLngXDim;
  long MbrLngYDim;
  long MbrLngRow;
  std::vector<const TRows*> MbrVecRows;
  // The data of row MbrLngRow in each map of the window.
  std::vector<const double*> MbrVecRow;
  std::vector<double> MbrVecNoData;
  std::vector<double> MbrVecPositions;
  std::vector<double> MbrVecX;
  std::vector<double> MbrVecY;
};

// Row by row: the result has the dimensions of the input maps.
void FillByRows(TWindowFit& fit, TMap& result) {
  double slope = 0.0;
  for (long LngY = 0; LngY < result.MbrLngYDim; ++LngY) {
    std::vector<double>& row = result.MbrVecValues[LngY];
    for (long LngX = 0; LngX < result.MbrLngXDim; ++LngX)
      if (fit.Fit(LngX, LngY, slope))
        row[LngX] = slope;
  }
}

// Column by column through the checked store, for a result whose dimensions
// (taken from map 0's centre axes) disagree with the maps' own.
void FillByColumns(TWindowFit& fit, TMap& result, long columns, long rows) {
  double slope = 0.0;
  for (long LngX = 0; LngX < columns; ++LngX)
    for (long LngY = 0; LngY < rows; ++LngY)
      if (fit.Fit(LngX, LngY, slope))
        result.SetPoint(LngX, LngY, slope);
}

void RequireSameDimensions(const std::vector<TMap*>& maps) {
  for (std::size_t m = 1; m < maps.size(); ++m)
    if (maps[m]->MbrLngXDim != maps[0]->MbrLngXDim || maps[m]->MbrLngYDim != maps[0]->MbrLngYDim)
      throw "Map dimensions do not match in TMapTools::ValueGradients";
}

void RequireReadableSeries(const std::vector<TMap*>& maps) {
  for (const TMap* map : maps)
    mapsupport::RequireStoredRows(
        map, "Map rows do not match its dimensions in TMapTools::ValueGradients");
  mapsupport::RequireCentreAxes(maps[0], "Map has no axes in TMapTools::ValueGradients");
}
} // namespace

std::vector<TMap*> TMapTools::ValueGradients(std::vector<TMap*> maps, int window) {
  if (window < 0)
    throw "Window size must not be negative in TMapTools::ValueGradients";
  if (static_cast<std::size_t>(window) > maps.size())
    throw "Window size must be < number of maps in TMapTools::ValueGradients";
  RequireSameDimensions(maps);
  const int positions = static_cast<int>(maps.size()) - window;
  if (positions == 0)
    return {};
  RequireReadableSeries(maps);

  const TMap& first = *maps.front();
  TWindowFit fit(maps, window);
  mapsupport::TMadeMaps built;
  built.Reserve(positions);
  for (int position = 0; position < positions; ++position) {
    fit.MoveTo(position);
    auto result = std::make_unique<TMap>(first.MbrPtrXAxis, first.MbrPtrYAxis);
    if (result->MbrLngXDim == first.MbrLngXDim && result->MbrLngYDim == first.MbrLngYDim)
      FillByRows(fit, *result);
    else
      FillByColumns(fit, *result, first.MbrLngXDim, first.MbrLngYDim);
    built.Add(std::move(result));
  }
  return built.Release();
}
