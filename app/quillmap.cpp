// quillmap: resamples an ESRI ASCII grid to a new cell size by bilinear
// interpolation. "quillmap source_file dest_file NewResolution" reads the
// source, resamples it and writes the result, in bounded memory; the
// destination is opened only once the resampling has succeeded. Every failure of the tool is
// printed as one line on standard output, and the exit status is 0 either way.
#include <iostream>
#include <string>

#include "gridio/TARCGISFileTools.h"
#include "numeric/TDecimalText.h"

namespace {
void Run(int argc, char** argv) {
  if (argc != 4)
    throw "Usage: quillmap source_file dest_file NewResolution";
  const std::string sourceFile(argv[1]);
  const std::string destFile(argv[2]);
  const double NewResolution = TDecimalText::ToDouble(argv[3]);

  TARCGISFileTools::BilinearInterpolateFile(sourceFile, destFile, NewResolution);
}
} // namespace

int main(int argc, char** argv) {
  try {
    Run(argc, argv);
  } catch (const char* message) {
    if (message != nullptr)
      std::cout << message << std::endl;
  } catch (const std::string& message) {
    std::cout << message << std::endl;
  }
  return 0;
}
