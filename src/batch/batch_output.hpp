// The batch results as CSV and JSON text, one profile at a time, so they can be streamed.
#pragma once

#include <string>
#include <string_view>

#include "advice/field_advice.hpp"
#include "data/number_text.hpp"

namespace vantrel {

// How the CSV outputs are written: as the input was (a semicolon and a decimal comma for a
// file a spreadsheet saved that way), or comma and point.
struct CsvFormat {
  char separator = ',';
  char decimal = '.';
};

// Lines of the horizons file: the header, then each profile's horizons (none for an error).
std::string horizons_header(const CsvFormat& format = {});
std::string horizons_rows(const ProfileResult& profile, const CsvFormat& format = {});
// Appending, through remembered forms when given (one set for each kind of row).
void append_horizons_rows(const ProfileResult& profile, const CsvFormat& format, std::string& out,
                          ShortestForms* forms = nullptr);

// Lines of the results file: the header, then one line per profile. `fc_suction` (kPa) is
// the run's.
std::string results_header(const CsvFormat& format = {});
std::string results_row(const ProfileResult& profile, float fc_suction,
                        const CsvFormat& format = {});
void append_results_row(const ProfileResult& profile, float fc_suction, const CsvFormat& format,
                        std::string& out, ShortestForms* forms = nullptr);

// The JSON document: its start, each profile as one member of "profiles" (the writer puts
// the commas between them), and its end. Numbers that are not finite are null.
std::string json_start(std::string_view input, std::string_view version, float fc_suction);
std::string json_profile(const ProfileResult& profile);
inline constexpr std::string_view kJsonSeparator = ",";
std::string json_end();

}  // namespace vantrel
