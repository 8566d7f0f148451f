// Running a command line as a user would, for the tests of the command-line tools.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace vantrel::testing {

struct Ran {
  int status = -1;  // the exit status, or 128 + the signal that ended it
  std::string output;
};

// Runs a shell command line; standard output and error together.
inline Ran shell(const std::string& command) {
  Ran r;
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return r;
  char buffer[4096];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
    r.output.append(buffer, n);
  const int raw = ::pclose(pipe);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  return r;
}

}  // namespace vantrel::testing
