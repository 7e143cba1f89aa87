// TPipelineKnobs: the sizes and the mode of the file-to-file resampling's
// machinery, settable so that tests can cross every buffer, piece,
// checkpoint, band and station boundary with small grids. The defaults suit
// large files. Internal: the library's entry points use the defaults.
#ifndef QUILLMAP_PIPELINE_TPIPELINEKNOBS_H
#define QUILLMAP_PIPELINE_TPIPELINEKNOBS_H

#include <cstddef>

struct TPipelineKnobs {
  enum class TMode { Auto, InMemory };
  // InMemory: always the in-memory way (read, resample, write).
  TMode Mode = TMode::Auto;
  // Bytes of each read window.
  std::size_t ReadBytes = 1 << 18;
  // Bytes of body text per checked piece (at least; more for huge files).
  std::size_t PieceBytes = 1 << 20;
  // Values between body checkpoints (at least; more for huge files).
  long CheckpointValues = 4096;
  // Bytes of one worker's band (at the room of the longest value text), and
  // of its source rows; less where many workers share the memory.
  std::size_t BandBytes = 1 << 22;
  // Bytes of source rows kept for the runs of columns that rows too long
  // for a band are cut into, so that the next result row's block of a run
  // reads no source row again; 0 for none. The default holds two rows'
  // quotients of a source 1.3 million columns wide.
  std::size_t RunRowsBytes = 20u << 20;
  // Walk stations between the plan's checkpoints; 0 for the plan's choice.
  long StationSpacing = 0;
  // Bytes the result's values may take for a source read once (a result of
  // fewer cells than the source's); 0 for two reads always.
  std::size_t KeptBytes = 40u << 20;
  // Bytes of values a GeoTIFF source read once decodes per run (at least a
  // strip or a row of tiles); a run of more than 16 times that is only
  // checked, and the source read again.
  std::size_t HandedBytes = 1 << 20;
};

#endif
