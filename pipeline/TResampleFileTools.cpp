#include "pipeline/TResampleFileTools.h"

#include "gridio/GridFileMessages.h"
#include "pipeline/TFileResampling.h"
#include "pipeline/TResampleSettings.h"
#include "text/TDigits.h"

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
  TFileResampling::Run(sourceFile, destFile, NewResolution, settings);
}
