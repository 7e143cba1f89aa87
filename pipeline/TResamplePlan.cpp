#include "pipeline/TResamplePlan.h"

#include <algorithm>
#include <utility>

#include "gridio/TGridHeader.h"
#include "maptools/MapSupport.h"
#include "pipeline/PipelineMessages.h"
#include "pipeline/TBandEncoder.h"
#include "pipeline/TBandWalk.h"
#include "pipeline/TMemoryRows.h"
#include "pipeline/TWalkPlan.h"

namespace {
const char* const kBadGeometry = "Grid geometry needs columns, rows and a cell size greater than "
                                 "0 in TResamplePlan::TResamplePlan";
const char* const kNotPlanned = "Grid cannot be planned in rows in TResamplePlan";
const char* const kSourceRowsRange = "Result rows are out of range in TResamplePlan::SourceRows";
const char* const kFillRowsRange = "Result rows are out of range in TResamplePlan::FillRows";

// The rows of a block written in the caller's array, row after row.
class TValueRows : public TBandEncoder {
public:
  explicit TValueRows(double* out) : MbrPtrOut(out) {}
  void Begin(const TBlock& block) override { MbrLngWidth = block.Width(); }
  double* RowRoom() override { return MbrPtrOut; }
  void Row(const double* values) override {
    if (values != MbrPtrOut)
      std::copy(values, values + MbrLngWidth, MbrPtrOut);
    MbrPtrOut += MbrLngWidth;
  }
  void End() override {}

private:
  double* MbrPtrOut;
  long MbrLngWidth = 0;
};

void RequireRows(const TWalkPlan& plan, long first, long end, const char* message) {
  if (!plan.Streams())
    throw kNotPlanned;
  if (first < 0 || first > end || end > plan.Result().Rows)
    throw message;
}

// Result rows [first, end) and the source rows [sourceFirst, sourceEnd)
// given for them: in range, and covering those the result rows need.
void RequireFill(const TWalkPlan& plan, long first, long end, long sourceFirst, long sourceEnd) {
  RequireRows(plan, first, end, kFillRowsRange);
  long low = 0, high = 0;
  if (plan.SourceRowsOf(first, end, low, high) && (low < sourceFirst || high > sourceEnd))
    throw kSourceRowsMissing;
}

// Result rows [first, end) written in out, from the rows of source.
void FillFrom(const TWalkPlan& plan, long first, long end, const TMemoryRows& source, double* out) {
  TBandWalk walk(plan, source);
  TBlock block;
  block.FirstRow = first;
  block.EndRow = end;
  block.FirstColumn = 0;
  block.EndColumn = plan.Result().Columns;
  TValueRows values(out);
  walk.Produce(block, values);
}
} // namespace

TResamplePlan::TResamplePlan(const TGridGeometry& source, double NewResolution, bool noDataAware) {
  if (source.Columns <= 0 || source.Rows <= 0 || !(source.CellSize > 0.0))
    throw kBadGeometry;
  MbrPtrPlan = std::make_unique<TWalkPlan>(
      source, NewResolution, noDataAware ? TCornerPolicy::NoDataAware : TCornerPolicy::Plain,
      [](double) { return true; });
}

TResamplePlan::~TResamplePlan() = default;

bool TResamplePlan::Streams() const {
  return MbrPtrPlan->Streams();
}

const TGridGeometry& TResamplePlan::Result() const {
  return MbrPtrPlan->Result();
}

void TResamplePlan::SourceRows(long first, long end, long& sourceFirst, long& sourceEnd) const {
  RequireRows(*MbrPtrPlan, first, end, kSourceRowsRange);
  MbrPtrPlan->SourceRowsOf(first, end, sourceFirst, sourceEnd);
}

TMap* TResamplePlan::NewResultFrame() const {
  TGridHeader header;
  static_cast<TGridGeometry&>(header) = MbrPtrPlan->Source();
  const std::unique_ptr<TMap> source = header.Frame();
  return mapsupport::DownscaledFrame(source.get(), MbrPtrPlan->Result().CellSize,
                                     MbrPtrPlan->Source().NoData);
}

void TResamplePlan::FirstSourceRows(long* first) const {
  RequireRows(*MbrPtrPlan, 0, 0, kSourceRowsRange);
  MbrPtrPlan->FirstSourceRows(first);
}

void TResamplePlan::CheckFillRows(long first, long end) const {
  RequireRows(*MbrPtrPlan, first, end, kFillRowsRange);
}

void TResamplePlan::FillRows(long first, long end, const double* rows, long sourceFirst,
                             long sourceEnd, double* out) const {
  RequireFill(*MbrPtrPlan, first, end, sourceFirst, sourceEnd);
  FillFrom(*MbrPtrPlan, first, end, TMemoryRows(MbrPtrPlan->Source(), rows, sourceFirst, sourceEnd),
           out);
}

void TResamplePlan::FillRows(long first, long end, std::vector<const double*> rows,
                             long sourceFirst, double* out) const {
  RequireFill(*MbrPtrPlan, first, end, sourceFirst, sourceFirst + static_cast<long>(rows.size()));
  FillFrom(*MbrPtrPlan, first, end, TMemoryRows(MbrPtrPlan->Source(), std::move(rows), sourceFirst),
           out);
}
