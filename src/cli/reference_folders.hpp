// Where a tool finds the three reference files when no folder is named, and what it can say of
// the set it found.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

// The user's own folder that the launchers seed: $XDG_DATA_HOME/vantrel (an absolute
// XDG_DATA_HOME only), else ~/.local/share/vantrel; on Windows %APPDATA%\Vantrel. Nothing
// when the environment names no such place.
std::optional<std::filesystem::path> user_reference_folder();

// The folder of the running program's file; empty when it cannot be told.
std::filesystem::path program_folder();

// The folders to look in, in order: the working directory, the user's folder, then the sets
// installed with the program (../share/vantrel/reference beside bin/, reference/ beside it,
// or its own folder as the portable zip has it).
std::vector<std::filesystem::path> reference_folder_candidates(
    const std::filesystem::path& program_folder);

// The first of `candidates` that holds all three reference files.
std::optional<std::filesystem::path> find_reference_folder(
    const std::vector<std::filesystem::path>& candidates);

// The folder a tool reads the reference files from: the one named (--data), else the first
// candidate that holds all three, said on `errors` as "PROGRAM: reference files from FOLDER"
// unless `quiet`; nothing (with the reason on `errors`) when none does.
std::optional<std::filesystem::path> choose_reference_folder(
    const std::optional<std::string>& named, bool quiet, std::string_view program,
    std::ostream& errors);

// Whether a retention file is the bundled set: its first line names it.
bool is_bundled_set(const std::filesystem::path& retention_file);

}  // namespace vantrel
