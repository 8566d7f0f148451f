// The running program's folder on Windows, from its module's file name.
#include <windows.h>

#include <string>

#include "cli/reference_folders.hpp"

namespace vantrel {

std::filesystem::path program_folder() {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return {};
    if (length < name.size()) {
      name.resize(length);
      return std::filesystem::path(name).parent_path();
    }
    name.resize(name.size() * 2);
  }
}

}  // namespace vantrel
