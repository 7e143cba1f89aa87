#include "pipeline/TResampleFileTools.h"

#include <algorithm>
#include <cctype>

#include "gridio/GridFileMessages.h"
#include "pipeline/PipelineMessages.h"
#ifdef QUILLMAP_HAS_GEOTIFF
#include "gridio/TGeoTIFFFileTools.h"
#endif
#include "pipeline/TFileResampling.h"
#include "pipeline/TResampleSettings.h"
#include "platform/TFileStatus.h"
#include "text/TDigits.h"

namespace {
using TFormat = TResampleFileTools::TResampleOptions::TFormat;

bool EndsWithTiffName(const std::string& name) {
  std::string lower(name);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  const auto endsWith = [&lower](const std::string& end) {
    return lower.size() >= end.size() &&
           lower.compare(lower.size() - end.size(), end.size(), end) == 0;
  };
  return endsWith(".tif") || endsWith(".tiff");
}

// A pipe or device is not read ahead of the reader: it counts as ESRI ASCII.
bool StartsLikeTiff(const std::string& sourceFile) {
#ifdef QUILLMAP_HAS_GEOTIFF
  return TFileStatus::Of(sourceFile).Regular && TGeoTIFFFileTools::StartsLikeTiff(sourceFile);
#else
  (void)sourceFile;
  return false;
#endif
}

bool IsGeoTIFF(TFormat format, bool automatic) {
  const bool geotiff = format == TFormat::GeoTIFF || (format == TFormat::Auto && automatic);
#ifndef QUILLMAP_HAS_GEOTIFF
  if (geotiff)
    throw kGeoTIFFNotBuilt;
#endif
  return geotiff;
}
} // namespace

void TResampleFileTools::BilinearInterpolateFile(std::string sourceFile, std::string destFile,
                                                 double NewResolution) {
  BilinearInterpolateFile(sourceFile, destFile, NewResolution, TResampleOptions());
}

void TResampleFileTools::BilinearInterpolateFile(std::string sourceFile, std::string destFile,
                                                 double NewResolution,
                                                 const TResampleOptions& options) {
  if (!TDigits::IsSetting(options.Digits))
    throw kDigitsOutOfRange;
  TResampleSettings settings;
  settings.Lenient = options.Lenient;
  settings.Policy = options.NoDataAware ? TCornerPolicy::NoDataAware : TCornerPolicy::Plain;
  settings.Digits = TDigits(options.Digits);
  settings.Threads = options.Threads;
  settings.Atomic = options.Atomic;
  settings.Progress = options.Progress;
  settings.InputGeoTIFF = IsGeoTIFF(options.InputFormat, options.InputFormat == TFormat::Auto &&
                                                             StartsLikeTiff(sourceFile));
  settings.Band = options.Band;
  settings.OutputGeoTIFF = IsGeoTIFF(options.OutputFormat, EndsWithTiffName(destFile));
  settings.GeoTIFF = options.GeoTIFF;
  TFileResampling::Run(sourceFile, destFile, NewResolution, settings);
}
