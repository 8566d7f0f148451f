#include "cli/kept_input.hpp"

#include <array>

namespace vantrel {

bool KeptInput::keep(std::istream& in, const std::filesystem::path& folder, const std::string& name,
                     std::string& error) {
  if (!file_.open(folder / name, error)) return false;
  std::array<char, 1 << 16> buffer;
  while (in.read(buffer.data(), buffer.size()) || in.gcount() > 0)
    file_.write(std::string_view(buffer.data(), static_cast<std::size_t>(in.gcount())));
  file_.release();
  return true;
}

}  // namespace vantrel
