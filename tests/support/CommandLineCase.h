// CommandLineCase: one run of the built tool as a case file states it (the
// format is described in tests/app/cases/README.md): its arguments, what the
// source and the destination are before the run, and what the run must
// print, return and leave as the destination. ReadCaseText reads the cases
// of one file; ReadCaseFolder those of every *.txt file of a folder, with
// the texts of its *.texts files shared among them.
//
// A file that cannot be read as cases does not stop the reading: the case in
// which the fault lies (or one case named after the file, for a fault
// outside any case) carries the fault, and the runner fails that case with
// it. Case names are the file's theme in upper camel case ("exit-status.txt"
// gives ExitStatus), an underscore and the name the file gives, so that they
// are unique across files and valid as test names.
#ifndef QUILLMAP_TESTS_SUPPORT_COMMANDLINECASE_H
#define QUILLMAP_TESTS_SUPPORT_COMMANDLINECASE_H

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "support/ToolRun.h"

// A text, or a named form ("@directory", "@garbage ...") with its argument.
struct CaseValue {
  std::string Form; // "" for a plain text
  std::string Text; // the plain text, or the form's argument

  bool Is(const char* form) const { return Form == form; }
};

struct CommandLineCase {
  std::string Name;
  std::string Where; // file:line of the case's first line
  std::string Fault; // what makes the case unreadable; "" when it was read
  std::vector<std::string> Args;
  CaseValue Source{"none", ""};
  CaseValue Earlier{"none", ""};
  std::string Stdout;
  std::string Stderr;
  int Status = 0;
  CaseValue Dest{"unchanged", ""};
  ToolLimits Limits;
  int TimeoutSeconds = 120;
};

// Texts by name, as "text NAME:" defines them.
using CaseTexts = std::map<std::string, std::string>;

// The cases of one *.txt file, which may use the shared texts. The theme is
// the file's name without its folder and extension.
std::vector<CommandLineCase> ReadCaseText(const std::string& fileName, const std::string& text,
                                          const CaseTexts& shared = {});
// The texts of one *.texts file, which holds texts only; its faults become
// cases that fail.
CaseTexts ReadCaseTexts(const std::string& fileName, const std::string& text,
                        std::vector<CommandLineCase>& faults);
// The texts of every *.texts file, shared, then the cases of every *.txt
// file, each in the order of the file names.
std::vector<CommandLineCase> ReadCaseFolder(const std::string& folder);

void PrintTo(const CommandLineCase& c, std::ostream* out);

#endif
