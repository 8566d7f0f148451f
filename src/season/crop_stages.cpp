#include "season/crop_stages.hpp"

#include <cmath>
#include <istream>

#include "data/csv_reader.hpp"
#include "data/fields.hpp"
#include "data/number_text.hpp"

namespace vantrel {

namespace {

constexpr std::array<std::string_view, 7> kNames = {"kc_ini", "kc_mid", "kc_end", "l_ini",
                                                    "l_dev",  "l_mid",  "l_late"};
constexpr double kMaxKc = 2, kMaxStageDays = 3650;

}  // namespace

std::optional<CropStages> crop_stages_from(const std::array<double, 7>& v, std::string& reason) {
  for (std::size_t i = 0; i < v.size(); ++i) {
    const double high = i < 3 ? kMaxKc : kMaxStageDays;
    if (v[i] >= 0 && v[i] <= high) continue;
    reason = std::string(kNames[i]) + " " + shortest_form(static_cast<float>(v[i])) +
             " is not within 0 and " + shortest_form(static_cast<float>(high));
    return std::nullopt;
  }
  const auto days = [](double d) { return static_cast<int>(std::lround(d)); };
  const CropStages crop{v[0], v[1], v[2], days(v[3]), days(v[4]), days(v[5]), days(v[6])};
  if (crop.season_days() < 1) {
    reason = "the four stages last 0 days";
    return std::nullopt;
  }
  return crop;
}

bool read_crop_stages(std::istream& in, CropStageTable& table, std::string& error) {
  CsvReader reader(in);
  CsvRecord record;
  if (!reader.next(record)) return true;  // an empty file names no crop
  while (reader.next(record)) {
    std::array<double, 7> v{};
    bool ok = record.error.empty() && record.fields.size() >= 8;
    for (std::size_t i = 0; ok && i < 7; ++i) {
      float number = 0;
      ok = read_field_number(trimmed_field(record.fields[i + 1]), number) == FieldNumber::value;
      v[i] = number;
    }
    std::string reason = "a row needs a name and seven numbers";
    const auto stages = ok ? crop_stages_from(v, reason) : std::nullopt;
    if (!stages) {
      error = std::to_string(record.line) + ": " + reason;
      return false;
    }
    const std::string crop(trimmed_field(record.fields[0]));
    // A second row for a crop would silently replace the first one.
    if (!table.try_emplace(crop, *stages).second) {
      error = std::to_string(record.line) + ": " + crop + " has a row already";
      return false;
    }
  }
  return true;
}

}  // namespace vantrel
