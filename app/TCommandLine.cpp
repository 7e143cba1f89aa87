#include "app/TCommandLine.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "text/TDecimalGrammar.h"

#ifndef QUILLMAP_VERSION
#error "QUILLMAP_VERSION must be defined by the build"
#endif

namespace {
const char* const kPlainUsage = "Usage: quillmap source_file dest_file NewResolution";
const char* const kOptionsUsage = "Usage: quillmap [OPTION]... source_file dest_file NewResolution";
const char* const kEndOfOptions = "--";

struct TOptionHelp {
  const char* Name;
  const char* Text;
};
const TOptionHelp kOptions[] = {
    {"--lenient", "also read other keyword cases and orders, xllcenter/yllcenter, no "
                  "NODATA_value, a byte order mark, no final line end"},
    {"--nodata-aware", "give no-data where a sample's four source cells include no-data or NaN"},
    {"--digits N", "write values and NODATA_value with N significant digits (1 to 17; "
                   "default 6)"},
    {"--input-format F", "read source_file as F: ascii (default), geotiff, or auto (by its "
                         "first bytes)"},
    {"--output-format F", "write dest_file as F: ascii (default), geotiff, or auto (.tif and "
                          ".tiff names give geotiff)"},
    {"--band N", "read band N of a GeoTIFF source (default 1)"},
    {"--output-type T", "GeoTIFF samples: float64 (default, exact) or float32"},
    {"--compress C", "GeoTIFF compression: none (default), deflate, lzw or zstd"},
    {"--atomic", "write a new file and rename it over dest_file only once it is complete"},
    {"--exit-status", "report a failure on standard error and exit with status 1"},
    {"--progress", "show on standard error how much of the result is written"},
    {"--help", "print this help and exit"},
    {"--version", "print the version and exit"},
};

// The options that take a value, the values each takes (in its message's
// order) and the message's start.
struct TValueOption {
  const char* Name;
  const char* Needs;
};
const TValueOption kValueOptions[] = {
    {"--digits", "a whole number from 1 to 17"},   {"--input-format", "ascii, geotiff or auto"},
    {"--output-format", "ascii, geotiff or auto"}, {"--band", "a whole number from 1"},
    {"--output-type", "float64 or float32"},       {"--compress", "none, deflate, lzw or zstd"},
};

// One of `names`, its index; -1 for none.
template <std::size_t N> int IndexOf(const char* const (&names)[N], const char* value) {
  for (std::size_t i = 0; i < N; ++i)
    if (std::strcmp(names[i], value) == 0)
      return static_cast<int>(i);
  return -1;
}

bool IsOption(const char* argument) {
  return std::strncmp(argument, kEndOfOptions, 2) == 0;
}

// A digit count (TDigits::IsCount) written in plain digits.
bool ReadDigits(const char* text, int& digits) {
  // Far beyond every count, and far from overflowing.
  const int kBeyond = 1000;
  int value = 0;
  const char* p = text;
  for (; TDecimalGrammar::IsDigit(*p) && value < kBeyond; ++p)
    value = value * 10 + (*p - '0');
  if (p == text || *p != '\0' || !TDigits::IsCount(value))
    return false;
  digits = value;
  return true;
}

// A band number: plain digits, from 1, within a long.
bool ReadBand(const char* text, long& band) {
  const long kBeyond = 1L << 40;
  long value = 0;
  const char* p = text;
  for (; TDecimalGrammar::IsDigit(*p) && value < kBeyond; ++p)
    value = value * 10 + (*p - '0');
  if (p == text || *p != '\0' || value < 1 || value >= kBeyond)
    return false;
  band = value;
  return true;
}
} // namespace

TCommandLine::TCommandLine(int argc, const char* const* argv)
    : MbrEnmAction(TAction::Resample), MbrBlnLenient(false), MbrBlnNoDataAware(false),
      MbrBlnAtomic(false), MbrIntDigits(kStreamDigits), MbrBlnExitStatus(false),
      MbrBlnProgress(false) {
  if (argc == 4 || argc < 2 || !IsOption(argv[1]))
    ReadPlain(argc, argv);
  else
    ReadOptions(argc, argv);
}

void TCommandLine::ReadPlain(int argc, const char* const* argv) {
  if (argc != 4)
    return Fail(kPlainUsage);
  MbrStrSource = argv[1];
  MbrStrDest = argv[2];
  MbrStrResolution = argv[3];
}

void TCommandLine::ReadOptions(int argc, const char* const* argv) {
  int at = 1;
  while (at < argc && IsOption(argv[at]) && MbrEnmAction == TAction::Resample) {
    if (std::strcmp(argv[at], kEndOfOptions) == 0) {
      ++at;
      break;
    }
    at = ReadOption(argc, argv, at);
  }
  if (MbrEnmAction != TAction::Resample) {
    // --exit-status applies wherever it stands among the options.
    for (; at < argc && IsOption(argv[at]) && std::strcmp(argv[at], kEndOfOptions) != 0; ++at)
      MbrBlnExitStatus = MbrBlnExitStatus || std::strcmp(argv[at], "--exit-status") == 0;
    return;
  }
  if (argc - at != 3)
    return Fail(kOptionsUsage);
  MbrStrSource = argv[at];
  MbrStrDest = argv[at + 1];
  MbrStrResolution = argv[at + 2];
}

int TCommandLine::ReadOption(int argc, const char* const* argv, int at) {
  const std::string option = argv[at];
  if (option == "--lenient")
    MbrBlnLenient = true;
  else if (option == "--nodata-aware")
    MbrBlnNoDataAware = true;
  else if (option == "--atomic")
    MbrBlnAtomic = true;
  else if (option == "--exit-status")
    MbrBlnExitStatus = true;
  else if (option == "--progress")
    MbrBlnProgress = true;
  else if (option == "--help")
    MbrEnmAction = TAction::Help;
  else if (option == "--version")
    MbrEnmAction = TAction::Version;
  else {
    for (const TValueOption& valued : kValueOptions) {
      if (option != valued.Name)
        continue;
      if (at + 1 >= argc) {
        Fail("Missing value for option " + option);
        return at + 1;
      }
      if (!ReadValue(option, argv[at + 1]))
        Fail("Option " + option + " needs " + valued.Needs + ", not " + argv[at + 1]);
      return at + 2;
    }
    Fail("Unknown option " + option);
  }
  return at + 1;
}

bool TCommandLine::ReadValue(const std::string& option, const char* value) {
  const char* const formats[] = {"ascii", "geotiff", "auto"};
  const char* const types[] = {"float64", "float32"};
  const char* const compressions[] = {"none", "deflate", "lzw", "zstd"};
  if (option == "--digits")
    return ReadDigits(value, MbrIntDigits);
  if (option == "--band")
    return ReadBand(value, MbrLngBand);
  if (option == "--input-format" || option == "--output-format") {
    const int format = IndexOf(formats, value);
    if (format >= 0)
      (option == "--input-format" ? MbrEnmInputFormat : MbrEnmOutputFormat) =
          static_cast<TFormat>(format);
    return format >= 0;
  }
  if (option == "--output-type") {
    const int type = IndexOf(types, value);
    if (type >= 0)
      MbrGeoTIFF.SampleType = static_cast<TGeoTIFFWriteOptions::TSampleType>(type);
    return type >= 0;
  }
  const int compression = IndexOf(compressions, value);
  if (compression >= 0)
    MbrGeoTIFF.Compression = static_cast<TGeoTIFFWriteOptions::TCompression>(compression);
  return compression >= 0;
}

void TCommandLine::Fail(std::string message) {
  MbrEnmAction = TAction::Fail;
  MbrStrFailure = std::move(message);
}

std::string TCommandLine::HelpText() {
  std::string text = std::string(kOptionsUsage) + "\n";
  for (const TOptionHelp& option : kOptions) {
    std::string name = std::string("  ") + option.Name;
    name.resize(21, ' ');
    text += name + option.Text + "\n";
  }
  return text;
}

std::string TCommandLine::VersionText() {
  return std::string("quillmap ") + QUILLMAP_VERSION;
}
