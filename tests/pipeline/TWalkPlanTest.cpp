// The walk planned from a header against the maps the in-memory operations
// build from it, on many shapes, awkward cell sizes and large coordinates:
//   - the reader's edges streamed from the header equal the frame's axes;
//   - the plan fails exactly where TMapTools::BilinearInterpolate fails, with
//     its message, and otherwise describes its result's geometry;
//   - every streamed station (from the first cell and from any later one,
//     for any checkpoint spacing) equals the station found by TAxis::GetIndex
//     on the maps' axes and the walk's rule for the pair of cells;
//   - rows filled from the plan (TResamplePlan) in any chunks equal the
//     in-memory result's rows to the bit.
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gridio/TGridHeader.h"
#include "maptools/TMapTools.h"
#include "maptools/TWalkRun.h"
#include "pipeline/TResamplePlan.h"
#include "pipeline/TWalkPlan.h"
#include "support/ExpectThrowMsg.h"
#include "support/TestMaps.h"

namespace {
const auto kAlwaysFits = [](double) { return true; };

// The map the reader builds from the header, with scattered values.
std::unique_ptr<TMap> SourceMap(const TGridGeometry& geometry, unsigned seed) {
  TGridHeader header;
  static_cast<TGridGeometry&>(header) = geometry;
  std::unique_ptr<TMap> map = header.Frame();
  const std::vector<double> values =
      ScatteredValues(geometry.Columns * geometry.Rows, seed, geometry.NoData);
  map->MbrVecValues.assign(geometry.Rows, std::vector<double>(geometry.Columns));
  for (long y = 0; y < geometry.Rows; ++y)
    for (long x = 0; x < geometry.Columns; ++x)
      map->MbrVecValues[y][x] = values[y * geometry.Columns + x];
  return map;
}

// The station of ordinate v as the per-point walk finds it on the maps.
TWalkStation OracleStation(TMap* destination, TMap* source, double v, char selector) {
  TWalkStation station = TWalkStation::OutsideAt(v);
  long cell = 0, index = 0;
  try {
    cell = destination->GetIndex(v, selector);
    index = source->GetIndex(v, selector);
  } catch (const char*) {
    return station;
  }
  TAxis* centres = selector == 'X' ? source->MbrPtrXAxis : source->MbrPtrYAxis;
  const long count = selector == 'X' ? source->MbrLngXDim : source->MbrLngYDim;
  const auto centre = [&](long i) { return TAxis::Ordinate(centres->GetPoint(i), selector); };
  // West of (or level with) the centre along x; north of it along y.
  const bool lowerPair = selector == 'X' ? v <= centre(index) : v > centre(index);
  station.Cell = cell;
  station.Low = lowerPair ? index - 1 : index;
  station.High = station.Low + 1;
  if (station.Low < 0) {
    station.Failure = TWalkStation::TFailure::LowIndex;
  } else if (station.High >= count) {
    station.Failure = TWalkStation::TFailure::HighIndex;
  } else {
    station.Failure = TWalkStation::TFailure::None;
    station.LowCentre = centre(station.Low);
    station.HighCentre = centre(station.High);
  }
  return station;
}

std::vector<TWalkStation> OracleStations(TMap* destination, TMap* source, double S, double R,
                                         char selector) {
  TAxis* edges =
      selector == 'X' ? destination->MbrPtrXAxisInterval : destination->MbrPtrYAxisInterval;
  const double first = TAxis::Ordinate(edges->GetPoint(0), selector);
  const double last = TAxis::Ordinate(edges->GetPoint(edges->GetSize() - 1), selector);
  const TWalkRun run =
      selector == 'X' ? TWalkRun::AlongX(first, last, S, R) : TWalkRun::AlongY(first, last, S, R);
  std::vector<TWalkStation> stations;
  TWalkSteps steps(run);
  do
    stations.push_back(OracleStation(destination, source, steps.Value(), selector));
  while (steps.Advance());
  return stations;
}

std::string Difference(const TWalkStation& expected, const TWalkStation& actual) {
  std::ostringstream text;
  text.precision(17);
  if (!SameBits(expected.At, actual.At) || expected.Failure != actual.Failure ||
      (!expected.Fails() &&
       (expected.Cell != actual.Cell || expected.Low != actual.Low ||
        expected.High != actual.High || !SameBits(expected.LowCentre, actual.LowCentre) ||
        !SameBits(expected.HighCentre, actual.HighCentre))))
    text << "at " << expected.At << " / " << actual.At << " cell " << expected.Cell << " / "
         << actual.Cell << " low " << expected.Low << " / " << actual.Low << " centres "
         << expected.LowCentre << ", " << expected.HighCentre << " / " << actual.LowCentre << ", "
         << actual.HighCentre;
  return text.str();
}

// Streams the plan's stations from cell `from` and compares them with the
// oracle's from the first in that cell or after.
template <class TPlan>
void ExpectStations(const TPlan& plan, const std::vector<TWalkStation>& oracle, long from,
                    const std::string& label) {
  std::size_t i = 0;
  while (i < oracle.size() && oracle[i].Cell < from)
    ++i;
  typename TPlan::TCursor cursor(plan, from);
  for (; i < oracle.size(); ++i, cursor.Advance()) {
    ASSERT_FALSE(cursor.AtEnd()) << label << " from " << from << " station " << i;
    ASSERT_EQ(Difference(oracle[i], cursor.Station()), "")
        << label << " from " << from << " station " << i;
  }
  EXPECT_TRUE(cursor.AtEnd()) << label << " from " << from;
}

struct Tally {
  int Planned = 0;
  int Failed = 0;
};

void CheckShape(const TGridGeometry& geometry, double R, long spacing, const std::string& label,
                Tally& tally) {
  std::unique_ptr<TMap> source = SourceMap(geometry, static_cast<unsigned>(geometry.Rows));
  // The reader's edges, streamed.
  const TStepSequence xEdges = TGridHeader::XEdges(geometry, spacing);
  const TStepSequence yEdges = TGridHeader::YEdgesFromSouth(geometry, spacing);
  for (long i = 0; i <= geometry.Columns; ++i)
    ASSERT_TRUE(SameBits(xEdges.Term(i), source->MbrPtrXAxisInterval->GetPoint(i)->x)) << label;
  for (long j = 0; j <= geometry.Rows; ++j)
    ASSERT_TRUE(
        SameBits(yEdges.Term(geometry.Rows - j), source->MbrPtrYAxisInterval->GetPoint(j)->y))
        << label;

  const Outcome expected = Attempt([&] { return TMapTools::BilinearInterpolate(source.get(), R); });
  std::unique_ptr<TWalkPlan> plan;
  const Thrown thrown = CaptureThrow([&] {
    plan = std::make_unique<TWalkPlan>(geometry, R, TCornerPolicy::Plain, kAlwaysFits, spacing);
  });
  ASSERT_EQ(thrown.Describe(), expected.thrown.Describe()) << label;
  if (!expected.map) {
    ++tally.Failed;
    return;
  }
  ASSERT_TRUE(plan->Streams()) << label;
  const TGridGeometry result = TGridHeader::GeometryOf(expected.map.get());
  EXPECT_EQ(plan->Result().Columns, result.Columns) << label;
  EXPECT_EQ(plan->Result().Rows, result.Rows) << label;
  EXPECT_TRUE(SameBits(plan->Result().XLowerLeft, result.XLowerLeft)) << label;
  EXPECT_TRUE(SameBits(plan->Result().YLowerLeft, result.YLowerLeft)) << label;

  std::unique_ptr<TMap> destination(TMapTools::Downscale(source.get(), R));
  const double S = geometry.CellSize;
  if (plan->Columns().Count() > 0) {
    const std::vector<TWalkStation> columns =
        OracleStations(destination.get(), source.get(), S, R, 'X');
    const std::vector<TWalkStation> rows =
        OracleStations(destination.get(), source.get(), S, R, 'Y');
    EXPECT_EQ(plan->Columns().Count(), static_cast<long>(columns.size())) << label;
    EXPECT_EQ(plan->Rows().Count(), static_cast<long>(rows.size())) << label;
    for (long from : {0L, 1L, result.Columns / 3, result.Columns - 1, result.Columns})
      ExpectStations(plan->Columns(), columns, from, label + " columns");
    for (long from : {0L, 1L, result.Rows / 2, result.Rows - 1, result.Rows})
      ExpectStations(plan->Rows(), rows, from, label + " rows");
  }
  ++tally.Planned;
}

TEST(TWalkPlan, StationsAndFailuresAsTheMapsGiveThem) {
  const long sizes[][2] = {{1, 1}, {2, 2}, {3, 3},   {4, 2}, {2, 7},
                           {6, 1}, {9, 4}, {23, 17}, {40, 3}};
  const double cells[] = {0.1, 0.3, 1.0 / 3.0, 2.5, 30.0};
  const double corners[][2] = {{0.0, 0.0}, {-3.3, 12.1}, {1e7 + 0.3, 4.18e6}, {512000.5, -7.25}};
  const double ratios[] = {0.3, 0.5, 0.77, 1.0, 1.7, 2.0, 3.1};
  Tally tally;
  long spacing = 0;
  for (const auto& size : sizes)
    for (double cell : cells)
      for (const auto& corner : corners)
        for (double ratio : ratios) {
          const TGridGeometry geometry{size[0], size[1], corner[0], corner[1], cell, -9999.0};
          // Spacings of 1, 2 and 3 put a checkpoint at nearly every station.
          spacing = (spacing + 1) % 4;
          std::ostringstream label;
          label << size[0] << "x" << size[1] << " cell " << cell << " at (" << corner[0] << ", "
                << corner[1] << ") R = S * " << ratio << " spacing " << spacing;
          CheckShape(geometry, cell * ratio, spacing, label.str(), tally);
          if (HasFatalFailure())
            return;
        }
  EXPECT_GT(tally.Planned, 300);
  EXPECT_GT(tally.Failed, 100);
}

TEST(TWalkPlan, ResolutionAndSizeFailuresComeFirst) {
  const TGridGeometry grid{4, 4, 0.0, 0.0, 1.0, -9999.0};
  for (double R : {0.0, -1.0, std::nan("")})
    EXPECT_THROW_MSG(TWalkPlan(grid, R, TCornerPolicy::Plain, kAlwaysFits),
                     "New resolution cannot be <= 0.0 in TMapTools::BilinearInterpolate");
  EXPECT_THROW_MSG(TWalkPlan(grid, 1e-12, TCornerPolicy::Plain, kAlwaysFits),
                   "Grid dimensions are too large in TMapTools::Downscale");
  EXPECT_THROW_MSG(TWalkPlan(grid, 0.5, TCornerPolicy::Plain, [](double) { return false; }),
                   "Grid dimensions are too large in TMapTools::Downscale");
  EXPECT_THROW_MSG(TWalkPlan(grid, 5.0, TCornerPolicy::Plain, kAlwaysFits),
                   "Index is out of range in TAxis::GetPoint");
  // Coordinates so large that a cell size does not move them: not planned.
  const TWalkPlan huge(TGridGeometry{8, 8, 1e17, 0.0, 1.0, -9999.0}, 0.5, TCornerPolicy::Plain,
                       kAlwaysFits);
  EXPECT_FALSE(huge.Streams());
  EXPECT_EQ(huge.Result().Columns, 16);
}

// Rows from the plan, in chunks of every size, against the in-memory
// result; each chunk from exactly the source rows SourceRows names, given
// one after another and as a table of rows.
TEST(TResamplePlan, RowsInAnyChunksAreTheInMemoryRows) {
  const TGridGeometry shapes[] = {{12, 30, 350000.0, 4650000.0, 30.0, -9999.0},
                                  {30, 12, -3.3, 12.1, 0.3, -32768.0},
                                  {5, 40, 1e7 + 0.3, 0.0, 1.0 / 3.0, 0.0}};
  std::mt19937 random(5);
  for (const TGridGeometry& geometry : shapes)
    for (double ratio : {0.5, 0.77, 2.0})
      for (bool noDataAware : {false, true}) {
        const double R = geometry.CellSize * ratio;
        std::unique_ptr<TMap> source = SourceMap(geometry, 7);
        std::unique_ptr<TMap> expected(
            noDataAware ? TMapTools::BilinearInterpolateNoDataAware(source.get(), R)
                        : TMapTools::BilinearInterpolate(source.get(), R));
        const TResamplePlan plan(geometry, R, noDataAware);
        ASSERT_TRUE(plan.Streams());
        const long columns = plan.Result().Columns;
        const long rows = plan.Result().Rows;
        for (long chunk : {1L, 2L, 3L, 7L, rows}) {
          for (long first = 0; first < rows; first += chunk) {
            const long end = std::min(rows, first + chunk);
            long sourceFirst = 0, sourceEnd = 0;
            plan.SourceRows(first, end, sourceFirst, sourceEnd);
            std::vector<double> block;
            for (long y = sourceFirst; y < sourceEnd; ++y)
              block.insert(block.end(), source->MbrVecValues[y].begin(),
                           source->MbrVecValues[y].end());
            std::vector<double> out((end - first) * columns, 1.5);
            plan.FillRows(first, end, block.data(), sourceFirst, sourceEnd, out.data());
            for (long y = first; y < end; ++y)
              for (long x = 0; x < columns; ++x)
                ASSERT_TRUE(SameBits(out[(y - first) * columns + x], expected->MbrVecValues[y][x]))
                    << "chunk " << chunk << " row " << y << " column " << x;
            // The same rows read where they lie, each row on its own.
            std::vector<const double*> table;
            for (long y = sourceFirst; y < sourceEnd; ++y)
              table.push_back(source->MbrVecValues[y].data());
            std::vector<double> fromTable(out.size(), 2.5);
            plan.FillRows(first, end, table, sourceFirst, fromTable.data());
            for (std::size_t i = 0; i < out.size(); ++i)
              ASSERT_TRUE(SameBits(fromTable[i], out[i])) << "chunk " << chunk << " cell " << i;
            if (sourceEnd > sourceFirst + 1 && std::uniform_int_distribution<int>(0, 1)(random)) {
              // One source row fewer than named is refused.
              EXPECT_THROW_MSG(
                  plan.FillRows(first, end, block.data(), sourceFirst, sourceEnd - 1, out.data()),
                  "Source rows do not cover the result rows in "
                  "TResamplePlan::FillRows");
              table.pop_back();
              EXPECT_THROW_MSG(plan.FillRows(first, end, table, sourceFirst, out.data()),
                               "Source rows do not cover the result rows in "
                               "TResamplePlan::FillRows");
            }
          }
        }
        // Each row's first source row, all at once; the result's frame.
        std::vector<long> firstRows(rows);
        plan.FirstSourceRows(firstRows.data());
        for (long y = 0; y < rows; ++y) {
          long sourceFirst = 0, sourceEnd = 0;
          plan.SourceRows(y, y + 1, sourceFirst, sourceEnd);
          EXPECT_EQ(firstRows[y], sourceEnd > sourceFirst ? sourceFirst : -1) << "row " << y;
        }
        const std::unique_ptr<TMap> frame(plan.NewResultFrame());
        expected->MbrVecValues.clear();
        EXPECT_EQ(MapDifference(expected.get(), frame.get()), "");
      }
}

TEST(TResamplePlan, MisuseAndGeometriesItDoesNotPlan) {
  EXPECT_THROW_MSG(TResamplePlan(TGridGeometry{0, 4, 0.0, 0.0, 1.0, -9999.0}, 0.5),
                   "Grid geometry needs columns, rows and a cell size greater than 0 in "
                   "TResamplePlan::TResamplePlan");
  EXPECT_THROW_MSG(TResamplePlan(TGridGeometry{4, 2, 0.0, 0.0, 1.0, -9999.0}, 0.5),
                   "LngGetY2 is out of range in TMapTools::BilinearInterpolate");
  const TResamplePlan plan(TGridGeometry{6, 6, 0.0, 0.0, 1.0, -9999.0}, 0.5);
  long first = -1, end = -1;
  // The two northern rows lie outside the walk: no source row.
  plan.SourceRows(0, 2, first, end);
  EXPECT_EQ(end - first, 0);
  EXPECT_THROW_MSG(plan.SourceRows(3, 2, first, end),
                   "Result rows are out of range in TResamplePlan::SourceRows");
  double out[12];
  EXPECT_THROW_MSG(plan.FillRows(0, 13, nullptr, 0, 0, out),
                   "Result rows are out of range in TResamplePlan::FillRows");
  for (const auto& rows :
       {std::make_pair(0L, 13L), std::make_pair(-1L, 2L), std::make_pair(3L, 2L)})
    EXPECT_THROW_MSG(plan.CheckFillRows(rows.first, rows.second),
                     "Result rows are out of range in TResamplePlan::FillRows");
  plan.CheckFillRows(0, 12);
  const TResamplePlan huge(TGridGeometry{8, 8, 1e17, 0.0, 1.0, -9999.0}, 0.5);
  EXPECT_FALSE(huge.Streams());
  EXPECT_THROW_MSG(huge.SourceRows(0, 1, first, end),
                   "Grid cannot be planned in rows in TResamplePlan");
  std::vector<long> firstRows(16);
  EXPECT_THROW_MSG(huge.FirstSourceRows(firstRows.data()),
                   "Grid cannot be planned in rows in TResamplePlan");
  EXPECT_THROW_MSG(huge.CheckFillRows(0, 1), "Grid cannot be planned in rows in TResamplePlan");
  // The frame is known all the same.
  const std::unique_ptr<TMap> source = SourceMap(TGridGeometry{8, 8, 1e17, 0.0, 1.0, -9999.0}, 3);
  const std::unique_ptr<TMap> expected(TMapTools::Downscale(source.get(), 0.5));
  expected->MbrVecValues.clear();
  const std::unique_ptr<TMap> frame(huge.NewResultFrame());
  EXPECT_EQ(MapDifference(expected.get(), frame.get()), "");
}
} // namespace
