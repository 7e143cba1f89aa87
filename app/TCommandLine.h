// TCommandLine: the arguments of one run of the tool, read once.
//
// Two shapes are told apart by the first argument and the count alone. A
// command line whose first argument does not start with "--", or that holds
// exactly three arguments, is the plain shape: exactly three arguments are a
// source, a destination and a cell size, any other count is the usage
// failure, whatever the arguments hold. Otherwise options come first, each
// starting with "--", up to the first argument that does not or up to "--";
// exactly three arguments must follow them. --help and --version win over
// everything after them; the first faulty option (unknown, or a value missing
// or out of range) makes the line a failure even when --help follows it.
//
// Failure texts: "Usage: quillmap source_file dest_file NewResolution" (plain
// shape), "Usage: quillmap [OPTION]... source_file dest_file NewResolution"
// (options, then a wrong count), "Unknown option " followed by the option,
// "Missing value for option " followed by the option, "Option --digits needs
// a whole number from 1 to 17, not " followed by the value, and, for the
// format options, "Option --input-format needs ascii, geotiff or auto, not "
// and the value (--output-format alike), "Option --compress needs none,
// deflate, lzw or zstd, not ", "Option --output-type needs float64 or
// float32, not ", "Option --band needs a whole number from 1, not ".
// Nothing here throws.
#ifndef QUILLMAP_APP_TCOMMANDLINE_H
#define QUILLMAP_APP_TCOMMANDLINE_H

#include <string>

#include "pipeline/TResampleFileTools.h"
#include "text/TDigits.h"

class TCommandLine {
public:
  enum class TAction { Resample, Help, Version, Fail };

  // Digits() when --digits is absent: the writer's own rule.
  static constexpr int kStreamDigits = TDigits::kOwnRule;

  TCommandLine(int argc, const char* const* argv);

  TAction Action() const { return MbrEnmAction; }
  // The message of a Fail.
  const std::string& Failure() const { return MbrStrFailure; }
  const std::string& SourceFile() const { return MbrStrSource; }
  const std::string& DestFile() const { return MbrStrDest; }
  // The third argument as given; the driver converts it.
  const std::string& NewResolution() const { return MbrStrResolution; }

  bool Lenient() const { return MbrBlnLenient; }
  bool NoDataAware() const { return MbrBlnNoDataAware; }
  // The destination is written as a replacement renamed over it at the end.
  bool Atomic() const { return MbrBlnAtomic; }
  int Digits() const { return MbrIntDigits; }
  // Failures go to standard error with a prefix, and the status tells them.
  bool ExitStatus() const { return MbrBlnExitStatus; }
  // The progress line is written on standard error as the result is written.
  bool Progress() const { return MbrBlnProgress; }
  // The formats and GeoTIFF choices: ESRI ASCII both ways, band 1, float64
  // uncompressed, unless the options say otherwise.
  using TFormat = TResampleFileTools::TResampleOptions::TFormat;
  TFormat InputFormat() const { return MbrEnmInputFormat; }
  TFormat OutputFormat() const { return MbrEnmOutputFormat; }
  long Band() const { return MbrLngBand; }
  const TGeoTIFFWriteOptions& GeoTIFF() const { return MbrGeoTIFF; }

  // The usage line, then one line per option, each ended by a newline.
  static std::string HelpText();
  // "quillmap " and the version, without a line end.
  static std::string VersionText();

private:
  void ReadPlain(int argc, const char* const* argv);
  void ReadOptions(int argc, const char* const* argv);
  // Reads the option at argv[at] (and its value), returning the index of the
  // next argument; records a failure or a help or version request.
  int ReadOption(int argc, const char* const* argv, int at);
  // Reads the value of an option that takes one; false when it is not one.
  bool ReadValue(const std::string& option, const char* value);
  void Fail(std::string message);

  TAction MbrEnmAction;
  std::string MbrStrFailure;
  std::string MbrStrSource;
  std::string MbrStrDest;
  std::string MbrStrResolution;
  bool MbrBlnLenient;
  bool MbrBlnNoDataAware;
  bool MbrBlnAtomic;
  int MbrIntDigits;
  bool MbrBlnExitStatus;
  bool MbrBlnProgress;
  TFormat MbrEnmInputFormat = TFormat::Ascii;
  TFormat MbrEnmOutputFormat = TFormat::Ascii;
  long MbrLngBand = 1;
  TGeoTIFFWriteOptions MbrGeoTIFF;
};

#endif
