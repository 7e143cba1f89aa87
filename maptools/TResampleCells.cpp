#include "maptools/TResampleCells.h"

#include <algorithm>
#include <vector>

#include "maptools/MapSupport.h"
#include "maptools/TBilinearWalk.h"
#include "maptools/TMapTools.h"

TResampleCells::TResampleCells(TMap* sourceFrame, double NewResolution, bool noDataAware)
    : MbrPtrSource(sourceFrame), MbrDblResolution(NewResolution), MbrBlnNoDataAware(noDataAware) {
  mapsupport::RequireResampling(sourceFrame, NewResolution);
  MbrPtrResult.reset(mapsupport::DownscaledFrame(sourceFrame, NewResolution,
                                                 sourceFrame->MbrDblNoDataValue, true));
}

TResampleCells::~TResampleCells() = default;

void TResampleCells::Fill(const double* sourceCells, double* resultCells) {
  TMap* result = MbrPtrResult.get();
  const TCornerPolicy policy =
      MbrBlnNoDataAware ? TCornerPolicy::NoDataAware : TCornerPolicy::Plain;
  TBilinearWalk walk(MbrPtrSource, sourceCells, result, resultCells, MbrDblResolution, policy);
  if (!walk.OnTables()) {
    FillThroughMaps(sourceCells, resultCells);
    return;
  }
  walk.RunOnUnsetCells();
}

void TResampleCells::FillThroughMaps(const double* sourceCells, double* resultCells) {
  TMap source(MbrPtrSource->MbrDblResolution);
  source.MbrLngXDim = MbrPtrSource->MbrLngXDim;
  source.MbrLngYDim = MbrPtrSource->MbrLngYDim;
  source.MbrDblNoDataValue = MbrPtrSource->MbrDblNoDataValue;
  // The axes as they are: a frame's centres need not follow from its edges.
  source.MbrPtrXAxis = MbrPtrSource->MbrPtrXAxis->Clone();
  source.MbrPtrYAxis = MbrPtrSource->MbrPtrYAxis->Clone();
  source.MbrPtrXAxisInterval = MbrPtrSource->MbrPtrXAxisInterval->Clone();
  source.MbrPtrYAxisInterval = MbrPtrSource->MbrPtrYAxisInterval->Clone();
  for (long y = 0; y < source.MbrLngYDim; ++y)
    source.MbrVecValues.emplace_back(sourceCells + y * source.MbrLngXDim,
                                     sourceCells + (y + 1) * source.MbrLngXDim);
  std::unique_ptr<TMap> resampled(
      MbrBlnNoDataAware ? TMapTools::BilinearInterpolateNoDataAware(&source, MbrDblResolution)
                        : TMapTools::BilinearInterpolate(&source, MbrDblResolution));
  for (const std::vector<double>& row : resampled->MbrVecValues)
    resultCells = std::copy(row.begin(), row.end(), resultCells);
}
