// The whole-file outputs on a POSIX system.
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "data/atomic_file.hpp"

namespace vantrel {

namespace {

// The mode a new file gets: 0666 less the process's umask.
mode_t new_file_mode() {
#ifdef __EMSCRIPTEN__
  // A browser's files in memory start under a umask that masks everything, which would make
  // each output unreadable, even to the page that asked for it; they are no one else's.
  return 0644;
#else
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
#endif
}

}  // namespace

bool AtomicFile::open(const std::filesystem::path& named, std::string& error) {
  if (named.empty()) {
    error = "an empty file name";
    return false;
  }
  target_ = written_through(named);
  const std::filesystem::path& target = target_;
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) {
    // A device or a FIFO: written as it is, never renamed over.
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
    file_ = fd < 0 ? nullptr : ::fdopen(fd, "w");
    if (file_ == nullptr) {
      error = std::strerror(errno);
      if (fd >= 0) ::close(fd);
      return false;
    }
    in_place_ = true;
    return true;
  }
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  std::string base(1, '.');
  base += target.filename().string();
  base += temporary_mark();
  base += std::to_string(::getpid());
  base += ".XXXXXX";
  const std::string pattern = (folder / base).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  temporary_ = name.data();
  // mkstemp's file is private (0600): an output gets the mode of the file it replaces, or a
  // new file's mode.
  ::fchmod(fd, exists ? existing.st_mode & 07777 : new_file_mode());
  file_ = ::fdopen(fd, "w");
  if (file_ == nullptr) {
    error = std::strerror(errno);
    ::close(fd);
    discard();
    return false;
  }
  return true;
}

bool sync_to_disk(std::FILE* file) {
  return ::fsync(::fileno(file)) == 0;
}

void start_writeback(std::FILE* file, std::uint64_t from, std::uint64_t length) {
#if defined(__linux__) && !defined(__EMSCRIPTEN__)
  ::sync_file_range(::fileno(file), static_cast<off_t>(from), static_cast<off_t>(length),
                    SYNC_FILE_RANGE_WRITE);
#else
  static_cast<void>(file);
  static_cast<void>(from);
  static_cast<void>(length);
#endif
}

bool put_in_place(const std::filesystem::path& from, const std::filesystem::path& to,
                  std::string& error) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return true;
  error = std::strerror(errno);
  return false;
}

void remove_temporary(const std::filesystem::path& file) {
  ::unlink(file.c_str());
}

void clean_up_on_signals(std::vector<std::filesystem::path> folders) {
#ifdef __EMSCRIPTEN__
  // In a browser no signal ends a run, there is no thread to wait for one, and the files in
  // memory go with the page.
  static_cast<void>(folders);
#else
  std::signal(SIGPIPE, SIG_IGN);
  sigset_t set;
  sigemptyset(&set);
  for (const int s : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM,
                      SIGPROF, SIGXCPU, SIGPOLL, SIGPWR, SIGSTKFLT})
    sigaddset(&set, s);
  for (int s = SIGRTMIN; s <= SIGRTMAX; ++s)
    sigaddset(&set, s);
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  std::thread([set, folders = std::move(folders)] {
    int signal_number = 0;
    if (sigwait(&set, &signal_number) != 0) return;
    const std::string own = std::string(temporary_mark()) + std::to_string(::getpid()) + ".";
    for (const auto& folder : folders) {
      std::error_code ec;
      for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind('.', 0) == 0 && name.find(own) != std::string::npos) {
          std::filesystem::remove(entry.path(), ec);
        }
      }
    }
    std::_Exit(128 + signal_number);
  }).detach();
#endif
}

}  // namespace vantrel
