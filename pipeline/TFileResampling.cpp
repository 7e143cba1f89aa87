#include "pipeline/TFileResampling.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "gridio/TARCGISFileTools.h"
#include "gridio/TGeoTIFFTags.h"
#include "gridio/TGridHeader.h"
#include "maptools/TMapTools.h"
#include "pipeline/TArcGridSink.h"
#include "pipeline/TArcGridSource.h"
#include "pipeline/TBandScheduler.h"
#include "pipeline/TBandWalk.h"
#include "pipeline/TKeptResult.h"
#include "pipeline/TMapBands.h"
#include "pipeline/TRunRowCache.h"
#include "pipeline/TWalkPlan.h"
#ifdef QUILLMAP_HAS_GEOTIFF
#include "gridio/TGeoTIFFFileTools.h"
#include "pipeline/TGeoTIFFSink.h"
#include "pipeline/TGeoTIFFSource.h"
#endif
#include "platform/TCores.h"
#include "platform/TFileDescriptor.h"
#include "platform/TFileStatus.h"
#include "platform/TMemoryBudget.h"

namespace {
// The memory the workers' bands share, and the least band.
const std::size_t kSharedBandBytes = 12u << 20;
const std::size_t kLeastBandBytes = 64u << 10;
// The bands of a kept result: its rows are in memory already.
const std::size_t kKeptBandBytes = 1u << 20;
// A source read once: each worker holds the rows that start in its piece and
// the rows after them that their result rows need, so rows must be short.
const long kKeptSourceColumns = (1 << 20) / sizeof(double);
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

// The sink of the format chosen; tags (GeoKeys to carry into a GeoTIFF) may
// be null and are read when the sink opens.
std::unique_ptr<TGridSink> NewSink(const std::string& destFile, const TResampleSettings& settings,
                                   const TGeoTIFFTags* tags) {
#ifdef QUILLMAP_HAS_GEOTIFF
  if (settings.OutputGeoTIFF)
    return std::make_unique<TGeoTIFFSink>(destFile, settings.GeoTIFF, tags, settings.Atomic);
#else
  (void)tags;
#endif
  return std::make_unique<TArcGridSink>(destFile, settings.Digits, settings.Atomic);
}

// Produces each block of a layout with the sink, then reports progress.
void WriteBands(TGridSink& sink, const TGridGeometry& result, const TBandLayout& layout,
                unsigned workers, const TBandScheduler::TNewProducer& newProducer,
                const TResampleSettings& settings) {
  sink.Open(result);
  TBandScheduler::Run(layout, sink, workers, newProducer, ProgressOf(settings, result));
  sink.Close();
  ReportComplete(settings);
}

// The second read: the walk reads the source rows it needs from the source.
void WriteWalked(const TWalkPlan& plan, const TGridSource& source, TGridSink& sink,
                 unsigned workers, const TResampleSettings& settings, const TPipelineKnobs& knobs) {
  const std::size_t bandBytes = BandBytes(knobs, workers);
  const TBandLayout layout =
      sink.Layout(plan.Result(), bandBytes,
                  plan.ColumnsWithin(
                      static_cast<long>(std::max<std::size_t>(bandBytes / kSourceColumnBytes, 1))));
  const std::size_t runRowsBytes =
      TMemoryBudget::Holds(static_cast<double>(knobs.RunRowsBytes)) ? knobs.RunRowsBytes : 0;
  TRunRowCache runRows(plan, layout, runRowsBytes);
  WriteBands(
      sink, plan.Result(), layout, workers,
      [&] { return std::make_unique<TBandWalk>(plan, source, &runRows); }, settings);
}

// The plan made before the body is checked, for a source read once: only
// where the source hands its rows over, its rows are short, the plan streams, the result has
// fewer cells than the source and its values fit the memory given; else
// nothing (and the two reads raise the plan's failures in their turn).
bool PlanAhead(std::optional<TWalkPlan>& planned, const TGridSource& source, double NewResolution,
               const TResampleSettings& settings, const TGridSink& sink,
               const TPipelineKnobs& knobs) {
  const TGridGeometry& geometry = source.Geometry();
  if (knobs.KeptBytes == 0 || !source.ReadsOnce() || geometry.Columns <= 0 ||
      geometry.Columns > kKeptSourceColumns || geometry.Rows <= 0)
    return false;
  try {
    planned.emplace(
        geometry, NewResolution, settings.Policy,
        [&sink](double cells) { return sink.Fits(cells); }, knobs.StationSpacing);
  } catch (...) {
    planned.reset();
    return false;
  }
  const TGridGeometry& result = planned->Result();
  const double cells = static_cast<double>(result.Columns) * static_cast<double>(result.Rows);
  const double bytes = TKeptResult::Bytes(result);
  if (!planned->Streams() ||
      cells >= static_cast<double>(geometry.Columns) * static_cast<double>(geometry.Rows) ||
      bytes > static_cast<double>(knobs.KeptBytes) || !TMemoryBudget::Holds(bytes)) {
    planned.reset();
    return false;
  }
  return true;
}

// The single read of a downscaled source; false, having done nothing, when
// the result is not to be kept.
bool RunKept(TGridSource& source, TGridSink& sink, double NewResolution,
             const TResampleSettings& settings, const TPipelineKnobs& knobs) {
  std::optional<TWalkPlan> planned;
  if (!PlanAhead(planned, source, NewResolution, settings, sink, knobs))
    return false;
  TKeptResult kept(*planned);
  if (!kept.Holds())
    return false;
  const unsigned workers = Workers(settings);
  if (!source.CheckAndUse(workers, kept.Use())) {
    WriteWalked(*planned, source, sink, workers, settings, knobs);
    return true;
  }
  const TGridGeometry& result = planned->Result();
  WriteBands(
      sink, result,
      sink.Layout(result, std::min(BandBytes(knobs, workers), kKeptBandBytes), result.Columns),
      workers, [&] { return std::make_unique<TKeptResult::TBands>(kept); }, settings);
  return true;
}

// The bounded way; false, before the destination is touched, when the plan
// does not describe the geometry.
bool RunBounded(TGridSource& source, const TGeoTIFFTags* tags, const std::string& destFile,
                double NewResolution, const TResampleSettings& settings,
                const TPipelineKnobs& knobs) {
  const unsigned workers = Workers(settings);
  source.Open();
  const std::unique_ptr<TGridSink> sink = NewSink(destFile, settings, tags);
  if (RunKept(source, *sink, NewResolution, settings, knobs))
    return true;
  // The plan needs the header alone: it is made while the values are
  // checked, and raises its failures only when they pass.
  std::optional<TWalkPlan> planned;
  source.Check(workers, [&] {
    planned.emplace(
        source.Geometry(), NewResolution, settings.Policy,
        [&sink](double cells) { return sink->Fits(cells); }, knobs.StationSpacing);
  });
  if (!planned->Streams())
    return false;
  WriteWalked(*planned, source, *sink, workers, settings, knobs);
  return true;
}

// The whole source, read as the settings say; tags receive a GeoTIFF's.
TMap* LoadSource(const std::string& sourceFile, const TResampleSettings& settings,
                 TGeoTIFFTags& tags) {
#ifdef QUILLMAP_HAS_GEOTIFF
  if (settings.InputGeoTIFF)
    return TGeoTIFFFileTools::LoadGeoTIFFFile(sourceFile, settings.Band, &tags);
#else
  (void)tags;
#endif
  return settings.Lenient ? TARCGISFileTools::LoadARCGISFileLenient(sourceFile)
                          : TARCGISFileTools::LoadARCGISFile(sourceFile);
}

void RunInMemory(const std::string& sourceFile, const std::string& destFile, double NewResolution,
                 const TResampleSettings& settings, const TPipelineKnobs& knobs) {
  TGeoTIFFTags tags;
  std::unique_ptr<TMap> source(LoadSource(sourceFile, settings, tags));
  std::unique_ptr<TMap> result(
      settings.Policy == TCornerPolicy::NoDataAware
          ? TMapTools::BilinearInterpolateNoDataAware(source.get(), NewResolution)
          : TMapTools::BilinearInterpolate(source.get(), NewResolution));
  const unsigned workers = Workers(settings);
  const TGridGeometry geometry = TGridHeader::GeometryOf(result.get());
  const std::unique_ptr<TGridSink> sink = NewSink(destFile, settings, &tags);
  WriteBands(
      *sink, geometry, sink->Layout(geometry, BandBytes(knobs, workers), geometry.Columns), workers,
      [&] { return std::make_unique<TMapBands>(*result); }, settings);
}

// The bounded way from a regular file open for reading.
bool RunBoundedFrom(const TFileDescriptor& file, std::uint64_t fileBytes,
                    const std::string& sourceFile, const std::string& destFile,
                    double NewResolution, const TResampleSettings& settings,
                    const TPipelineKnobs& knobs) {
#ifdef QUILLMAP_HAS_GEOTIFF
  if (settings.InputGeoTIFF) {
    TGeoTIFFSource source(sourceFile, settings.Band, knobs);
    return RunBounded(source, &source.Tags(), destFile, NewResolution, settings, knobs);
  }
#else
  (void)sourceFile;
#endif
  TArcGridSource source(file, fileBytes, settings.Lenient, knobs);
  return RunBounded(source, nullptr, destFile, NewResolution, settings, knobs);
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
        RunBoundedFrom(file, status.Bytes, sourceFile, destFile, NewResolution, settings, knobs))
      return;
  }
  RunInMemory(sourceFile, destFile, NewResolution, settings, knobs);
}
