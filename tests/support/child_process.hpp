// A program run as a child with pipes to its standard input and output, so that a test can
// talk to it a step at a time and wait for what it says instead of sleeping.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace vantrel::testing {

class ChildProcess {
 public:
  // Starts `program` in `folder` with the environment entries added ("NAME=value").
  ChildProcess(const std::string& program, const std::filesystem::path& folder,
               const std::vector<std::string>& environment) {
    int in[2];
    int out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(in[0], STDIN_FILENO);
      ::dup2(out[1], STDOUT_FILENO);
      ::dup2(out[1], STDERR_FILENO);
      if (::chdir(folder.c_str()) != 0) ::_exit(126);
      for (const std::string& entry : environment)
        ::putenv(const_cast<char*>(entry.c_str()));
      ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    to_child_ = in[1];
    from_child_ = out[0];
  }
  ~ChildProcess() {
    close_input();
    if (from_child_ >= 0) ::close(from_child_);
    if (pid_ > 0 && status_ < 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return pid_ > 0 && to_child_ >= 0; }
  bool send(const std::string& text) {
    return ::write(to_child_, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  }
  void close_input() {
    if (to_child_ >= 0) ::close(to_child_);
    to_child_ = -1;
  }

  // Reads until everything read so far holds `text` (true), or the output ends or `limit`
  // passes (false). Everything read stays in output().
  bool wait_for(const std::string& text, std::chrono::seconds limit = std::chrono::seconds(20)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (output_.find(text) == std::string::npos) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          end - std::chrono::steady_clock::now());
      if (left.count() <= 0 || !read_some(static_cast<int>(left.count()))) return false;
    }
    return true;
  }

  // Reads to the end of the output and waits for the child; its exit status, or -1.
  int finish() {
    while (read_some(20000)) {
    }
    int raw = 0;
    if (pid_ > 0 && ::waitpid(pid_, &raw, 0) == pid_)
      status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return status_;
  }

  const std::string& output() const { return output_; }

 private:
  bool read_some(int milliseconds) {
    pollfd p{from_child_, POLLIN, 0};
    if (::poll(&p, 1, milliseconds) <= 0) return false;
    char buffer[4096];
    const ssize_t n = ::read(from_child_, buffer, sizeof buffer);
    if (n <= 0) return false;
    output_.append(buffer, static_cast<std::size_t>(n));
    return true;
  }

  pid_t pid_ = -1;
  int to_child_ = -1;
  int from_child_ = -1;
  int status_ = -1;
  std::string output_;
};

}  // namespace vantrel::testing
