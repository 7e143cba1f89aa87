#include "support/LiteralResample.h"

#include <cmath>
#include <memory>

#include "maptools/TMapTools.h"

namespace {
void Check(bool inside, const char* message) {
  if (!inside)
    throw message;
}

void LiteralPoint(TMap* source, TMap* destination, bool descending, bool noDataAware, double x,
                  double y) {
  std::unique_ptr<TPoint> walkPoint(new TPoint(x, y));
  std::unique_ptr<TMapPoint> inDestination(destination->GetPoint(walkPoint.get()));
  std::unique_ptr<TMapPoint> inSource(source->GetPoint(walkPoint.get()));
  const long col = source->GetIndex(x, 'X');
  const long row = source->GetIndex(y, 'Y');
  const double cx = source->MbrPtrXAxis->GetPoint(col)->x;
  const double cy = source->MbrPtrYAxis->GetPoint(row)->y;

  long X1 = col, X2 = col + 1, Y1 = row, Y2 = row + 1;
  if (x <= cx) {
    X1 = col - 1;
    X2 = col;
  }
  if (descending ? y > cy : y <= cy) {
    Y1 = row - 1;
    Y2 = row;
  }
  const long nx = source->MbrLngXDim, ny = source->MbrLngYDim;
  Check(X1 >= 0 && X1 < nx, "LngGetX1 is out of range in TMapTools::BilinearInterpolate");
  Check(X2 >= 0 && X2 < nx, "LngGetX2 is out of range in TMapTools::BilinearInterpolate");
  Check(Y1 >= 0 && Y1 < ny, "LngGetY1 is out of range in TMapTools::BilinearInterpolate");
  Check(Y2 >= 0 && Y2 < ny, "LngGetY2 is out of range in TMapTools::BilinearInterpolate");

  std::unique_ptr<TMapPoint> P11(source->GetPoint(X1, Y1));
  std::unique_ptr<TMapPoint> P21(source->GetPoint(X2, Y1));
  std::unique_ptr<TMapPoint> P12(source->GetPoint(X1, Y2));
  std::unique_ptr<TMapPoint> P22(source->GetPoint(X2, Y2));
  const double x1 = P11->x, y1 = P11->y, x2 = P21->x, y2 = P12->y;
  const double A = (x2 - x1) * (y2 - y1);
  double value = P11->value / A * (x2 - x) * (y2 - y);
  value = value + P21->value / A * (x - x1) * (y2 - y);
  value = value + P12->value / A * (x2 - x) * (y - y1);
  value = value + P22->value / A * (x - x1) * (y - y1);
  const double noData = source->MbrDblNoDataValue;
  for (TMapPoint* corner : {P11.get(), P21.get(), P12.get(), P22.get()})
    if (noDataAware && (corner->value == noData || std::isnan(corner->value)))
      value = noData;
  std::unique_ptr<TMapPoint> target(new TMapPoint(x, y, value));
  destination->SetPoint(target.get(), target->value);
}
} // namespace

TMap* LiteralBilinearInterpolate(TMap* source, double NewResolution, bool noDataAware) {
  const char* const stall =
      "New resolution is too small for the map's coordinates in TMapTools::BilinearInterpolate";
  const double R = NewResolution;
  if (!(R > 0))
    throw "New resolution cannot be <= 0.0 in TMapTools::BilinearInterpolate";
  std::unique_ptr<TMap> destination(TMapTools::Downscale(source, R));
  destination->MbrDblNoDataValue = source->MbrDblNoDataValue;
  destination->InitValues(source->MbrDblNoDataValue);

  const double S = source->MbrDblResolution;
  std::unique_ptr<TPoint> first(destination->MbrPtrXAxisInterval->GetPoint(0)->Clone());
  std::unique_ptr<TPoint> last(
      destination->MbrPtrXAxisInterval->GetPoint(destination->MbrLngXDim)->Clone());
  const double Xa = first->x, Xb = last->x;
  first.reset(destination->MbrPtrYAxisInterval->GetPoint(0)->Clone());
  last.reset(destination->MbrPtrYAxisInterval->GetPoint(destination->MbrLngYDim)->Clone());
  const double Ya = first->y, Yb = last->y;

  const bool descending = Ya > Yb;
  const double yStart = descending ? Ya - S - R : Ya + S;
  const double yStep = descending ? -R : R;
  double x = Xa + S;
  if (x > Xb - S - R)
    return destination.release();
  for (;;) {
    double y = yStart;
    LiteralPoint(source, destination.get(), descending, noDataAware, x, y);
    for (;;) {
      const double previous = y;
      y = y + yStep;
      if (descending ? !(y >= Yb + S) : !(y <= Yb - S))
        break;
      if (y == previous)
        throw stall;
      LiteralPoint(source, destination.get(), descending, noDataAware, x, y);
    }
    const double previous = x;
    x = x + R;
    if (!(x <= Xb - S - R))
      return destination.release();
    if (x == previous)
      throw stall;
  }
}
