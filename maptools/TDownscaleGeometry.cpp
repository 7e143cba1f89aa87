#include "maptools/TDownscaleGeometry.h"

#include <cstdint>
#include <limits>

bool TDownscaleGeometry::FitsCount(double count) {
  return count > static_cast<double>(std::numeric_limits<std::int32_t>::min()) - 1.0 &&
         count < static_cast<double>(std::numeric_limits<std::int32_t>::max()) + 1.0;
}

TDownscaleGeometry::TDownscaleGeometry(double cellSize, long columns, long rows,
                                       double NewResolution, const char* tooLarge)
    : MbrDblResolution(NewResolution), MbrDblColumns(cellSize * columns / NewResolution),
      MbrDblRows(cellSize * rows / NewResolution) {
  if (!FitsCount(MbrDblColumns) || !FitsCount(MbrDblRows))
    throw tooLarge;
  MbrLngColumns = static_cast<std::int32_t>(MbrDblColumns);
  MbrLngRows = static_cast<std::int32_t>(MbrDblRows);
}

TStepSequence TDownscaleGeometry::XCentres(double x0, long spacing) const {
  return TStepSequence(x0 + MbrDblResolution / 2, MbrDblResolution, MbrLngColumns, spacing);
}

TStepSequence TDownscaleGeometry::YCentres(double y0, double yn, long spacing) const {
  const double half = MbrDblResolution / 2;
  if (yn > y0)
    return TStepSequence(y0 + half, MbrDblResolution, MbrLngRows, spacing);
  return TStepSequence(y0 - half, -MbrDblResolution, MbrLngRows, spacing);
}
