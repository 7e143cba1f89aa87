#include "support/CommandLineCase.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <set>

#include "support/Sandbox.h"

namespace {
namespace fs = std::filesystem;

// What a case file gets wrong, thrown while reading it and caught per case.
struct CaseFault {
  std::string What;
};

const char* const kSourceForms[] = {"none",
                                    "directory",
                                    "garbage",
                                    "fifo",
                                    "hard-link-to-dest",
                                    "symbolic-link-to-dest",
                                    "geotiff",
                                    "geotiff-float32-deflate"};
const char* const kEarlierForms[] = {"none", "directory", "garbage"};
const char* const kDestForms[] = {"unchanged", "absent", "digest", "geotiff-holding"};

template <std::size_t N> std::vector<std::string> Forms(const char* const (&names)[N]) {
  return std::vector<std::string>(names, names + N);
}

bool IsAlnum(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0;
}

// "exit-status" gives ExitStatus.
std::string Theme(const std::string& fileName) {
  std::string theme;
  bool startsWord = true;
  for (const char c : fs::path(fileName).stem().string()) {
    if (!IsAlnum(c)) {
      startsWord = true;
      continue;
    }
    theme += startsWord ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
    startsWord = false;
  }
  return theme;
}

bool IsCaseName(const std::string& name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), IsAlnum);
}

bool IsTextName(const std::string& name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
  });
}

int HexValue(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

// The escapes \\, \t, \r, \n and \xHH replaced; with `dollarEnds`, a final
// '$' stands for a line end.
std::string Unescape(const std::string& raw, bool dollarEnds) {
  const bool lineEnd = dollarEnds && !raw.empty() && raw.back() == '$';
  const std::size_t end = raw.size() - (lineEnd ? 1 : 0);
  std::string text;
  for (std::size_t i = 0; i < end; ++i) {
    if (raw[i] != '\\') {
      text += raw[i];
      continue;
    }
    const char kind = i + 1 < end ? raw[++i] : '\0';
    if (kind == '\\' || kind == 't' || kind == 'r' || kind == 'n')
      text += kind == '\\' ? '\\' : kind == 't' ? '\t' : kind == 'r' ? '\r' : '\n';
    else if (kind == 'x' && i + 2 < end && HexValue(raw[i + 1]) >= 0 && HexValue(raw[i + 2]) >= 0) {
      text += static_cast<char>(HexValue(raw[i + 1]) * 16 + HexValue(raw[i + 2]));
      i += 2;
    } else
      throw CaseFault{"unknown escape in \"" + raw + "\" (\\\\, \\t, \\r, \\n or \\xHH)"};
  }
  return lineEnd ? text + "\n" : text;
}

// Blank-separated words; "..." holds blanks or nothing.
std::vector<std::string> Words(const std::string& rest) {
  std::vector<std::string> words;
  std::size_t at = 0;
  for (;;) {
    at = rest.find_first_not_of(' ', at);
    if (at == std::string::npos)
      return words;
    std::size_t end;
    if (rest[at] == '"') {
      end = rest.find('"', at + 1);
      if (end == std::string::npos)
        throw CaseFault{"a quoted argument has no closing quote"};
      words.push_back(Unescape(rest.substr(at + 1, end - at - 1), false));
      ++end;
    } else {
      end = std::min(rest.find(' ', at), rest.size());
      words.push_back(Unescape(rest.substr(at, end - at), false));
    }
    at = end;
  }
}

long WholeNumber(const std::string& text, const std::string& what) {
  if (text.empty() || text.size() > 12 ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    throw CaseFault{what + " must be a whole number, not \"" + text + "\""};
  return std::stol(text);
}

void ReadLimits(const std::string& rest, CommandLineCase& c) {
  for (const std::string& word : Words(rest)) {
    const std::size_t equals = word.find('=');
    const std::string name = word.substr(0, equals);
    const std::string value = equals == std::string::npos ? "" : word.substr(equals + 1);
    const std::string kMiB = "MiB";
    if (name == "address-space" && value.size() > kMiB.size() &&
        value.compare(value.size() - kMiB.size(), kMiB.size(), kMiB) == 0)
      c.Limits.AddressSpaceBytes = WholeNumber(value.substr(0, value.size() - kMiB.size()), name)
                                   << 20;
    else if (name == "cpu-seconds")
      c.Limits.CpuSeconds = WholeNumber(value, name);
    else if (name == "timeout-seconds")
      c.TimeoutSeconds = static_cast<int>(WholeNumber(value, name));
    else
      throw CaseFault{"unknown limit \"" + word +
                      "\" (address-space=NMiB, cpu-seconds=N, timeout-seconds=N)"};
  }
}

class CaseReader {
public:
  CaseReader(const std::string& fileName, const std::string& text, const CaseTexts& shared,
             bool textsOnly)
      : MbrFile(fs::path(fileName).filename().string()), MbrTheme(Theme(fileName)),
        MbrBlnTextsOnly(textsOnly), MbrTexts(shared) {
    std::size_t at = 0;
    while (at < text.size()) {
      const std::size_t end = std::min(text.find('\n', at), text.size());
      MbrLines.push_back(text.substr(at, end - at));
      at = end + 1;
    }
  }

  std::vector<CommandLineCase> Read() {
    while (MbrAt < MbrLines.size()) {
      try {
        ReadTopLevel();
      } catch (const CaseFault& fault) {
        Record(fault);
      }
    }
    return MbrCases;
  }

  const CaseTexts& Texts() const { return MbrTexts; }

private:
  std::string Where(std::size_t line) const { return MbrFile + ":" + std::to_string(line + 1); }

  bool AtBlockLine() const {
    return MbrAt < MbrLines.size() && MbrLines[MbrAt].compare(0, 2, "  ") == 0;
  }

  bool AtKeyLine() const {
    return MbrAt < MbrLines.size() && !MbrLines[MbrAt].empty() && MbrLines[MbrAt][0] != '#' &&
           MbrLines[MbrAt].compare(0, 5, "case ") != 0 &&
           MbrLines[MbrAt].compare(0, 5, "text ") != 0;
  }

  void SkipBlankAndComments() {
    while (MbrAt < MbrLines.size() && (MbrLines[MbrAt].empty() || MbrLines[MbrAt][0] == '#'))
      ++MbrAt;
  }

  // A fault inside a case marks it; one outside gets a case of its own. The
  // reading goes on at the next case or text.
  void Record(const CaseFault& fault) {
    const std::string what = "line " + std::to_string(MbrFaultLine + 1) + ": " + fault.What;
    if (MbrInCase && MbrCases.back().Fault.empty())
      MbrCases.back().Fault = what;
    if (!MbrInCase) {
      CommandLineCase broken;
      broken.Name = MbrTheme + "_FaultOnLine" + std::to_string(MbrFaultLine + 1);
      broken.Where = Where(MbrFaultLine);
      broken.Fault = what;
      MbrCases.push_back(broken);
    }
    MbrAt = std::max(MbrAt, MbrFaultLine + 1);
    while (MbrAt < MbrLines.size() && MbrLines[MbrAt].compare(0, 5, "case ") != 0 &&
           MbrLines[MbrAt].compare(0, 5, "text ") != 0)
      ++MbrAt;
    MbrInCase = false;
  }

  void ReadTopLevel() {
    SkipBlankAndComments();
    if (MbrAt >= MbrLines.size())
      return;
    MbrFaultLine = MbrAt;
    const std::string& line = MbrLines[MbrAt];
    if (line.compare(0, 5, "case ") == 0 && !MbrBlnTextsOnly)
      return ReadCase(line.substr(5));
    if (line.compare(0, 5, "text ") == 0 && line.back() == ':')
      return ReadText(line.substr(5, line.size() - 6));
    throw CaseFault{(MbrBlnTextsOnly ? "expected \"text NAME:\", found \""
                                     : "expected \"case NAME\" or \"text NAME:\", found \"") +
                    line + "\""};
  }

  void ReadText(const std::string& name) {
    if (!IsTextName(name))
      throw CaseFault{"a text name is made of a-z, 0-9 and '-', not \"" + name + "\""};
    if (MbrTexts.count(name) != 0)
      throw CaseFault{"text " + name + " is defined twice"};
    ++MbrAt;
    MbrTexts[name] = ReadValue("", {}).Text;
  }

  void ReadCase(const std::string& name) {
    CommandLineCase c;
    c.Where = Where(MbrAt);
    c.Name = MbrTheme + "_" + name;
    const bool repeated = !MbrNames.insert(c.Name).second;
    if (repeated || !IsCaseName(name))
      c.Name = MbrTheme + "_FaultOnLine" + std::to_string(MbrAt + 1);
    MbrCases.push_back(c);
    MbrInCase = true;
    if (repeated)
      throw CaseFault{"case " + name + " is given twice"};
    if (!IsCaseName(name))
      throw CaseFault{"a case name is made of letters and digits, not \"" + name + "\""};
    const std::size_t caseLine = MbrAt++;
    std::set<std::string> keys;
    while ((SkipComments(), AtKeyLine())) {
      MbrFaultLine = MbrAt;
      const std::string line = MbrLines[MbrAt++];
      const std::size_t colon = line.find(':');
      const std::string key = line.substr(0, colon);
      if (colon == std::string::npos || !keys.insert(key).second)
        throw CaseFault{"expected a key not given before and a colon in \"" + line + "\""};
      ReadKey(MbrCases.back(), key, line.substr(colon + 1));
    }
    if (keys.count("args") == 0) {
      MbrFaultLine = caseLine;
      throw CaseFault{"case " + name + " states no args"};
    }
    MbrInCase = false;
  }

  void SkipComments() {
    while (MbrAt < MbrLines.size() && !MbrLines[MbrAt].empty() && MbrLines[MbrAt][0] == '#')
      ++MbrAt;
  }

  void ReadKey(CommandLineCase& c, const std::string& key, const std::string& rest) {
    if (key == "args")
      c.Args = Words(rest);
    else if (key == "source")
      c.Source = ReadValue(rest, Forms(kSourceForms));
    else if (key == "earlier")
      c.Earlier = ReadValue(rest, Forms(kEarlierForms));
    else if (key == "stdout")
      c.Stdout = ReadValue(rest, {}).Text;
    else if (key == "stderr")
      c.Stderr = ReadValue(rest, {}).Text;
    else if (key == "status")
      c.Status = static_cast<int>(WholeNumber(rest.empty() ? rest : rest.substr(1), key));
    else if (key == "dest")
      c.Dest = ReadValue(rest, Forms(kDestForms));
    else if (key == "limits")
      ReadLimits(rest, c);
    else
      throw CaseFault{"unknown key \"" + key +
                      "\" (args, source, earlier, stdout, stderr, status, dest, limits)"};
  }

  std::string ReadBlock() {
    std::string text;
    while (AtBlockLine())
      text += Unescape(MbrLines[MbrAt++].substr(2), true);
    return text;
  }

  // `rest` is what follows the colon: nothing (a block follows), or a blank
  // and then an inline text, "@name" of a text, or "@form" and its argument.
  CaseValue ReadValue(const std::string& rest, const std::vector<std::string>& forms) {
    if (rest.empty())
      return {"", ReadBlock()};
    if (rest[0] != ' ')
      throw CaseFault{"a blank or the end of the line must follow the colon"};
    const std::string value = rest.substr(1);
    if (value.empty() || value[0] != '@') {
      if (AtBlockLine())
        throw CaseFault{"a value is written on its key's line or in the block under it, not both"};
      return {"", Unescape(value, true)};
    }
    const std::size_t blank = value.find(' ');
    const std::string name = value.substr(1, blank == std::string::npos ? blank : blank - 1);
    const std::string argument = blank == std::string::npos ? "" : value.substr(blank);
    if (MbrTexts.count(name) != 0 && argument.empty() && !AtBlockLine())
      return {"", MbrTexts.at(name)};
    if (std::find(forms.begin(), forms.end(), name) == forms.end())
      throw CaseFault{"\"@" + name + "\" is neither a text defined above nor a form of this key"};
    const CaseValue text = ReadValue(argument, {});
    return {name, text.Text};
  }

  std::string MbrFile;
  std::string MbrTheme;
  bool MbrBlnTextsOnly;
  std::vector<std::string> MbrLines;
  std::size_t MbrAt = 0;
  std::size_t MbrFaultLine = 0; // the line that a fault is reported on
  bool MbrInCase = false;
  std::vector<CommandLineCase> MbrCases;
  std::set<std::string> MbrNames;
  CaseTexts MbrTexts;
};
} // namespace

std::vector<CommandLineCase> ReadCaseText(const std::string& fileName, const std::string& text,
                                          const CaseTexts& shared) {
  return CaseReader(fileName, text, shared, false).Read();
}

CaseTexts ReadCaseTexts(const std::string& fileName, const std::string& text,
                        std::vector<CommandLineCase>& faults) {
  CaseReader reader(fileName, text, {}, true);
  faults = reader.Read();
  return reader.Texts();
}

std::vector<CommandLineCase> ReadCaseFolder(const std::string& folder) {
  std::vector<fs::path> files;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error))
    files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  CaseTexts shared;
  std::vector<CommandLineCase> cases;
  for (const fs::path& file : files)
    if (file.extension() == ".texts") {
      std::vector<CommandLineCase> faults;
      const CaseTexts texts = ReadCaseTexts(file.string(), ReadFileBytes(file), faults);
      shared.insert(texts.begin(), texts.end());
      cases.insert(cases.end(), faults.begin(), faults.end());
    }
  for (const fs::path& file : files)
    if (file.extension() == ".txt") {
      const std::vector<CommandLineCase> read =
          ReadCaseText(file.string(), ReadFileBytes(file), shared);
      cases.insert(cases.end(), read.begin(), read.end());
    }
  return cases;
}

void PrintTo(const CommandLineCase& c, std::ostream* out) {
  *out << c.Name << " (" << c.Where << ")";
}
