// Sandbox: a fresh directory under the system's temporary directory for one
// test, removed with the sandbox. Writes inputs, runs the built tool through
// RunTool with "{in}", "{out}" and "{dir}" in its arguments standing for
// in.asc, out.asc and the directory itself, reads outputs back, and takes
// snapshots of everything in it so that a test can check that a failing run
// left the directory (an earlier destination included) untouched.
#ifndef QUILLMAP_TESTS_SUPPORT_SANDBOX_H
#define QUILLMAP_TESTS_SUPPORT_SANDBOX_H

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/FileState.h"
#include "support/ToolRun.h"

class Sandbox {
public:
  // Named after the running test, so that parallel tests do not meet.
  Sandbox();
  ~Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  const std::filesystem::path& Dir() const { return MbrDir; }
  // The full path of a name in the sandbox.
  std::string Path(const std::string& name) const;
  // The text with {in}, {out} and {dir} replaced by their paths.
  std::string Expand(const std::string& text) const;

  void Write(const std::string& name, const std::string& bytes) const;
  std::string Read(const std::string& name) const;
  bool Exists(const std::string& name) const;

  // Runs the tool on the expanded arguments.
  ToolRun Run(const std::vector<std::string>& args, const ToolLimits& limits = {},
              int timeoutSeconds = 120) const;

  // Every entry, subfolders included, with its state.
  std::map<std::string, FileState> Snapshot() const;

private:
  std::filesystem::path MbrDir;
};

#endif
