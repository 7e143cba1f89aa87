#include "support/ToolRun.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace {
namespace fs = std::filesystem;

std::string Captured(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> CommandLine(const std::vector<std::string>& args) {
  std::vector<std::string> command;
  if (const char* wrapper = std::getenv("QUILLMAP_TOOL_WRAPPER")) {
    std::istringstream words(wrapper);
    for (std::string word; words >> word;)
      command.push_back(word);
  }
  const char* binaryDir = std::getenv("QUILLMAP_BINARY_DIR");
  command.push_back(std::string(binaryDir ? binaryDir : ".") + "/quillmap");
  command.insert(command.end(), args.begin(), args.end());
  return command;
}

void SetLimit(int resource, long value) {
  if (value <= 0)
    return;
  const rlimit limit{static_cast<rlim_t>(value), static_cast<rlim_t>(value)};
  setrlimit(resource, &limit);
}

// Only async-signal-safe calls between fork and exec.
[[noreturn]] void StartChild(char** argv, const char* outPath, const char* errPath,
                             const ToolLimits& limits) {
  const int out = open(outPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int err = open(errPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0)
    _exit(126);
  SetLimit(RLIMIT_AS, limits.AddressSpaceBytes);
  SetLimit(RLIMIT_CPU, limits.CpuSeconds);
  SetLimit(RLIMIT_FSIZE, limits.FileSizeBytes);
  signal(SIGXFSZ, limits.FileSizeSignalKills ? SIG_DFL : SIG_IGN);
  execvp(argv[0], argv);
  _exit(127);
}
} // namespace

bool ToolIsWrapped() {
  return std::getenv("QUILLMAP_TOOL_WRAPPER") != nullptr;
}

ToolRun RunTool(const std::vector<std::string>& args, const ToolLimits& limits,
                int timeoutSeconds) {
  std::vector<std::string> command = CommandLine(args);
  std::vector<char*> argv;
  for (std::string& word : command)
    argv.push_back(word.data());
  argv.push_back(nullptr);
  const fs::path capture = fs::temp_directory_path() / ("quillmap-run-" + std::to_string(getpid()));
  fs::create_directories(capture);
  const std::string outPath = (capture / "stdout").string();
  const std::string errPath = (capture / "stderr").string();

  ToolRun run;
  const pid_t pid = fork();
  if (pid < 0)
    return run;
  if (pid == 0)
    StartChild(argv.data(), outPath.c_str(), errPath.c_str(), limits);

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      run.TimedOut = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.Out = Captured(outPath);
  run.Err = Captured(errPath);
  fs::remove_all(capture);
  return run;
}
