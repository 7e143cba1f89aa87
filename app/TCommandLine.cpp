#include "app/TCommandLine.h"

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
    {"--atomic", "write a new file and rename it over dest_file only once it is complete"},
    {"--exit-status", "report a failure on standard error and exit with status 1"},
    {"--progress", "show on standard error how much of the result is written"},
    {"--help", "print this help and exit"},
    {"--version", "print the version and exit"},
};

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
  else if (option == "--digits") {
    if (at + 1 >= argc) {
      Fail("Missing value for option --digits");
      return at + 1;
    }
    if (!ReadDigits(argv[at + 1], MbrIntDigits))
      Fail(std::string("Option --digits needs a whole number from 1 to 17, not ") + argv[at + 1]);
    return at + 2;
  } else
    Fail("Unknown option " + option);
  return at + 1;
}

void TCommandLine::Fail(std::string message) {
  MbrEnmAction = TAction::Fail;
  MbrStrFailure = std::move(message);
}

std::string TCommandLine::HelpText() {
  std::string text = std::string(kOptionsUsage) + "\n";
  for (const TOptionHelp& option : kOptions) {
    std::string name = std::string("  ") + option.Name;
    name.resize(18, ' ');
    text += name + option.Text + "\n";
  }
  return text;
}

std::string TCommandLine::VersionText() {
  return std::string("quillmap ") + QUILLMAP_VERSION;
}
