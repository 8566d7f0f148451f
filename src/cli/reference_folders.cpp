#include "cli/reference_folders.hpp"

#include <cstdlib>
#include <fstream>
#include <string>
#include <system_error>

#include "data/path_text.hpp"
#include "data/retention_curves.hpp"
#include "data/text_tables.hpp"

namespace vantrel {

std::optional<std::filesystem::path> user_reference_folder() {
#ifdef _WIN32
  // The wide form: a user named in any script (中文) has a folder the narrow one cannot name.
  if (const wchar_t* appdata = _wgetenv(L"APPDATA"); appdata != nullptr && *appdata != L'\0')
    return std::filesystem::path(appdata) / "Vantrel";
  return std::nullopt;
#else
  const char* data_home = std::getenv("XDG_DATA_HOME");
  if (data_home != nullptr && data_home[0] == '/')
    return std::filesystem::path(data_home) / "vantrel";
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0')
    return std::filesystem::path(home) / ".local" / "share" / "vantrel";
  return std::nullopt;
#endif
}

#ifndef _WIN32
std::filesystem::path program_folder() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : self.parent_path();
}
#endif  // on Windows: program_folder_windows.cpp

std::vector<std::filesystem::path> reference_folder_candidates(
    const std::filesystem::path& program) {
  std::vector<std::filesystem::path> folders = {"."};
  if (const auto user = user_reference_folder()) folders.push_back(*user);
  if (!program.empty()) {
    folders.push_back(program.parent_path() / "share" / "vantrel" / "reference");
    folders.push_back(program / "reference");
    folders.push_back(program);
  }
  return folders;
}

std::optional<std::filesystem::path> find_reference_folder(
    const std::vector<std::filesystem::path>& candidates) {
  std::error_code ec;
  for (const auto& folder : candidates) {
    bool all = true;
    for (const char* name : {kRetentionFileName, kCropFileName, kTextureFileName})
      all = all && std::filesystem::is_regular_file(folder / name, ec);
    if (all) return folder;
  }
  return std::nullopt;
}

std::optional<std::filesystem::path> choose_reference_folder(
    const std::optional<std::string>& named, bool quiet, std::string_view program,
    std::ostream& errors) {
  if (named) return text_path(*named);
  auto found = find_reference_folder(reference_folder_candidates(program_folder()));
  if (!found) {
    errors << program
           << ": no folder holds the three reference files (the working directory, the user's "
              "folder or the installed set); name one with --data\n";
  } else if (!quiet) {
    errors << program << ": reference files from " << path_text(*found);
    if (is_bundled_set(*found / kRetentionFileName)) {
      errors << " (the bundled set: " << kBundledSetName << ")";
    }
    errors << '\n';
  }
  return found;
}

bool is_bundled_set(const std::filesystem::path& retention_file) {
  std::ifstream in(retention_file, std::ios::binary);
  std::string first;
  std::getline(in, first);
  return first.find(kBundledSetName) != std::string::npos;
}

}  // namespace vantrel
