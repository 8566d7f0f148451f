// vantrel-launcher.exe, what the Start menu starts: the program in the user's folder
// %APPDATA%\Vantrel, made on first start with copies of the installed reference files that
// are missing there (never replacing one), as the Linux launcher does.
//   vantrel-launcher.exe          prepare the folder and start the program there
//   vantrel-launcher.exe --seed   prepare the folder and print its path
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/user_folder.hpp"
#include "cli/command_line.hpp"
#include "cli/reference_folders.hpp"
#include "data/path_text.hpp"

namespace {

constexpr const char* kUsage =
    "usage: vantrel-launcher [--seed]\n"
    "Starts Vantrel in the user's folder %APPDATA%\\Vantrel, made on first start with copies\n"
    "of the installed reference files that are missing there.\n"
    "  --seed     prepare the folder and print its path, without starting the program\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n";

// From the Start menu nobody sees standard error: a message says it too.
int fail(const std::string& why) {
  const std::string text = "Vantrel: " + why;
  std::fprintf(stderr, "%s\n", text.c_str());
  MessageBoxA(nullptr, text.c_str(), "Vantrel", MB_OK | MB_ICONERROR);
  return 1;
}

std::filesystem::path roaming_folder() {
  PWSTR found = nullptr;
  std::filesystem::path folder;
  if (SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &found) == S_OK) folder = found;
  CoTaskMemFree(found);
  return folder;
}

std::vector<std::string> arguments() {
  int count = 0;
  LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; words != nullptr && i < count; ++i)
    args.push_back(vantrel::path_text(std::filesystem::path(words[i])));
  LocalFree(words);
  return args;
}

// Runs the program in `folder` and returns its exit status.
int run_program(const std::filesystem::path& program, const std::filesystem::path& folder) {
  std::wstring command = L"\"" + program.wstring() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &process)) {
    return fail("cannot start " + vantrel::path_text(program));
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 1;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace vantrel;
  write_standard_streams_as_is();
  const std::vector<std::string> args = arguments();
  bool seed = false;
  if (args.size() == 1 && args[0] == "--seed") {
    seed = true;
  } else if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::fputs(kUsage, stdout);
    return 0;
  } else if (args.size() == 1 && args[0] == "--version") {
    std::printf("vantrel-launcher %s\n", VANTREL_VERSION);
    return 0;
  } else if (!args.empty()) {
    std::fprintf(stderr, "vantrel-launcher: unknown argument %s (see --help)\n", args[0].c_str());
    return 2;
  }
  const std::filesystem::path roaming = roaming_folder();
  if (roaming.empty()) return fail("no folder for the user's data (APPDATA)");
  const std::filesystem::path folder = roaming / "Vantrel";
  std::string error;
  if (!seed_user_folder(program_folder() / "reference", folder, error)) return fail(error);
  if (seed) {
    std::printf("%s\n", vantrel::path_text(folder).c_str());
    return 0;
  }
  return run_program(program_folder() / "vantrel.exe", folder);
}
