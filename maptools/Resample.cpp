// TMapTools: bilinear resampling of a map to another cell size.
#include <memory>

#include "maptools/BilinearFormula.h"
#include "maptools/MapSupport.h"
#include "maptools/MapToolsMessages.h"
#include "maptools/TBilinearWalk.h"
#include "maptools/TMapTools.h"

namespace {
const char* const kNoAxes = "Map has no axes in TMapTools::BilinearInterpolate";

bool IsComplete(TAxis* axis) {
  if (axis == nullptr)
    return false;
  for (const TPoint* point : axis->MbrVecPoints)
    if (point == nullptr)
      return false;
  return true;
}

TMap* Resample(TMap* source, double NewResolution, TCornerPolicy policy) {
  mapsupport::RequireResampling(source, NewResolution);
  std::unique_ptr<TMap> destination(
      mapsupport::DownscaledReserved(source, NewResolution, source->MbrDblNoDataValue));
  TBilinearWalk(source, destination.get(), NewResolution, policy).RunOnReservedRows();
  return destination.release();
}
} // namespace

void mapsupport::RequireResampling(TMap* source, double NewResolution) {
  if (!(NewResolution > 0.0))
    throw kResolutionNotPositive;
  if (!IsComplete(source->MbrPtrXAxis) || !IsComplete(source->MbrPtrYAxis) ||
      !IsComplete(source->MbrPtrXAxisInterval) || !IsComplete(source->MbrPtrYAxisInterval))
    throw kNoAxes;
}

TMap* TMapTools::BilinearInterpolate(TMap* source, double NewResolution) {
  return Resample(source, NewResolution, TCornerPolicy::Plain);
}

TMap* TMapTools::BilinearInterpolateNoDataAware(TMap* source, double NewResolution) {
  return Resample(source, NewResolution, TCornerPolicy::NoDataAware);
}

void TMapTools::BilinearInterpolate(TMapPoint* P11, TMapPoint* P21, TMapPoint* P12, TMapPoint* P22,
                                    TMapPoint* T) {
  T->value = BilinearInterpolate(P11->value, P21->value, P12->value, P22->value, T->x, P11->x,
                                 P21->x, T->y, P11->y, P12->y);
}

double TMapTools::BilinearInterpolate(double Q11, double Q21, double Q12, double Q22, double x,
                                      double x1, double x2, double y, double y1, double y2) {
  return bilinear::Interpolate(Q11, Q21, Q12, Q22, x, x1, x2, y, y1, y2);
}
