#include "season/season.hpp"

#include <algorithm>
#include <span>

#include "data/fields.hpp"
#include "data/number_text.hpp"
#include "data/table_header.hpp"
#include "data/text.hpp"

namespace vantrel {

namespace {

constexpr CellKind kText = CellKind::text, kNumber = CellKind::number;
constexpr std::array<ColumnSpec, kSeasonColumnCount> kColumns = {{
    {"planting_date", false, kText},
    {"initial_depletion_mm", false, kNumber},
    {"station", false, kText},
    {"kc_ini", false, kNumber},
    {"kc_mid", false, kNumber},
    {"kc_end", false, kNumber},
    {"l_ini", false, kNumber},
    {"l_dev", false, kNumber},
    {"l_mid", false, kNumber},
    {"l_late", false, kNumber},
}};
constexpr std::string_view kGiveStages =
    "give kc_ini, kc_mid, kc_end, l_ini, l_dev, l_mid and l_late";

// A field's value of a season column: the first row that gives it, with its line.
struct Cell {
  std::string text;
  int line = 0;
};

Cell cell_of(const SeasonColumns& columns, const ProfileInput& input, SeasonColumn c) {
  const auto& at = columns.index[static_cast<std::size_t>(c)];
  if (!at) return {};
  for (const BatchRow& row : input.rows) {
    if (*at >= row.fields.size()) continue;
    const std::string_view text = trimmed_field(row.fields[*at]);
    if (!text.empty()) return {std::string(text), row.line};
  }
  return {};
}

// A number of 0 or more; a decimal comma is the point in a file that semicolons separate.
std::optional<float> amount(const SeasonColumns& columns, std::string text) {
  if (columns.decimal_comma) std::replace(text.begin(), text.end(), ',', '.');
  float number = 0;
  if (read_table_number(text, number) != TableNumber::value || number < 0) return std::nullopt;
  return number;
}

void say(SeasonResult& s, const std::string& status, const std::string& reason) {
  if (s.status != "error") s.status = status;
  s.message += (s.message.empty() ? "" : "; ") + reason;
}

std::string on_line(int line, const std::string& reason) {
  return "line " + std::to_string(line) + ": " + reason;
}

// The crop's stages: the field's own columns when it gives all seven, else the table's.
std::optional<CropStages> stages_of(const SeasonColumns& columns, const ProfileInput& input,
                                    const std::string& crop, const CropStageTable& table,
                                    std::string& reason) {
  std::array<double, 7> v{};
  int given = 0;
  for (auto c = static_cast<std::size_t>(SeasonColumn::kc_ini); c < kSeasonColumnCount; ++c) {
    const Cell cell = cell_of(columns, input, static_cast<SeasonColumn>(c));
    if (cell.text.empty()) continue;
    const auto number = amount(columns, cell.text);
    if (!number) {
      reason = std::string(kColumns[c].name) + " " + in_quotes(cell.text) +
               " is not a number of 0 or more";
      return std::nullopt;
    }
    v[c - static_cast<std::size_t>(SeasonColumn::kc_ini)] = *number;
    ++given;
  }
  if (given == 7) return crop_stages_from(v, reason);
  if (given > 0) {
    reason = "give all seven of kc_ini, kc_mid, kc_end, l_ini, l_dev, l_mid and l_late, or none";
    return std::nullopt;
  }
  const auto found = table.find(crop);
  if (found != table.end()) return found->second;
  reason = crop.empty()
               ? "no crop stages: " + std::string(kGiveStages)
               : "no crop stages for crop " + in_quotes(crop) + ": " + std::string(kGiveStages);
  return std::nullopt;
}

// The field's station; the only station when the file has one and the field names none.
const StationWeather* station_of(const SeasonColumns& columns, const ProfileInput& input,
                                 const WeatherFile& weather, SeasonResult& s, int line) {
  const Cell station = cell_of(columns, input, SeasonColumn::station);
  const StationWeather* w = weather.find(station.text);
  if (w == nullptr && station.text.empty() && weather.stations.size() == 1)
    w = &weather.stations[0];
  if (w == nullptr) {
    say(s, "error",
        on_line(station.text.empty() ? line : station.line,
                "no weather for station " + in_quotes(station.text)));
  }
  return w;
}

// The starting depletion, mm below field capacity; nothing (with the reason said) when it
// cannot be a root zone's.
std::optional<double> initial_depletion(const SeasonColumns& columns, const ProfileInput& input,
                                        double taw, SeasonResult& s) {
  const Cell initial = cell_of(columns, input, SeasonColumn::initial_depletion_mm);
  if (initial.text.empty()) return 0.0;
  const auto depletion = amount(columns, initial.text);
  if (!depletion) {
    say(s, "error",
        on_line(initial.line, "initial_depletion_mm " + in_quotes(initial.text) +
                                  " is not a number of 0 or more"));
    return std::nullopt;
  }
  // Deeper than the total available water is drier than the wilting point, which no root
  // zone is; the first morning would then "irrigate" water the soil cannot hold.
  if (*depletion > taw) {
    say(s, "error",
        on_line(initial.line, "initial_depletion_mm " + in_quotes(initial.text) +
                                  " is above the root zone's total available water, " +
                                  season_number(taw) + " mm"));
    return std::nullopt;
  }
  return *depletion;
}

SeasonTotals totals_of(const std::vector<BalanceDay>& days) {
  SeasonTotals t;
  for (const BalanceDay& d : days) {
    t.etc += d.etc;
    t.rain += d.rain;
    t.net += d.net;
    t.gross += d.gross;
    t.deep_percolation += d.deep_percolation;
    t.irrigations += d.net > 0;
  }
  t.effective_rain = t.rain - t.deep_percolation;
  return t;
}

}  // namespace

std::string_view season_column_name(SeasonColumn c) {
  return kColumns[static_cast<std::size_t>(c)].name;
}

void SeasonColumns::read(const std::vector<std::string>& header) {
  TableHeader table(kColumns);
  table.read(header);  // none is required; a name given twice is the field's error
  for (std::size_t c = 0; c < kSeasonColumnCount; ++c)
    index[c] = table.position(c);
}

bool SeasonColumns::known(std::string_view name) {
  const std::string lower = ascii_lower(trimmed_field(name));
  return std::any_of(kColumns.begin(), kColumns.end(),
                     [&](const ColumnSpec& c) { return c.name == lower; });
}

std::string season_number(double v) {
  return shortest_form(static_cast<float>(v));
}

SeasonResult season_of(const ProfileResult& field, const SeasonColumns& columns,
                       const ProfileInput& input, const SeasonTables& tables) {
  SeasonResult s;
  s.profile = field.name;
  s.first_line = field.first_line;
  s.fp = field.water.fp;
  if (field.status == ProfileStatus::error) {
    say(s, "error", field.message);
    return s;
  }
  if (field.status == ProfileStatus::warning) say(s, "warning", field.message);
  const Cell planting_cell = cell_of(columns, input, SeasonColumn::planting_date);
  s.planting = planting_cell.text;
  const auto planting = parse_iso_date(s.planting);
  if (!planting) {
    say(s, "error",
        on_line(s.planting.empty() ? field.first_line : planting_cell.line,
                "planting_date " + in_quotes(s.planting) + " is not a date as 2026-05-01"));
    return s;
  }
  std::string reason;
  const auto crop = stages_of(columns, input, field.crop, tables.stages, reason);
  if (!crop) {
    say(s, "error", on_line(field.first_line, reason));
    return s;
  }
  const StationWeather* w = station_of(columns, input, tables.weather, s, field.first_line);
  if (w == nullptr) return s;
  if (*planting < w->first || *planting > w->last()) {
    say(s, "error",
        "the planting date " + iso_date(*planting) + " is outside the weather (" +
            iso_date(w->first) + " to " + iso_date(w->last()) + ")");
    return s;
  }
  RootZone zone;
  zone.taw = field.water.root_zone_taw;
  zone.p_table_pct = field.p_table;
  zone.efficiency_pct = field.efficiency;
  zone.full_point = field.water.fp;
  const auto depletion = initial_depletion(columns, input, zone.taw, s);
  if (!depletion) return s;
  zone.initial_depletion = *depletion;
  s.first = *planting;
  const auto offset = static_cast<std::size_t>(*planting - w->first);
  s.days = water_balance(zone, *crop, std::span(w->days).subspan(offset));
  if (static_cast<int>(s.days.size()) < crop->season_days()) {
    say(s, "warning",
        "the weather ends on " + iso_date(w->last()) + ", day " + std::to_string(s.days.size()) +
            " of the season's " + std::to_string(crop->season_days()));
  }
  if (w->rs_from_temperature) {
    say(s, "warning", "solar radiation from the temperature range (FAO-56 eq. 50) on some days");
  }
  s.totals = totals_of(s.days);
  return s;
}

}  // namespace vantrel
