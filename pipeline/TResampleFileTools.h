// TResampleFileTools: resampling a grid file into a grid file by bilinear
// interpolation, in bounded memory on every core the process may use. The
// bytes written, the messages (and which comes first) and the destination's
// fate are those of TARCGISFileTools::LoadARCGISFile, TMapTools::
// BilinearInterpolate and TARCGISFileTools::WriteARCGISFile in turn (or the
// lenient, no-data-aware and digits forms the options choose), for any
// number of workers.
//
// A regular source file is read twice and never held: a first pass checks
// every value as the reader would, the result's geometry and the
// resampling's failures follow from the header alone, and only then is the
// destination created or truncated and written, band by band. Memory stays
// within a few tens of MiB whatever the grids' shapes: about 4 MiB per
// worker for its band and as much for its source rows, besides checkpoints
// of 16 to 40 bytes per few thousand values, rows or columns. A source that
// cannot be read twice (a pipe, a device), a source that is the destination
// itself (by any name), and coordinates so large that adding a cell size
// leaves them unchanged are resampled in memory instead.
//
// Throws what the three in-memory operations throw, in their order, and, as
// std::string, "Unable to write file " followed by the name when writing or
// closing the destination fails (a full disk); "Digits must lie between 1
// and 17 in TARCGISFileTools::WriteARCGISFile" before the source is opened.
// With a GeoTIFF source or result, what TGeoTIFFFileTools throws in their
// place; "GeoTIFF is not built in TResampleFileTools::BilinearInterpolateFile"
// when the library was built without it.
// "Grid dimensions are too large in TMapTools::Downscale" also refuses, on
// the bounded way, a result that could not fit the destination's file system
// at two bytes a cell.
#ifndef QUILLMAP_PIPELINE_TRESAMPLEFILETOOLS_H
#define QUILLMAP_PIPELINE_TRESAMPLEFILETOOLS_H

#include <functional>
#include <string>

#include "gridio/TARCGISFileTools.h"
#include "gridio/TGeoTIFFWriteOptions.h"

class TResampleFileTools {
public:
  // The options of TARCGISFileTools::TResampleOptions (Lenient, NoDataAware,
  // Digits), and those of the pipeline, all opt-in.
  struct TResampleOptions : TARCGISFileTools::TResampleOptions {
    // The workers: 0 for every core the process may use, else that many
    // (fewer where threads cannot be started). The bytes are the same for any
    // number.
    unsigned Threads = 0;
    // Write the result to a new file in the destination's folder and rename
    // it over the destination only once it is complete and on disk (fsync),
    // with the permission bits of the file it replaces, on either way: any
    // failure (a full disk, a killed process) leaves an existing destination
    // exactly as it was, and the new file is removed wherever the process can
    // still do so. The destination becomes a new file (its owner the writing
    // user; other hard links keep the old bytes), and the file system needs
    // room for both until the rename. A destination that is not a regular
    // file (a device) is written in place.
    bool Atomic = false;
    // Where progress is reported, when set: called with the fraction of the
    // result's cells written, increasing, after each block of result rows
    // (or of a row's columns) that reaches the destination, and with 1 once
    // the destination is complete; on one thread at a time, not always the
    // caller's. Nothing is called for a run that fails before writing. What
    // it throws before the end ends the run and reaches the caller, as a
    // write failure would (with Atomic, the destination stays as it was).
    std::function<void(double)> Progress;
    // The formats of the source and the result: ESRI ASCII (the default),
    // GeoTIFF, or Auto: a source by its first bytes (a TIFF signature in a
    // regular file is GeoTIFF), a result by its name (ending in .tif or
    // .tiff, in any case, is GeoTIFF). Lenient and Digits concern ESRI ASCII
    // only; NoDataAware, Threads, Atomic and Progress both.
    enum class TFormat { Ascii, GeoTIFF, Auto };
    TFormat InputFormat = TFormat::Ascii;
    TFormat OutputFormat = TFormat::Ascii;
    // The band of a GeoTIFF source, from 1.
    long Band = 1;
    // The sample type and compression of a GeoTIFF result.
    TGeoTIFFWriteOptions GeoTIFF;
  };

  static void BilinearInterpolateFile(std::string sourceFile, std::string destFile,
                                      double NewResolution);
  static void BilinearInterpolateFile(std::string sourceFile, std::string destFile,
                                      double NewResolution, const TResampleOptions& options);
};

#endif
