#include "batch/batch_output.hpp"

#include <cmath>
#include <cstdio>
#include <optional>

#include "data/csv_reader.hpp"
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

std::string csv_number(const std::optional<float>& v) {
  return v ? shortest_form(*v) : std::string();
}

// A text cell: quoted as CSV needs, and never a formula to a spreadsheet.
std::string csv_text(const std::string& text) {
  return csv_field(spreadsheet_text(text));
}

}  // namespace

std::string horizons_header() {
  return "profile,horizon,top_cm,bottom_cm,texture,density_kg_l,fc_pct,sp_pct,wp_pct,theta_s_pct,"
         "entries\n";
}

std::string horizons_rows(const ProfileResult& profile) {
  std::string out;
  for (const HorizonResult& h : profile.horizons) {
    out += csv_text(profile.name) + ',' + std::to_string(h.horizon) + ',' + shortest_form(h.top) +
           ',' + shortest_form(h.bottom) + ',' + csv_field(h.texture) + ',' +
           shortest_form(h.density) + ',' + shortest_form(h.fc) + ',' + shortest_form(h.sp) + ',' +
           shortest_form(h.wp) + ',' + shortest_form(h.theta_s) + ',' + std::to_string(h.entries) +
           '\n';
  }
  return out;
}

std::string results_header() {
  return "profile,status,crop,root_depth_cm,tolerance_pct,taw_mm,raw_mm,fp_mm,rp_mm,"
         "root_zone_taw_mm,irrigation_depth_mm,interval_days,message\n";
}

std::string results_row(const ProfileResult& p) {
  const auto number = [&](float v) { return computed(p) ? shortest_form(v) : std::string(); };
  return csv_text(p.name) + ',' + std::string(status_name(p.status)) + ',' + csv_text(p.crop) +
         ',' + number(p.root_depth) + ',' + number(p.tolerance) + ',' + number(p.water.taw) + ',' +
         number(p.water.raw) + ',' + number(p.water.fp) + ',' + number(p.water.rp) + ',' +
         number(p.water.root_zone_taw) + ',' + number(p.irrigation_depth) + ',' +
         csv_number(p.interval) + ',' + csv_text(p.message) + '\n';
}

std::string json_string(std::string_view text) {
  std::string out = "\"";
  for (const char c : valid_utf8(text)) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", u);
      out += escape;
    } else {
      out += c;
    }
  }
  return out + '"';
}

std::string json_start(std::string_view input, std::string_view version) {
  return "{\n  \"program\": \"vantrel-batch\",\n  \"version\": " + json_string(version) +
         ",\n  \"input\": " + json_string(input) + ",\n  \"profiles\": [";
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
         ", \"etc_mm_day\": " + json_number(p.etc) + ",\n     \"horizons\": [";
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
         ", \"interval_days\": " + json_number(p.interval) + "}}";
  return out;
}

std::string json_end() {
  return "\n  ]\n}\n";
}

}  // namespace vantrel
