#include "batch/batch_output.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <optional>

#include "data/csv_row.hpp"
#include "data/number_text.hpp"
#include "data/safe_text.hpp"

namespace vantrel {

namespace {

bool computed(const ProfileResult& p) {
  return p.status != ProfileStatus::error;
}

std::string json_number(float v) {
  return std::isfinite(v) ? shortest_form(v) : "null";
}

std::string json_number(const std::optional<float>& v) {
  return v ? json_number(*v) : "null";
}

// A header of names joined by the format's separator.
std::string header_line(std::string_view names, const CsvFormat& format) {
  std::string line(names);
  std::replace(line.begin(), line.end(), ',', format.separator);
  return line + '\n';
}

}  // namespace

std::string horizons_header(const CsvFormat& format) {
  return header_line(
      "profile,horizon,top_cm,bottom_cm,texture,density_kg_l,fc_pct,sp_pct,wp_pct,theta_s_pct,"
      "entries",
      format);
}

void append_horizons_rows(const ProfileResult& profile, const CsvFormat& format, std::string& out,
                          ShortestForms* forms) {
  for (const HorizonResult& h : profile.horizons) {
    CsvRow(out, format.separator, format.decimal, forms)
        .text(profile.name)
        .integer(h.horizon)
        .number(h.top)
        .number(h.bottom)
        .field(h.texture)
        .number(h.density)
        .number(h.fc)
        .number(h.sp)
        .number(h.wp)
        .number(h.theta_s)
        .integer(h.entries)
        .end();
  }
}

std::string horizons_rows(const ProfileResult& profile, const CsvFormat& format) {
  std::string out;
  append_horizons_rows(profile, format, out);
  return out;
}

std::string results_header(const CsvFormat& format) {
  return header_line(
      "profile,status,crop,root_depth_cm,tolerance_pct,taw_mm,raw_mm,fp_mm,rp_mm,"
      "root_zone_taw_mm,irrigation_depth_mm,interval_days,p_table_pct,p_pct,etc_mm_day,"
      "fc_suction_kpa,refill_level_mm,efficiency_pct,gross_depth_mm,warnings,notes,message",
      format);
}

void append_results_row(const ProfileResult& p, float fc_suction, const CsvFormat& format,
                        std::string& out, ShortestForms* forms) {
  // An error's figures are blank: nothing was computed.
  const auto computed_number = [&](float v) {
    return computed(p) ? std::optional<float>(v) : std::nullopt;
  };
  CsvRow(out, format.separator, format.decimal, forms)
      .text(p.name)
      .raw(status_name(p.status))
      .text(p.crop)
      .number(computed_number(p.root_depth))
      .number(computed_number(p.tolerance))
      .number(computed_number(p.water.taw))
      .number(computed_number(p.water.raw))
      .number(computed_number(p.water.fp))
      .number(computed_number(p.water.rp))
      .number(computed_number(p.water.root_zone_taw))
      .number(computed_number(p.irrigation_depth))
      .number(computed(p) ? p.interval : std::nullopt)
      .number(computed_number(p.p_table))
      .number(computed_number(p.p))
      .number(p.etc)
      .number(fc_suction)
      .number(computed_number(p.refill_level))
      .number(computed_number(p.efficiency))
      .number(computed_number(p.gross_depth))
      .integer(p.warning_count)
      .text(p.notes)
      .text(p.message)
      .end();
}

std::string results_row(const ProfileResult& p, float fc_suction, const CsvFormat& format) {
  std::string out;
  append_results_row(p, fc_suction, format, out);
  return out;
}

std::string json_start(std::string_view input, std::string_view version, float fc_suction) {
  return "{\n  \"program\": \"vantrel-batch\",\n  \"version\": " + json_string(version) +
         ",\n  \"input\": " + json_string(input) +
         ",\n  \"fc_suction_kpa\": " + json_number(fc_suction) + ",\n  \"profiles\": [";
}

std::string json_profile(const ProfileResult& p) {
  std::string out = "\n    {";
  out += "\"profile\": " + json_string(p.name) + ", \"line\": " + std::to_string(p.first_line) +
         ", \"status\": " + json_string(status_name(p.status)) +
         ", \"message\": " + json_string(p.message);
  if (!computed(p)) return out + ", \"crop\": null, \"horizons\": [], \"results\": null}";
  out += ", \"crop\": " + (p.crop.empty() ? std::string("null") : json_string(p.crop)) +
         ", \"root_depth_cm\": " + json_number(p.root_depth) +
         ", \"tolerance_pct\": " + json_number(p.tolerance) +
         ", \"etc_mm_day\": " + json_number(p.etc) +
         ", \"p_table_pct\": " + json_number(p.p_table) + ", \"p_pct\": " + json_number(p.p) +
         ", \"efficiency_pct\": " + json_number(p.efficiency) +
         ", \"notes\": " + json_string(p.notes) +
         ", \"warnings\": " + std::to_string(p.warning_count) + ",\n     \"horizons\": [";
  bool first_horizon = true;
  for (const HorizonResult& h : p.horizons) {
    out += first_horizon ? "\n      {" : ",\n      {";
    first_horizon = false;
    out += "\"horizon\": " + std::to_string(h.horizon) + ", \"top_cm\": " + json_number(h.top) +
           ", \"bottom_cm\": " + json_number(h.bottom) +
           ", \"texture\": " + json_string(h.texture) +
           ", \"stones_pct\": " + json_number(h.stones) +
           ", \"density_kg_l\": " + json_number(h.density) + ", \"fc_pct\": " + json_number(h.fc) +
           ", \"sp_pct\": " + json_number(h.sp) + ", \"wp_pct\": " + json_number(h.wp) +
           ", \"theta_s_pct\": " + json_number(h.theta_s) +
           ", \"entries\": " + std::to_string(h.entries) + "}";
  }
  out += "],\n     \"results\": {\"taw_mm\": " + json_number(p.water.taw) +
         ", \"raw_mm\": " + json_number(p.water.raw) + ", \"fp_mm\": " + json_number(p.water.fp) +
         ", \"rp_mm\": " + json_number(p.water.rp) +
         ", \"root_zone_taw_mm\": " + json_number(p.water.root_zone_taw) +
         ", \"irrigation_depth_mm\": " + json_number(p.irrigation_depth) +
         ", \"refill_level_mm\": " + json_number(p.refill_level) +
         ", \"gross_depth_mm\": " + json_number(p.gross_depth) +
         ", \"interval_days\": " + json_number(p.interval) + "}}";
  return out;
}

std::string json_end() {
  return "\n  ]\n}\n";
}

}  // namespace vantrel
