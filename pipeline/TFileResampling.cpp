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
#include "pipeline/TMapBands.h"
#include "pipeline/TWalkPlan.h"
#include "platform/TCores.h"
#include "platform/TFileDescriptor.h"
#include "platform/TFileStatus.h"

namespace {
// The memory the workers' bands share, and the least band.
const std::size_t kSharedBandBytes = 12u << 20;
const std::size_t kLeastBandBytes = 64u << 10;
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

// The bounded way; false, before the destination is touched, when the plan
// does not describe the geometry.
bool RunBounded(const TFileDescriptor& file, std::uint64_t fileBytes, const std::string& destFile,
                double NewResolution, const TResampleSettings& settings,
                const TPipelineKnobs& knobs) {
  const unsigned workers = Workers(settings);
  TArcGridSource source(file, fileBytes, settings.Lenient, knobs);
  source.Open();
  TArcGridSink sink(destFile, settings.Digits, settings.Atomic);
  // The plan needs the header alone: it is made while the values are
  // checked, and raises its failures only when they pass.
  std::optional<TWalkPlan> planned;
  source.Check(workers, [&] {
    planned.emplace(
        source.Geometry(), NewResolution, settings.Policy,
        [&sink](double cells) { return sink.Fits(cells); }, knobs.StationSpacing);
  });
  const TWalkPlan& plan = *planned;
  if (!plan.Streams())
    return false;
  const std::size_t bandBytes = BandBytes(knobs, workers);
  const TBandLayout layout =
      sink.Layout(plan.Result(), bandBytes,
                  plan.ColumnsWithin(
                      static_cast<long>(std::max<std::size_t>(bandBytes / kSourceColumnBytes, 1))));
  sink.Open(plan.Result());
  TBandScheduler::Run(
      layout, sink, workers, [&] { return std::make_unique<TBandWalk>(plan, source); },
      ProgressOf(settings, plan.Result()));
  sink.Close();
  ReportComplete(settings);
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
  const TBandLayout layout = sink.Layout(geometry, BandBytes(knobs, workers), geometry.Columns);
  sink.Open(geometry);
  TBandScheduler::Run(
      layout, sink, workers, [&] { return std::make_unique<TMapBands>(*result); },
      ProgressOf(settings, geometry));
  sink.Close();
  ReportComplete(settings);
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
