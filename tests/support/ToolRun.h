// ToolRun: runs the built quillmap binary (QUILLMAP_BINARY_DIR/quillmap) in a
// child process and collects its standard output, standard error and exit
// status. QUILLMAP_TOOL_WRAPPER, when set, is a command put in front of the
// binary (a memory checker, say), split at blanks. Limits, when given, are
// set in the child before the tool starts: address space, CPU seconds and
// file size.
// A run still going after the wall-clock timeout is killed and marked.
#ifndef QUILLMAP_TESTS_SUPPORT_TOOLRUN_H
#define QUILLMAP_TESTS_SUPPORT_TOOLRUN_H

#include <string>
#include <vector>

struct ToolLimits {
  long AddressSpaceBytes = 0; // 0: no limit
  long CpuSeconds = 0;        // 0: no limit
  long FileSizeBytes = 0;     // 0: no limit; a write beyond it fails (a full disk)
  // What a write beyond FileSizeBytes does: fail with an error (SIGXFSZ
  // ignored), or end the tool with SIGXFSZ (a killed process).
  bool FileSizeSignalKills = false;
};

struct ToolRun {
  std::string Out;
  std::string Err;
  int Status = -1; // exit status, or 128 + signal number
  bool TimedOut = false;
};

ToolRun RunTool(const std::vector<std::string>& args, const ToolLimits& limits = {},
                int timeoutSeconds = 120);

// Whether the tool runs behind a wrapper (QUILLMAP_TOOL_WRAPPER is set).
bool ToolIsWrapped();

#endif
