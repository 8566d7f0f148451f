#include "data/path_text.hpp"

namespace vantrel {

std::string path_text(const std::filesystem::path& path) {
#ifdef _WIN32
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
#else
  return path.string();
#endif
}

std::filesystem::path text_path(std::string_view utf8) {
#ifdef _WIN32
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
#else
  return std::filesystem::path(utf8);
#endif
}

}  // namespace vantrel
