#include "app/user_folder.hpp"

#include <fstream>
#include <sstream>
#include <system_error>

#include "data/atomic_file.hpp"
#include "data/path_text.hpp"

namespace vantrel {

namespace {

bool read_whole(const std::filesystem::path& file, std::string& text) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::ostringstream all;
  all << in.rdbuf();
  text = std::move(all).str();
  return !in.bad();
}

}  // namespace

bool seed_user_folder(const std::filesystem::path& installed, const std::filesystem::path& folder,
                      std::string& error) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (!std::filesystem::is_directory(folder, ec)) {
    error = "cannot create the folder " + path_text(folder);
    return false;
  }
  for (const char* name : kReferenceFiles) {
    const std::filesystem::path target = folder / name;
    // A link or any other kind of file already there is the user's: it stays.
    if (std::filesystem::symlink_status(target, ec).type() != std::filesystem::file_type::not_found)
      continue;
    std::string text;
    if (!read_whole(installed / name, text)) {
      error = "cannot read the reference file " + path_text((installed / name));
      return false;
    }
    AtomicFile copy;
    std::string why;
    if (!copy.open(target, why) || !copy.write(text) || !copy.commit(why)) {
      error = "cannot copy the reference file " + std::string(name) + " into the folder " +
              path_text(folder) + (why.empty() ? "" : ": " + why);
      return false;
    }
  }
  return true;
}

}  // namespace vantrel
