// The whole-file outputs on Windows: a temporary file beside the target, made exclusively,
// put in place by MoveFileEx with replace; Ctrl+C and the console's close remove it.
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <mutex>
#include <random>
#include <vector>

#include "data/atomic_file.hpp"
#include "data/path_text.hpp"

namespace vantrel {

namespace {

std::string system_message(DWORD code) {
  char text[256] = {};
  const DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, text, sizeof text, nullptr);
  std::string message(text, n);
  while (!message.empty() &&
         (message.back() == '\n' || message.back() == '\r' || message.back() == '.')) {
    message.pop_back();
  }
  return message.empty() ? "error " + std::to_string(code) : message;
}

}  // namespace

namespace {

// NUL, CON, PRN, AUX, COM1-9 and LPT1-9 name devices in every folder and with any extension
// ("NUL.csv"): written in place, as /dev/null is, never renamed over.
bool is_device_name(const std::filesystem::path& target) {
  std::wstring stem = target.stem().wstring();
  for (wchar_t& c : stem)
    c = static_cast<wchar_t>(std::towupper(c));
  if (stem == L"NUL" || stem == L"CON" || stem == L"PRN" || stem == L"AUX") return true;
  return stem.size() == 4 && (stem.rfind(L"COM", 0) == 0 || stem.rfind(L"LPT", 0) == 0) &&
         stem[3] >= L'1' && stem[3] <= L'9';
}

}  // namespace

bool AtomicFile::open(const std::filesystem::path& named, std::string& error) {
  if (named.empty()) {
    error = "an empty file name";
    return false;
  }
  target_ = written_through(named);
  const std::filesystem::path& target = target_;
  std::error_code ec;
  const auto status = std::filesystem::status(target, ec);
  if (is_device_name(target) ||
      (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))) {
    // A device (NUL, CON): written as it is, never replaced.
    file_ = ::_wfopen(target.c_str(), L"wb");
    if (file_ == nullptr) {
      error = std::strerror(errno);
      return false;
    }
    in_place_ = true;
    return true;
  }
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::wstring base = L".";
    base += target.filename().wstring();
    base += std::filesystem::path(std::string(temporary_mark())).wstring();
    base += std::to_wstring(::_getpid()) + L"." + std::to_wstring(random() % 1000000);
    const std::filesystem::path name = folder / base;
    const int fd =
        ::_wopen(name.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) {
      error = std::strerror(errno);
      return false;
    }
    temporary_ = name;
    file_ = ::_fdopen(fd, "wb");
    if (file_ == nullptr) {
      error = std::strerror(errno);
      ::_close(fd);
      discard();
      return false;
    }
    return true;
  }
  error = "no temporary file name was free";
  return false;
}

bool sync_to_disk(std::FILE* file) {
  return ::_commit(::_fileno(file)) == 0;
}

void start_writeback(std::FILE*, std::uint64_t, std::uint64_t) {}  // the system writes behind

bool put_in_place(const std::filesystem::path& from, const std::filesystem::path& to,
                  std::string& error) {
  if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  error = system_message(::GetLastError());
  return false;
}

void remove_temporary(const std::filesystem::path& file) {
  ::_wremove(file.c_str());
}

namespace {

// The folders whose temporary files of this process go when the console asks it to end.
std::vector<std::filesystem::path>& folders_to_clean() {
  static std::vector<std::filesystem::path> folders;
  return folders;
}

BOOL WINAPI on_console_end(DWORD event) {
  const std::string own = std::string(temporary_mark()) + std::to_string(::_getpid()) + ".";
  for (const auto& folder : folders_to_clean()) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
      const std::string name = path_text(entry.path().filename());
      if (name.rfind('.', 0) == 0 && name.find(own) != std::string::npos) {
        std::filesystem::remove(entry.path(), ec);
      }
    }
  }
  std::_Exit(event == CTRL_C_EVENT ? 130 : 128 + 15);
}

}  // namespace

void clean_up_on_signals(std::vector<std::filesystem::path> folders) {
  folders_to_clean() = std::move(folders);
  ::SetConsoleCtrlHandler(on_console_end, TRUE);
}

}  // namespace vantrel
