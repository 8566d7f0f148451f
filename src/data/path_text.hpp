// File names as the tools' texts hold them: UTF-8. The standard library's narrow forms of a
// path follow the C runtime's locale on Windows, which takes UTF-8 bytes one by one and throws
// on a character outside its code page, so every path becomes text, and text a path, here.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vantrel {

std::string path_text(const std::filesystem::path& path);
std::filesystem::path text_path(std::string_view utf8);

}  // namespace vantrel
