#include "pipeline/TFileResampling.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "gridio/TARCGISFileTools.h"
#include "gridio/TGridHeader.h"
#include "maptools/TMapTools.h"
#include "pipeline/TArcGridSink.h"
#include "pipeline/TArcGridSource.h"
#include "pipeline/TBandScheduler.h"
#include "pipeline/TBandWalk.h"
#include "pipeline/TKeptResult.h"
#include "pipeline/TMapBands.h"
#include "pipeline/TWalkPlan.h"
#include "platform/TCores.h"
#include "platform/TFileDescriptor.h"
#include "platform/TFileStatus.h"
#include "platform/TMemoryBudget.h"

namespace {
// The memory the workers' bands share, and the least band.
const std::size_t kSharedBandBytes = 12u << 20;
const std::size_t kLeastBandBytes = 64u << 10;
// The band of a result kept in memory: its text beside the kept values
// stays small, and its writes large.
const std::size_t kKeptBandBytes = 1u << 20;
// A source column a band reads takes two values and two quotients.
const std::size_t kSourceColumnBytes = 4 * sizeof(double);

unsigned Workers(const TResampleSettings& settings) {
  return settings.Threads > 0 ? settings.Threads : TCores::Usable();
}

// Reports, after each block, the fraction of the result's cells written up
// to the block's end; 1 only once the destination is complete.
TBandScheduler::TWritten ProgressOf(const TResampleSettings& settings,
                                    const TGridGeometry& result) {
  if (!settings.Progress)
    return [](const TBlock&) {};
  const double cells = static_cast<double>(result.Columns) * static_cast<double>(result.Rows);
  return [&settings, cells, columns = result.Columns](const TBlock& block) {
    const double written = static_cast<double>(block.EndRow - 1) * static_cast<double>(columns) +
                           static_cast<double>(block.EndColumn);
    if (written < cells)
      settings.Progress(written / cells);
  };
}

void ReportComplete(const TResampleSettings& settings) {
  if (settings.Progress)
    settings.Progress(1.0);
}

std::size_t BandBytes(const TPipelineKnobs& knobs, unsigned workers) {
  return std::min(knobs.BandBytes, std::max(kLeastBandBytes, kSharedBandBytes / workers));
}

// Produces each block of a layout with the sink, then reports progress.
void WriteBands(TArcGridSink& sink, const TGridGeometry& result, const TBandLayout& layout,
                unsigned workers, const TBandScheduler::TNewProducer& newProducer,
                const TResampleSettings& settings) {
  sink.Open(result);
  TBandScheduler::Run(layout, sink, workers, newProducer, ProgressOf(settings, result));
  sink.Close();
  ReportComplete(settings);
}

// The second read: the walk reads the source rows it needs from the file.
void WriteWalked(const TWalkPlan& plan, const TArcGridSource& source, TArcGridSink& sink,
                 unsigned workers, const TResampleSettings& settings, const TPipelineKnobs& knobs) {
  const std::size_t bandBytes = BandBytes(knobs, workers);
  const TBandLayout layout =
      sink.Layout(plan.Result(), bandBytes,
                  plan.ColumnsWithin(
                      static_cast<long>(std::max<std::size_t>(bandBytes / kSourceColumnBytes, 1))));
  WriteBands(
      sink, plan.Result(), layout, workers,
      [&] { return std::make_unique<TBandWalk>(plan, source); }, settings);
}

// The plan made before the body is checked, for a source read once: only
// where it streams, the result has fewer cells than the source and its
// values fit the memory given; else nothing (and the two reads raise the
// plan's failures in their turn).
bool PlanAhead(std::optional<TWalkPlan>& planned, const TGridGeometry& source, double NewResolution,
               const TResampleSettings& settings, const TArcGridSink& sink,
               const TPipelineKnobs& knobs) {
  if (knobs.KeptBytes == 0 || source.Columns <= 0 || source.Rows <= 0)
    return false;
  try {
    planned.emplace(
        source, NewResolution, settings.Policy, [&sink](double cells) { return sink.Fits(cells); },
        knobs.StationSpacing);
  } catch (...) {
    planned.reset();
    return false;
  }
  const TGridGeometry& result = planned->Result();
  const double cells = static_cast<double>(result.Columns) * static_cast<double>(result.Rows);
  const double bytes = cells * sizeof(double);
  if (!planned->Streams() ||
      cells >= static_cast<double>(source.Columns) * static_cast<double>(source.Rows) ||
      bytes > static_cast<double>(knobs.KeptBytes) || !TMemoryBudget::Holds(bytes)) {
    planned.reset();
    return false;
  }
  return true;
}

// The bounded way; false, before the destination is touched, when the plan
// does not describe the geometry.
bool RunBounded(const TFileDescriptor& file, std::uint64_t fileBytes, const std::string& destFile,
                double NewResolution, const TResampleSettings& settings,
                const TPipelineKnobs& knobs) {
  const unsigned workers = Workers(settings);
  TArcGridSource source(file, fileBytes, settings.Lenient, knobs);
  source.Open();
  TArcGridSink sink(destFile, settings.Digits, settings.Atomic);
  std::optional<TWalkPlan> planned;
  if (PlanAhead(planned, source.Geometry(), NewResolution, settings, sink, knobs)) {
    TKeptResult kept(*planned);
    if (kept.Holds()) {
      if (source.CheckAndUse(workers, kept.Use())) {
        const TGridGeometry& result = planned->Result();
        WriteBands(
            sink, result,
            sink.Layout(result, std::min(BandBytes(knobs, workers), kKeptBandBytes),
                        result.Columns),
            workers, [&] { return std::make_unique<TKeptResult::TBands>(kept); }, settings);
      } else {
        WriteWalked(*planned, source, sink, workers, settings, knobs);
      }
      return true;
    }
    planned.reset();
  }
  // The plan needs the header alone: it is made while the values are
  // checked, and raises its failures only when they pass.
  source.Check(workers, [&] {
    planned.emplace(
        source.Geometry(), NewResolution, settings.Policy,
        [&sink](double cells) { return sink.Fits(cells); }, knobs.StationSpacing);
  });
  if (!planned->Streams())
    return false;
  WriteWalked(*planned, source, sink, workers, settings, knobs);
  return true;
}

void RunInMemory(const std::string& sourceFile, const std::string& destFile, double NewResolution,
                 const TResampleSettings& settings, const TPipelineKnobs& knobs) {
  std::unique_ptr<TMap> source(settings.Lenient
                                   ? TARCGISFileTools::LoadARCGISFileLenient(sourceFile)
                                   : TARCGISFileTools::LoadARCGISFile(sourceFile));
  std::unique_ptr<TMap> result(
      settings.Policy == TCornerPolicy::NoDataAware
          ? TMapTools::BilinearInterpolateNoDataAware(source.get(), NewResolution)
          : TMapTools::BilinearInterpolate(source.get(), NewResolution));
  const unsigned workers = Workers(settings);
  const TGridGeometry geometry = TGridHeader::GeometryOf(result.get());
  TArcGridSink sink(destFile, settings.Digits, settings.Atomic);
  WriteBands(
      sink, geometry, sink.Layout(geometry, BandBytes(knobs, workers), geometry.Columns), workers,
      [&] { return std::make_unique<TMapBands>(*result); }, settings);
}
} // namespace

void TFileResampling::Run(const std::string& sourceFile, const std::string& destFile,
                          double NewResolution, const TResampleSettings& settings,
                          const TPipelineKnobs& knobs) {
  // Only the name is examined before a source that is not a regular file is
  // opened: opening a pipe twice would lose what its writer wrote.
  if (knobs.Mode == TPipelineKnobs::TMode::Auto && TFileStatus::Of(sourceFile).Regular) {
    const TFileDescriptor file = TFileDescriptor::OpenForReading(sourceFile);
    const TFileStatus status = TFileStatus::Of(file);
    // A replacement leaves the source as it is until it is complete.
    if (status.Regular && (settings.Atomic || !status.IsSameFile(TFileStatus::Of(destFile))) &&
        RunBounded(file, status.Bytes, destFile, NewResolution, settings, knobs))
      return;
  }
  RunInMemory(sourceFile, destFile, NewResolution, settings, knobs);
}
