// TFileResampling: one file-to-file resampling, run as the pipeline runs it:
// the bytes, the messages (and which comes first) and the destination's fate
// are those of reading the source (TARCGISFileTools::LoadARCGISFile, or
// LoadARCGISFileLenient), resampling it (TMapTools::BilinearInterpolate, or
// BilinearInterpolateNoDataAware) and writing it (WriteARCGISFile with the
// digits) in turn.
//
// The bounded way, for a regular source file that is not the destination
// (or is, when the destination is written as a replacement): the source
// (TArcGridSource) reads its header and checks its body; the walk is planned
// from the header meanwhile (TWalkPlan), and raises the resampling's
// failures once the body has passed; only then does the sink (TArcGridSink)
// create or truncate the destination, and the scheduler (TBandScheduler)
// produces the result in blocks on every worker (TBandWalk) and writes them
// in order. A downscaled result (fewer cells than the source) that fits
// TPipelineKnobs::KeptBytes and the memory budget (TMemoryBudget), from a
// source that hands its rows over (TGridSource::ReadsOnce) and whose rows
// are short, is planned before the body is checked and filled while it is
// checked, from the rows each piece read (TKeptResult), so that the source is
// read once; the kept rows are written once the whole body has passed, and
// a body that cannot hand every row over (values that fail past the grid's
// last) is read a second time by the walk instead. A source that cannot be
// read twice (a pipe), a source that is the destination (by any name), and a
// geometry the plan does not describe take the in-memory way: the whole
// source read, resampled as a map, and written through the same sink
// (TMapBands). Either way nothing reaches the destination before the source
// has been read and the resampling's failures ruled out; with Atomic,
// nothing reaches it before the whole result is written and on disk. Either
// way the settings' Progress hears of each block written, and of the end.
//
// Memory on the bounded way: per worker one band (TPipelineKnobs::BandBytes,
// less when many workers share 12 MiB), its column stations, a row of values
// and two source rows of the band's columns; plus the checkpoints of the
// body and of the plan, and, for rows cut into runs of columns, the runs'
// source rows that the workers share (TRunRowCache, at most
// TPipelineKnobs::RunRowsBytes). Nothing per row or column of either grid, but for a
// kept result: its values, two longs per result row, per worker the values
// of a piece and of the source rows after it that its result rows need, and
// bands of at most 1 MiB.
#ifndef QUILLMAP_PIPELINE_TFILERESAMPLING_H
#define QUILLMAP_PIPELINE_TFILERESAMPLING_H

#include <string>

#include "pipeline/TPipelineKnobs.h"
#include "pipeline/TResampleSettings.h"

class TFileResampling {
public:
  static void Run(const std::string& sourceFile, const std::string& destFile, double NewResolution,
                  const TResampleSettings& settings, const TPipelineKnobs& knobs = {});
};

#endif
