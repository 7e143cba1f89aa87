// TARCGISFileTools' file-to-file resampling, kept for the callers of its
// declarations in TARCGISFileTools.h: it is TResampleFileTools', defined here
// so that the reader and writer do not depend on the pipeline above them.
#include "gridio/TARCGISFileTools.h"
#include "pipeline/TResampleFileTools.h"

void TARCGISFileTools::BilinearInterpolateFile(std::string sourceFile, std::string destFile,
                                               double NewResolution) {
  TResampleFileTools::BilinearInterpolateFile(sourceFile, destFile, NewResolution);
}

void TARCGISFileTools::BilinearInterpolateFile(std::string sourceFile, std::string destFile,
                                               double NewResolution,
                                               const TResampleOptions& options) {
  TResampleFileTools::TResampleOptions all;
  static_cast<TResampleOptions&>(all) = options;
  TResampleFileTools::BilinearInterpolateFile(sourceFile, destFile, NewResolution, all);
}
