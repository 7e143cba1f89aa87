// quillmap: resamples an ESRI ASCII grid to a new cell size by bilinear
// interpolation. "quillmap source_file dest_file NewResolution" reads the
// source, resamples it and writes the result in bounded memory
// (TResampleFileTools::BilinearInterpolateFile); the destination is opened only
// once the resampling has succeeded. Every failure of the tool is printed as
// one line on standard output, and the exit status is 0 either way. Options
// before the three arguments (TCommandLine) choose the lenient reader, the
// no-data-aware interpolation, the digits of the values written, the
// destination written as a replacement renamed over it at the end (its
// unfinished replacement removed when a signal ends the tool), and failures
// reported on standard error with status 1, and the progress line on
// standard error (TProgressLine); all of them go to the file-to-file
// resampling.
#include <iostream>
#include <string>

#include "app/TCommandLine.h"
#include "app/TProgressLine.h"
#include "numeric/TDecimalText.h"
#include "pipeline/TResampleFileTools.h"
#include "platform/TPendingFiles.h"

namespace {
void Run(const TCommandLine& line, TProgressLine& progress) {
  if (line.Action() == TCommandLine::TAction::Fail)
    throw line.Failure();
  const std::string& sourceFile = line.SourceFile();
  const std::string& destFile = line.DestFile();
  const double NewResolution = TDecimalText::ToDouble(line.NewResolution().c_str());

  TResampleFileTools::TResampleOptions options;
  options.Lenient = line.Lenient();
  options.NoDataAware = line.NoDataAware();
  options.Digits = line.Digits();
  options.Atomic = line.Atomic();
  options.InputFormat = line.InputFormat();
  options.OutputFormat = line.OutputFormat();
  options.Band = line.Band();
  options.GeoTIFF = line.GeoTIFF();
  if (line.Progress())
    options.Progress = [&progress](double fraction) { progress.Report(fraction); };
  if (options.Atomic)
    TPendingFiles::InstallSignalCleanup();
  TResampleFileTools::BilinearInterpolateFile(sourceFile, destFile, NewResolution, options);
}

int Report(const TCommandLine& line, TProgressLine& progress, const char* message) {
  progress.Interrupt();
  if (!line.ExitStatus()) {
    if (message != nullptr)
      std::cout << message << std::endl;
    return 0;
  }
  if (message != nullptr)
    std::cerr << "quillmap: " << message << std::endl;
  return 1;
}
} // namespace

int main(int argc, char** argv) {
  const TCommandLine line(argc, argv);
  if (line.Action() == TCommandLine::TAction::Help) {
    std::cout << TCommandLine::HelpText() << std::flush;
    return 0;
  }
  if (line.Action() == TCommandLine::TAction::Version) {
    std::cout << TCommandLine::VersionText() << std::endl;
    return 0;
  }
  TProgressLine progress(std::cerr);
  try {
    Run(line, progress);
  } catch (const char* message) {
    return Report(line, progress, message);
  } catch (const std::string& message) {
    return Report(line, progress, message.c_str());
  }
  return 0;
}
