#include "season/season_choices.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

#include "data/fields.hpp"
#include "data/table_header.hpp"
#include "data/text.hpp"

namespace vantrel {

namespace {

constexpr CellKind kText = CellKind::text, kNumber = CellKind::number;
constexpr std::array<ColumnSpec, kSeasonColumnCount> kColumns = {{
    {"planting_date", false, kText},  {"initial_depletion_mm", false, kNumber},
    {"station", false, kText},        {"kc_ini", false, kNumber},
    {"kc_mid", false, kNumber},       {"kc_end", false, kNumber},
    {"l_ini", false, kNumber},        {"l_dev", false, kNumber},
    {"l_mid", false, kNumber},        {"l_late", false, kNumber},
    {"root_ini_cm", false, kNumber},  {"subsoil_water", false, kText},
    {"curve_number", false, kNumber}, {"strategy", false, kText},
    {"stop_days", false, kNumber},    {"last_irrigation_date", false, kText},
    {"depth_mm", false, kNumber},     {"max_mm_day", false, kNumber},
    {"every_days", false, kNumber},   {"refill_to_pct", false, kNumber},
    {"mad_ini_pct", false, kNumber},  {"mad_dev_pct", false, kNumber},
    {"mad_mid_pct", false, kNumber},  {"mad_late_pct", false, kNumber},
    {"height_m", false, kNumber},     {"ky", false, kNumber},
    {"ky_ini", false, kNumber},       {"ky_dev", false, kNumber},
    {"ky_mid", false, kNumber},       {"ky_late", false, kNumber},
}};

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

namespace season_choices {

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

// The field's own initial root depth, over its crop's; false with the reason said.
bool take_root_ini(const SeasonColumns& columns, const ProfileInput& input, CropStages& crop,
                   SeasonResult& s) {
  const Cell cell = cell_of(columns, input, SeasonColumn::root_ini_cm);
  if (cell.text.empty()) return true;
  const auto depth = amount(columns, cell.text);
  if (!depth || !(*depth > 0) || *depth > kMaxRootDepth) {
    say(s, "error",
        on_line(cell.line, "root_ini_cm " + in_quotes(cell.text) +
                               " is not a depth above 0 and at most 1000 cm"));
    return false;
  }
  crop.root_ini_cm = *depth;
  return true;
}

// What the soil the roots grow into holds; false with the reason said.
bool take_subsoil(const SeasonColumns& columns, const ProfileInput& input, RootZone& zone,
                  SeasonResult& s) {
  const Cell cell = cell_of(columns, input, SeasonColumn::subsoil_water);
  const std::string choice = ascii_lower(cell.text);
  if (choice.empty() || choice == "field-capacity") return true;
  if (choice == "as-start") {
    zone.new_soil = NewSoil::as_start;
    return true;
  }
  say(s, "error",
      on_line(cell.line,
              "subsoil_water " + in_quotes(cell.text) + " is not field-capacity or as-start"));
  return false;
}

// The field's curve number for runoff; false with the reason said.
bool take_runoff(const SeasonColumns& columns, const ProfileInput& input, RootZone& zone,
                 SeasonResult& s) {
  const Cell cn = cell_of(columns, input, SeasonColumn::curve_number);
  if (cn.text.empty()) return true;
  const auto number = amount(columns, cn.text);
  if (!number || !(*number >= 30 && *number <= 100)) {
    say(s, "error",
        on_line(cn.line, "curve_number " + in_quotes(cn.text) + " is not from 30 to 100"));
    return false;
  }
  zone.curve_number = *number;
  return true;
}

// A number column of the field within [low, high] (whole when asked); nothing when blank. False
// with the reason said when it is given and no such number.
bool bounded(const SeasonColumns& columns, const ProfileInput& input, SeasonColumn column,
             double low, double high, bool whole, std::optional<double>& value, SeasonResult& s) {
  const Cell cell = cell_of(columns, input, column);
  value.reset();
  if (cell.text.empty()) return true;
  const auto number = amount(columns, cell.text);
  if (number && *number >= low && *number <= high && (!whole || std::trunc(*number) == *number)) {
    value = *number;
    return true;
  }
  say(s, "error",
      on_line(cell.line, std::string(season_column_name(column)) + " " + in_quotes(cell.text) +
                             " is not " + (whole ? "a whole number" : "a number") + " from " +
                             season_number(low) + " to " + season_number(high)));
  return false;
}

// The field's own crop height and yield response factors, over its crop's; false with the
// reason said.
bool take_height(const SeasonColumns& columns, const ProfileInput& input, CropStages& crop,
                 SeasonResult& s) {
  std::optional<double> height;
  if (!bounded(columns, input, SeasonColumn::height_m, 0.01, 30, false, height, s)) return false;
  if (height) crop.height_m = height;
  std::optional<double> ky;
  if (!bounded(columns, input, SeasonColumn::ky, 0.01, kMaxKy, false, ky, s)) return false;
  if (ky) crop.ky = ky;
  for (std::size_t i = 0; i < crop.ky_stage.size(); ++i) {
    const auto column =
        static_cast<SeasonColumn>(static_cast<std::size_t>(SeasonColumn::ky_ini) + i);
    if (!bounded(columns, input, column, 0.01, kMaxKy, false, ky, s)) return false;
    if (ky) crop.ky_stage[i] = ky;
  }
  return true;
}

namespace {

constexpr std::array<std::pair<std::string_view, Strategy>, 5> kStrategies = {{
    {"refill", Strategy::refill},
    {"fixed-depth", Strategy::fixed_depth},
    {"interval", Strategy::interval},
    {"deficit", Strategy::deficit},
    {"rainfed", Strategy::rainfed},
}};

// The strategy's name; false with the reason said.
bool take_strategy_name(const SeasonColumns& columns, const ProfileInput& input, RootZone& zone,
                        SeasonResult& s) {
  const Cell cell = cell_of(columns, input, SeasonColumn::strategy);
  const std::string name = ascii_lower(cell.text);
  if (name.empty()) return true;
  for (const auto& [known, strategy] : kStrategies) {
    if (name == known) {
      zone.strategy = strategy;
      return true;
    }
  }
  say(s, "error",
      on_line(cell.line, "strategy " + in_quotes(cell.text) +
                             " is not refill, fixed-depth, interval, deficit or rainfed"));
  return false;
}

}  // namespace

// The strategy and its parameters; false with the reason said.
bool take_strategy(const SeasonColumns& columns, const ProfileInput& input, RootZone& zone,
                   SeasonResult& s) {
  std::optional<double> depth, capacity, every, refill_to;
  if (!take_strategy_name(columns, input, zone, s) ||
      !bounded(columns, input, SeasonColumn::depth_mm, 0.1, 500, false, depth, s) ||
      !bounded(columns, input, SeasonColumn::max_mm_day, 0.1, 500, false, capacity, s) ||
      !bounded(columns, input, SeasonColumn::every_days, 1, 3650, true, every, s) ||
      !bounded(columns, input, SeasonColumn::refill_to_pct, 0, 100, false, refill_to, s)) {
    return false;
  }
  for (std::size_t stage = 0; stage < zone.mad_pct.size(); ++stage) {
    const auto column =
        static_cast<SeasonColumn>(static_cast<std::size_t>(SeasonColumn::mad_ini_pct) + stage);
    if (!bounded(columns, input, column, 1, 100, false, zone.mad_pct[stage], s)) return false;
  }
  zone.depth_mm = depth.value_or(0.0);
  zone.max_mm_day = capacity;
  zone.every_days = static_cast<int>(every.value_or(0.0));
  zone.refill_to_pct = refill_to.value_or(100.0);
  const char* missing = zone.strategy == Strategy::fixed_depth && !depth   ? "depth_mm"
                        : zone.strategy == Strategy::interval && !every    ? "every_days"
                        : zone.strategy == Strategy::deficit && !refill_to ? "refill_to_pct"
                                                                           : nullptr;
  if (missing != nullptr) {
    say(s, "error",
        on_line(s.first_line,
                "strategy " + std::string(strategy_name(zone.strategy)) + " needs " + missing));
    return false;
  }
  s.strategy = zone.strategy;
  s.every_days = zone.every_days;
  return true;
}

// When irrigation stops: the season's last days, or a date; false with the reason said.
bool take_stops(const SeasonColumns& columns, const ProfileInput& input, DayNumber planting,
                RootZone& zone, SeasonResult& s) {
  std::optional<double> stop;
  if (!bounded(columns, input, SeasonColumn::stop_days, 0, 3650, true, stop, s)) return false;
  zone.stop_days = static_cast<int>(stop.value_or(0.0));
  const Cell last = cell_of(columns, input, SeasonColumn::last_irrigation_date);
  if (last.text.empty()) return true;
  const auto date = parse_iso_date(last.text);
  if (!date) {
    say(s, "error",
        on_line(last.line,
                "last_irrigation_date " + in_quotes(last.text) + " is not a date as 2026-08-31"));
    return false;
  }
  zone.last_irrigation_day = static_cast<int>(*date - planting) + 1;
  return true;
}

}  // namespace season_choices

}  // namespace vantrel
