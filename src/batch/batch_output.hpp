// The batch results as CSV and JSON text, one profile at a time, so they can be streamed.
#pragma once

#include <string>
#include <string_view>

#include "batch/batch_profile.hpp"

namespace vantrel {

// Lines of the horizons file: the header, then each profile's horizons (none for an error).
std::string horizons_header();
std::string horizons_rows(const ProfileResult& profile);

// Lines of the results file: the header, then one line per profile.
std::string results_header();
std::string results_row(const ProfileResult& profile);

// The JSON document: its start, each profile as one member of "profiles" (the writer puts
// the commas between them), and its end. Numbers that are not finite are null.
std::string json_start(std::string_view input, std::string_view version);
std::string json_profile(const ProfileResult& profile);
inline constexpr std::string_view kJsonSeparator = ",";
std::string json_end();

// A JSON string literal.
std::string json_string(std::string_view text);

}  // namespace vantrel
