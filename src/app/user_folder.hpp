// The user's own folder, where the program starts from the menu: it reads its reference files
// there and writes its trace file there. Made on first start and given copies of the installed
// reference files that are missing; a file already there is never replaced, so a user's own
// reference profiles stay.
#pragma once

#include <array>
#include <filesystem>
#include <string>

namespace vantrel {

inline constexpr std::array<const char*, 3> kReferenceFiles = {
    "Soil_WRC.csv", "fao-crop_databse.csv", "Soil_texture_default.csv"};

// Makes `folder` (and its parents) and copies into it each reference file of `installed` that
// it lacks. Each copy appears whole or not at all. False with the reason in `error`.
bool seed_user_folder(const std::filesystem::path& installed, const std::filesystem::path& folder,
                      std::string& error);

}  // namespace vantrel
