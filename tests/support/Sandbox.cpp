#include "support/Sandbox.h"

#include <unistd.h>


#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {
std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at))
    text.replace(at, from.size(), to), at += to.size();
  return text;
}

std::string CurrentTestName() {
  const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "none";
  for (char& c : name)
    if (c == '/')
      c = '.';
  return name;
}
} // namespace

Sandbox::Sandbox()
    : MbrDir(fs::temp_directory_path() /
             ("quillmap-" + std::to_string(getpid()) + "-" + CurrentTestName())) {
  fs::remove_all(MbrDir);
  fs::create_directories(MbrDir);
}

Sandbox::~Sandbox() {
  std::error_code ignored;
  fs::remove_all(MbrDir, ignored);
}

std::string Sandbox::Path(const std::string& name) const {
  return (MbrDir / name).string();
}

std::string Sandbox::Expand(const std::string& text) const {
  return Replace(Replace(Replace(text, "{in}", Path("in.asc")), "{out}", Path("out.asc")), "{dir}",
                 MbrDir.string());
}

void Sandbox::Write(const std::string& name, const std::string& bytes) const {
  WriteFileBytes(MbrDir / name, bytes);
}

std::string Sandbox::Read(const std::string& name) const {
  return ReadFileBytes(MbrDir / name);
}

bool Sandbox::Exists(const std::string& name) const {
  return fs::exists(MbrDir / name);
}

ToolRun Sandbox::Run(const std::vector<std::string>& args, const ToolLimits& limits,
                     int timeoutSeconds) const {
  std::vector<std::string> expanded;
  for (const std::string& arg : args)
    expanded.push_back(Expand(arg));
  return RunTool(expanded, limits, timeoutSeconds);
}

std::map<std::string, FileState> Sandbox::Snapshot() const {
  std::map<std::string, FileState> entries;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(MbrDir))
    entries[entry.path().lexically_relative(MbrDir).string()] = StateOf(entry.path());
  return entries;
}
