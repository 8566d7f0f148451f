#include "report/field_pages.hpp"

#include <algorithm>
#include <array>
#include <cmath>

#include "data/number_text.hpp"
#include "physics/soil_properties.hpp"

namespace vantrel::page {

namespace {

constexpr std::array<Colour, 5> kHorizonColours = {
    Colour{0x1f, 0x5f, 0xa8}, Colour{0xc0, 0x5a, 0x12}, Colour{0x2e, 0x8b, 0x3e},
    Colour{0x8e, 0x2c, 0x8e}, Colour{0x6b, 0x6b, 0x6b}};

std::vector<Column> summary_columns(const Units& u) {
  const std::string water = u.water_unit(), depth = u.depth_unit();
  return {{"Profile", "", 0, 36},
          {"Crop", "", 36, 30},
          {"Root", "depth " + depth, 66, 16, Align::right},
          {"Root-zone", "TAW " + water, 84, 18, Align::right},
          {"Apply", "net " + water, 104, 15, Align::right},
          {"Apply", "gross " + water, 121, 17, Align::right},
          {"Every", "days", 140, 12, Align::right},
          {"Status", "", 156, 14},
          {"Warn-", "ings", 168, 12, Align::right}};
}

std::vector<Cell> summary_cells(const SummaryRow& r, const Units& u) {
  const bool computed = r.status != ProfileStatus::error;
  const auto water = [&](float v) { return computed ? u.water_number(v) : std::string("-"); };
  return {{fitted(r.name, 35, kBody)},
          {fitted(r.crop.empty() ? "(given directly)" : r.crop, 29, kBody)},
          {computed ? u.depth_number(r.root_depth) : std::string("-")},
          {water(r.root_zone_taw)},
          {water(r.net)},
          {water(r.gross)},
          {computed && r.interval ? form(*r.interval) : std::string("-")},
          {std::string(status_name(r.status)), r.status != ProfileStatus::ok},
          {std::to_string(r.warnings)}};
}

// Depth downwards; per horizon its water contents at WP, SP and FC as a band; the root depth.
void profile_drawing(ChartBlock& c, const ProfileResult& r, const Units& u) {
  float deepest = std::max(r.root_depth, 10.0F), wettest = 10;
  for (const HorizonResult& h : r.horizons) {
    deepest = std::max(deepest, h.bottom);
    wettest = std::max(wettest, h.fc);
  }
  const Ticks depth = round_ticks(0, u.depth(deepest), 6),
              content = round_ticks(0, u.content(wettest), 5);
  const Plot plot{c.x + 12,     c.top + 2, c.width - 14, c.height - 10, content.low,
                  content.high, depth.low, depth.high,   true};
  for (std::size_t i = 0; i < r.horizons.size(); ++i) {
    const HorizonResult& h = r.horizons[i];
    const Colour colour = kHorizonColours[i % kHorizonColours.size()];
    const double top = plot.py(u.depth(h.top)), bottom = plot.py(u.depth(h.bottom));
    const double fc = plot.px(u.content(h.fc)), sp = plot.px(u.content(h.sp)),
                 wp = plot.px(u.content(h.wp));
    add_rect(c, {wp, top}, {fc, bottom},
             {static_cast<std::uint8_t>(colour.r / 4 + 191),
              static_cast<std::uint8_t>(colour.g / 4 + 191),
              static_cast<std::uint8_t>(colour.b / 4 + 191)});
    add_line(c, {{fc, top}, {fc, bottom}}, colour, 0.5);
    add_line(c, {{sp, top}, {sp, bottom}}, colour, 0.5, Dash::dashed);
    add_line(c, {{wp, top}, {wp, bottom}}, colour, 0.5, Dash::dotted);
    add_line(c, {{plot.left, bottom}, {plot.right(), bottom}}, kGrey, 0.1);
  }
  const double root = plot.py(u.depth(r.root_depth));
  add_line(c, {{plot.left, root}, {plot.right(), root}}, kIrrigation, 0.4, Dash::dashed);
  add_label(c, {plot.left + 1, root - 1},
            "root depth " + u.depth_number(r.root_depth) + " " + u.depth_unit(), Align::left,
            kIrrigation);
  add_frame(c, plot);
  add_y_ticks(c, plot, depth);
  add_x_ticks(c, plot, content);
}

// Each horizon's mean retention curve over the entries its values rest on, stones applied,
// from 1 to 1500 kPa on a log axis, with FC, SP and WP marked.
void retention_curves(ChartBlock& c, const RetentionCurves& curves, const ProfileResult& r,
                      double fc_suction, const Units& u) {
  double wettest = 10;
  for (const HorizonResult& h : r.horizons)
    wettest = std::max(wettest, mean_water_content(curves, h.used, h.stones, 1.0));
  const Ticks content = round_ticks(0, u.content(wettest), 5);
  const double decades = std::log10(1500.0);
  const Plot plot{c.x + 12, c.top + 2, c.width - 14, c.height - 10,
                  0,        decades,   content.low,  content.high};
  for (std::size_t i = 0; i < r.horizons.size(); ++i) {
    const HorizonResult& h = r.horizons[i];
    const Colour colour = kHorizonColours[i % kHorizonColours.size()];
    std::vector<Point> points;
    constexpr int kSteps = 60;
    for (int s = 0; s <= kSteps; ++s) {
      const double at = decades * s / kSteps;
      points.push_back({plot.px(at), plot.py(u.content(mean_water_content(curves, h.used, h.stones,
                                                                          std::pow(10.0, at))))});
    }
    add_line(c, std::move(points), colour, 0.4);
    for (const auto& [suction, value] :
         {std::pair{fc_suction, h.fc}, std::pair{100.0, h.sp}, std::pair{1500.0, h.wp}})
      add_dot(c, {plot.px(std::log10(suction)), plot.py(u.content(value))}, 0.8, colour);
    add_label(c, {plot.right() - 1, plot.top + 4 + 3.5 * static_cast<double>(i)},
              "horizon " + std::to_string(h.horizon), Align::right, colour);
  }
  add_frame(c, plot);
  add_y_ticks(c, plot, content);
  for (const double suction : {1.0, 10.0, 100.0, 1000.0}) {
    const double x = plot.px(std::log10(suction));
    add_line(c, {{x, plot.bottom()}, {x, plot.bottom() + 1}}, kBlack, 0.2);
    add_label(c, {x, plot.bottom() + 4}, tick_label(suction, 1), Align::centre);
  }
}

void horizon_table(Flow& flow, const ProfileResult& r, const Units& u) {
  const std::string depth = u.depth_unit(), content = u.content_unit();
  TableBlock& t = flow.table("Horizons", {{"Horizon", "", 0, 16},
                                          {"Top", depth, 16, 12, Align::right},
                                          {"Bottom", depth, 30, 16, Align::right},
                                          {"Texture", "", 50, 34},
                                          {"Stones", "%", 84, 14, Align::right},
                                          {"Density", "kg/L", 100, 16, Align::right},
                                          {"FC", content, 118, 12, Align::right},
                                          {"SP", content, 132, 12, Align::right},
                                          {"WP", content, 146, 12, Align::right},
                                          {"Entries", "", 162, 16, Align::right}});
  for (const HorizonResult& h : r.horizons) {
    t.rows.push_back({{std::to_string(h.horizon)},
                      {u.depth_number(h.top)},
                      {u.depth_number(h.bottom)},
                      {fitted(h.texture, 33, kBody)},
                      {form(h.stones)},
                      {form(h.density, 2)},
                      {u.content_number(h.fc)},
                      {u.content_number(h.sp)},
                      {u.content_number(h.wp)},
                      {std::to_string(h.entries)}});
  }
  flow.below(t);
}

// The root zone's level at which irrigation is due, beside its full point; then the window's
// whole-profile figures, named as the window names them.
void figures_table(Flow& flow, const ProfileResult& r, const Units& u) {
  TableBlock& t = flow.table("The root zone, and the window's figures",
                             {{"Figure", "", 0, 44},
                              {"", u.water_unit(), 44, 18, Align::right},
                              {"Meaning", "", 66, 114}});
  const auto row = [&](const char* name, float value, const char* meaning) {
    t.rows.push_back({{name, true}, {u.water_number(value)}, {fitted(meaning, 113, kBody)}});
  };
  row("Root-zone full point", r.water.root_zone_fp,
      "water held at field capacity within the root depth");
  row("Refill level", r.water.root_zone_fp - r.irrigation_depth,
      "the root zone's water when irrigation is due: full point less the net depth");
  row("Root-zone TAW", r.water.root_zone_taw, "field capacity to wilting point, root depth only");
  row("TAW", r.water.taw, "window: field capacity to wilting point, whole profile");
  row("RAW", r.water.raw, "window: field capacity to the stress point, whole profile");
  row("FP", r.water.fp, "window: full point, water at field capacity, whole profile");
  row("RP", r.water.rp, "window: refill point, FP less the crop's share of the root zone's TAW");
  flow.below(t);
  flow.skip(1);
  flow.text(
      "The window's FP and RP count the whole profile, below the roots too, and its RP takes "
      "the crop's p as the table gives it; the refill level counts the root zone only, with p "
      "adjusted for the crop water use, as a probe in the root zone reads it. RAW is the whole "
      "profile's too, not the depth to apply.",
      Role::body, kSmall);
}

void assumptions(Flow& flow, const ProfileResult& r, double fc_suction) {
  std::string stones, entries;
  for (const HorizonResult& h : r.horizons) {
    const std::string sep = stones.empty() ? "" : ", ";
    stones += sep + std::to_string(h.horizon) + ": " + form(h.stones) + " %";
    entries += sep + std::to_string(h.horizon) + ": " + std::to_string(h.entries);
  }
  const std::string p =
      r.etc ? form(r.p) + " % (the crop's " + form(r.p_table) + " % at 5 mm/day, adjusted for " +
                  form(*r.etc) + " mm/day: p + 0.04 (5 - ETc), within 10 to 80 %, FAO-56 Table 22)"
            : form(r.p) + " % (the crop's, for 5 mm/day; no crop water use given)";
  flow.text("Assumptions. Field capacity: the reference curves at " + form(fc_suction) +
                " kPa suction. Depletion fraction used: " + p +
                ". Stones (% by volume, no water): " + (stones.empty() ? "none" : stones) +
                ". Reference entries each horizon's values rest on: " +
                (entries.empty() ? "none" : entries) + ". Efficiency: " + form(r.efficiency) +
                " %.",
            Role::body, kSmall, false, 6);
}

}  // namespace

std::string form(double value, int decimals) {
  std::string s = fixed_form(static_cast<float>(value), 16, decimals);
  s.erase(0, s.find_first_not_of(' '));
  return s;
}

SummaryRow summary_row(const ProfileResult& r) {
  return {r.name,        r.crop,     r.root_depth, r.water.root_zone_taw, r.irrigation_depth,
          r.gross_depth, r.interval, r.status,     r.warning_count};
}

std::vector<Page> field_summary(const std::vector<SummaryRow>& rows, const Frame& frame) {
  int ok = 0, warned = 0, failed = 0, warnings = 0;
  for (const SummaryRow& r : rows) {
    ok += r.status == ProfileStatus::ok;
    warned += r.status == ProfileStatus::warning;
    failed += r.status == ProfileStatus::error;
    warnings += r.warnings;
  }
  return summary_pages(
      frame, "Summary",
      "Summary of " + counted(static_cast<long>(rows.size()), "profile", "profiles"),
      std::to_string(ok) + " ok, " + std::to_string(warned) + " with warnings (" +
          counted(warnings, "warning", "warnings") + " in all), " + std::to_string(failed) +
          " not computed. Apply: the net depth to give when the root zone is due, gross at the "
          "field's efficiency; every: that depth divided by the crop water use. Each profile's "
          "page gives the reasons.",
      summary_columns(frame.units), rows.size(),
      [&](std::size_t i) { return summary_cells(rows[i], frame.units); });
}

std::string decision_sentence(const ProfileResult& r, const Units& u) {
  std::string s = "Irrigate when the root zone's soil water is down to " +
                  u.water_text(r.water.root_zone_fp - r.irrigation_depth) + " (of " +
                  u.water_text(r.water.root_zone_fp) + " at field capacity in the top " +
                  u.depth_text(r.root_depth) + "): it has then lost " +
                  u.water_text(r.irrigation_depth) + ". Apply " + u.water_text(r.irrigation_depth) +
                  " net (" + u.water_text(r.gross_depth) + " gross at " + form(r.efficiency) +
                  " % efficiency); ";
  if (r.interval) {
    s += "at the given crop water use of " + u.rate_text(*r.etc) + " that is every " +
         form(*r.interval) + " days.";
  } else {
    s += "no crop water use is given, so no interval.";
  }
  return s;
}

Page field_page(const ProfileResult& r, const RetentionCurves& curves, double fc_suction,
                const Frame& frame) {
  Page page = framed_page(frame, r.name);
  Flow flow(page, body_top(frame));
  flow.title("Profile " + r.name);
  flow.text("Status: " + std::string(status_name(r.status)) + " (input line " +
            std::to_string(r.first_line) + ")");
  if (!r.message.empty()) {
    flow.text(r.message, Role::body, kBody, false, r.status == ProfileStatus::error ? 30 : 3);
  }
  if (r.status == ProfileStatus::error) return page;
  flow.skip(3);
  flow.skip(1);
  const Units& u = frame.units;
  TextBlock& decision = flow.text("Decision: " + decision_sentence(r, u), Role::body, kBody, true,
                                  1000, 2, kWidth - 4);
  decision.shaded = true;
  flow.skip(4);
  if (!r.notes.empty()) flow.text("Notes: " + r.notes, Role::body, kBody, false, 3);
  flow.text("Crop: " + (r.crop.empty() ? std::string("(given directly)") : r.crop) +
            "; root depth " + u.depth_text(r.root_depth) + "; crop water use " +
            (r.etc ? u.rate_text(*r.etc) + "." : std::string("not given.")));
  flow.skip(2);
  horizon_table(flow, r, u);
  flow.skip(2);
  figures_table(flow, r, u);
  flow.skip(2);
  const double room = flow.room() - 26;
  if (room > 40) {
    const double top = flow.y();
    flow.text("Water content by depth", Role::heading, kHeading, true, 1, 0, 88);
    const double charts = flow.y();
    Flow right(page, top);
    right.text("Water retention (mean curve per horizon)", Role::heading, kHeading, true, 1, 92,
               88);
    const double height = room - (charts - top) - 10;
    const std::string content = u.inch ? "inches per foot" : "% by volume";
    const std::string depth = u.depth_unit();
    ChartBlock& left_chart =
        flow.chart("Water content by depth",
                   "Per horizon, " + content +
                       " at field capacity (solid), "
                       "the stress point (dashed) and wilting point (dotted), by "
                       "depth in " +
                       depth +
                       "; the dashed line across is the "
                       "root depth.",
                   height);
    left_chart.width = 88;
    profile_drawing(left_chart, r, u);
    ChartBlock& right_chart = std::get<ChartBlock>(page.blocks.emplace_back(
        ChartBlock{"Water retention",
                   content + " against suction in kPa on a log axis; dots: FC, SP, WP.",
                   92,
                   charts,
                   88,
                   height,
                   {}}));
    retention_curves(right_chart, curves, r, fc_suction, u);
    flow.text("Left: " + content + " across, depth in " + depth +
                  " down; FC solid, SP dashed, WP dotted. Right: " + content +
                  " against suction in kPa (log); dots: FC, SP, WP.",
              Role::body, kSmall);
    flow.skip(2);
  }
  assumptions(flow, r, fc_suction);
  return page;
}

}  // namespace vantrel::page
