#include "report/season_pages.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "data/safe_text.hpp"
#include "report/field_pages.hpp"

namespace vantrel::page {

namespace {

constexpr std::array<const char*, 12> kMonths = {"January",   "February", "March",    "April",
                                                 "May",       "June",     "July",     "August",
                                                 "September", "October",  "November", "December"};

Colour stage_shade(Stage stage) {
  switch (stage) {
    case Stage::initial:
      return {0xf4, 0xf4, 0xec};
    case Stage::development:
      return {0xe9, 0xf3, 0xe2};
    case Stage::mid:
      return {0xdc, 0xee, 0xd3};
    default:
      return {0xf3, 0xec, 0xdc};
  }
}

int day_of_month(DayNumber d) {
  return static_cast<int>(civil_from_days(d).day);
}
int month_of(DayNumber d) {
  return static_cast<int>(civil_from_days(d).month);
}
int year_of(DayNumber d) {
  return static_cast<int>(civil_from_days(d).year);
}
// 0 for Monday: 1970-01-01 was a Thursday.
int weekday(DayNumber d) {
  return static_cast<int>(((d + 3) % 7 + 7) % 7);
}

std::string every_text(int days) {
  return days == 1 ? "every day" : "every " + std::to_string(days) + " days";
}

// The dates below the chart: month starts over a long season, week starts (Mondays) over a
// short one, so that the ticks fall on days a farmer counts from.
void date_ticks(ChartBlock& c, const Plot& plot, const SeasonResult& s) {
  const auto count = static_cast<DayNumber>(s.days.size());
  const bool months = count > 70;
  for (DayNumber d = s.first; d < s.first + count; ++d) {
    const bool tick = months ? day_of_month(d) == 1 : weekday(d) == 0;
    if (!tick) continue;
    const double x = plot.px(static_cast<double>(d - s.first + 1));
    add_line(c, {{x, plot.bottom()}, {x, plot.bottom() + 1}}, kBlack, 0.2);
    const std::string label =
        months ? std::string(kMonths[static_cast<std::size_t>(month_of(d) - 1)]).substr(0, 3) +
                     " " + std::to_string(year_of(d))
               : iso_date(d).substr(5);
    add_label(c, {x, plot.bottom() + 4}, label, Align::centre);
  }
}

// The root zone's soil water between its full point and the day's refill level, stages shaded,
// rain and irrigation as bars below on their own scale.
void season_chart(ChartBlock& c, const SeasonResult& s, const Units& u) {
  double low = 1e300, high = 0, wettest = u.water(1);
  for (const BalanceDay& d : s.days) {
    low = std::min({low, u.water(d.root_water()), u.water(d.root_fp - d.raw)});
    high = std::max(high, u.water(d.root_fp));
    wettest = std::max({wettest, u.water(d.rain), u.water(d.gross)});
  }
  const Ticks water = round_ticks(std::max(0.0, low - 0.05 * (high - low)), high, 6);
  const Ticks bar = round_ticks(0, wettest, 3);
  const double count = static_cast<double>(s.days.size());
  const Plot plot{c.x + 14, c.top + 2, c.width - 16, c.height - 40,
                  1,        count + 1, water.low,    water.high};
  const Plot bars{plot.left, plot.bottom() + 6, plot.width, 22, 1, count + 1, 0, bar.high};
  // One band per stage, from its first day to the next stage's.
  for (std::size_t i = 0; i < s.days.size();) {
    std::size_t end = i;
    while (end < s.days.size() && s.days[end].stage == s.days[i].stage)
      ++end;
    add_rect(c, {plot.px(s.days[i].day), plot.top},
             {plot.px(s.days[end - 1].day + 1), plot.bottom()}, stage_shade(s.days[i].stage));
    i = end;
  }
  std::vector<Point> full, refill, soil;
  for (const BalanceDay& d : s.days) {
    const double x = plot.px(d.day + 0.5);
    full.push_back({x, plot.py(u.water(d.root_fp))});
    refill.push_back({x, plot.py(u.water(d.root_fp - d.raw))});
    soil.push_back({x, plot.py(u.water(d.root_water()))});
  }
  add_line(c, std::move(full), kWater, 0.4, Dash::dashed);
  add_line(c, std::move(refill), kIrrigation, 0.4, Dash::dashed);
  add_line(c, std::move(soil), kWater, 0.6);
  add_frame(c, plot);
  add_y_ticks(c, plot, water);
  const double width = std::max(0.15, plot.width / count * 0.45);
  for (const BalanceDay& d : s.days) {
    const double x = plot.px(d.day);
    if (d.rain > 0) add_rect(c, {x, bars.py(u.water(d.rain))}, {x + width, bars.bottom()}, kRain);
    if (d.gross > 0) {
      add_rect(c, {x + width, bars.py(u.water(d.gross))}, {x + 2 * width, bars.bottom()},
               kIrrigation);
    }
  }
  add_line(c, {{bars.left, bars.bottom()}, {bars.right(), bars.bottom()}}, kBlack, 0.2);
  add_y_ticks(c, bars, bar);
  date_ticks(c, bars, s);
}

std::vector<Column> event_columns(double x, const Units& u) {
  return {{"Date", "", x, 24},
          {"Stage", "", x + 24, 24},
          {"Net", u.water_unit(), x + 48, 16, Align::right},
          {"Gross", u.water_unit(), x + 66, 18, Align::right}};
}

std::vector<Cell> event_cells(const SeasonResult& s, const BalanceDay& d, const Units& u) {
  return {{iso_date(s.first + d.day - 1)},
          {std::string(stage_name(d.stage))},
          {u.water_number(d.net)},
          {u.water_number(d.gross)}};
}

void totals_table(Flow& flow, const SeasonResult& s, double x, const Units& u) {
  TableBlock& t = flow.table("Season totals",
                             {{"", "", x, 62}, {"", u.water_unit(), x + 62, 24, Align::right}});
  const auto row = [&](const char* name, double mm) {
    t.rows.push_back({{name}, {u.water_number(mm)}});
  };
  row("Crop water use (ETc)", s.totals.etc);
  row("Actual, with stress (ETc adj)", s.totals.etc_adj);
  row("Rain", s.totals.rain);
  row("Runoff", s.totals.runoff);
  row("Effective rain", s.totals.effective_rain);
  row("Irrigation, net", s.totals.net);
  row("Irrigation, gross", s.totals.gross);
  row("Deep percolation", s.totals.deep_percolation);
  t.rows.push_back({{"Irrigations"}, {std::to_string(s.totals.irrigations)}});
  t.rows.push_back({{"Days with stress (Ks below 1)"}, {std::to_string(s.totals.stress_days)}});
}

// One month as a grid, Monday first, each irrigation day with its net depth; the days outside
// the season in brackets.
void month_table(Page& page, const SeasonResult& s, const Units& u, int year, int month, double x,
                 double top) {
  constexpr std::array<const char*, 7> kDays = {"Mo", "Tu", "We", "Th", "Fr", "Sa", "Su"};
  std::vector<Column> columns;
  for (std::size_t i = 0; i < kDays.size(); ++i)
    columns.push_back({kDays[i], "", x + 12.5 * static_cast<double>(i), 12.5});
  Flow at(page, top);
  TableBlock& t = at.table(
      std::string(kMonths[static_cast<std::size_t>(month - 1)]) + " " + std::to_string(year),
      std::move(columns), kSmall);
  std::vector<Cell> week(7);
  const DayNumber first = days_from_date({year, static_cast<unsigned>(month), 1});
  for (DayNumber d = first; month_of(d) == month; ++d) {
    const auto wd = static_cast<std::size_t>(weekday(d));
    const long day = d - s.first + 1;
    Cell cell{std::to_string(day_of_month(d))};
    if (day < 1 || day > static_cast<long>(s.days.size())) {
      cell.text = "(" + cell.text + ")";
    } else if (const BalanceDay& b = s.days[static_cast<std::size_t>(day - 1)]; b.net > 0) {
      cell = {cell.text + ": " + u.water_number(b.net), true};
    }
    week[wd] = cell;
    if (wd == 6) {
      t.rows.push_back(week);
      week.assign(7, {});
    }
  }
  if (std::any_of(week.begin(), week.end(), [](const Cell& c) { return !c.text.empty(); }))
    t.rows.push_back(week);
}

// The season's months, two a row and six a page: the page a farmer pins on the wall.
void calendar(std::vector<Page>& pages, const SeasonResult& s, const Frame& frame) {
  std::vector<std::pair<int, int>> months;  // year, month
  for (const BalanceDay& d : s.days) {
    const DayNumber date = s.first + d.day - 1;
    const std::pair<int, int> ym{year_of(date), month_of(date)};
    if (months.empty() || months.back() != ym) months.push_back(ym);
  }
  constexpr double kMonthHeight = 44;  // a caption, the day names and six weeks at 8 pt
  double top = 0;
  for (std::size_t m = 0; m < months.size(); ++m) {
    if (m % 6 == 0) {
      Page& page = pages.emplace_back(framed_page(frame, s.profile));
      Flow flow(page, body_top(frame));
      flow.title("Irrigation calendar of " + s.profile);
      flow.text("Each irrigation day shows its net depth in " +
                std::string(frame.units.water_unit()) + ", in bold; the season runs from " +
                iso_date(s.first) + " to " +
                iso_date(s.first + static_cast<long>(s.days.size()) - 1) +
                "; the days in brackets are outside it.");
      top = flow.y() + 4;
    } else if (m % 2 == 0) {
      top += kMonthHeight;
    }
    month_table(pages.back(), s, frame.units, months[m].first, months[m].second,
                m % 2 == 0 ? 0 : 92, top);
  }
}

}  // namespace

SeasonRow season_row(const SeasonResult& s) {
  // The names as a page may show them: no control characters or direction overrides.
  return {page_text(s.profile), page_text(s.planting), s.status,      s.computed(),
          s.days.size(),        s.totals.etc,          s.totals.rain, s.totals.net,
          s.totals.gross,       s.totals.irrigations};
}

std::vector<Page> season_summary(const std::vector<SeasonRow>& rows, const Frame& frame) {
  const std::string water = frame.units.water_unit();
  const auto cells = [&](std::size_t i) -> std::vector<Cell> {
    const SeasonRow& r = rows[i];
    const auto n = [&](double v) {
      return r.computed ? frame.units.water_number(v) : std::string("-");
    };
    return {{fitted(r.profile, 39, kBody)},
            {fitted(r.planting, 23, kBody)},
            {r.computed ? std::to_string(r.days) : "-"},
            {n(r.etc)},
            {n(r.rain)},
            {n(r.net)},
            {n(r.gross)},
            {r.computed ? std::to_string(r.irrigations) : "-"},
            {r.status, r.status != "ok"}};
  };
  return summary_pages(
      frame, "Season summary",
      "Irrigation schedule of " + counted(static_cast<long>(rows.size()), "profile", "profiles"),
      "Per profile, from its planting date: the crop's water use (ETc), the rain, the irrigation "
      "the schedule gives (net into the root zone, gross at the field's efficiency) and how "
      "often. Each profile's pages show its season and its calendar.",
      {{"Profile", "", 0, 40},
       {"Planted", "", 40, 24},
       {"Days", "", 64, 12, Align::right},
       {"ETc", water, 78, 18, Align::right},
       {"Rain", water, 98, 16, Align::right},
       {"Irrigation", "net " + water, 116, 18, Align::right},
       {"Irrigation", "gross " + water, 136, 18, Align::right},
       {"Times", "", 156, 10, Align::right},
       {"Status", "", 168, 12}},
      rows.size(), cells);
}

std::string yield_line(const SeasonResult& s) {
  if (!s.yield_reduction_pct) return "Yield reduction: no Ky for this crop.";
  std::string line = "Yield reduction (FAO-33, Ky): " + form(*s.yield_reduction_pct) + " %";
  if (s.yield_reduction_stages_pct)
    line += ", by stage " + form(*s.yield_reduction_stages_pct) + " %";
  return line + ".";
}

std::vector<Page> season_pages(const SeasonResult& s, const Frame& frame) {
  std::vector<Page> pages;
  Page& first = pages.emplace_back(framed_page(frame, s.profile));
  Flow flow(first, body_top(frame));
  flow.title("Season of " + s.profile);
  flow.text("Status: " + s.status + ". Planted " + s.planting + "; " +
            counted(static_cast<long>(s.days.size()), "day", "days") + ".");
  const Units& u = frame.units;
  std::string answer;
  if (s.today) {
    const BalanceDay& today = s.days[static_cast<std::size_t>(*s.today - s.first)];
    answer = "Today, " + iso_date(*s.today) + ": the root zone holds " +
             u.water_text(today.root_water()) + ", " + u.water_text(s.today_depletion) +
             " below field capacity. ";
  }
  if (s.next_irrigation) {
    answer += "Next irrigation: " + iso_date(*s.next_irrigation) + ", " + u.water_text(s.next_net) +
              " net.";
  }
  if (!answer.empty()) flow.text(answer, Role::body, kBody, true, 2);
  if (!s.message.empty()) flow.text(s.message, Role::body, kBody, false, s.computed() ? 3 : 30);
  if (!s.computed() || s.days.empty()) return pages;
  flow.skip(3);
  flow.heading("Soil water of the root zone, " + std::string(u.water_unit()));
  ChartBlock& chart = flow.chart(
      "Soil water of the root zone",
      "The root zone's soil water by day (solid) between its full point (dashed blue) and the "
      "day's refill level (dashed orange), the stages shaded; below, rain (blue) and gross "
      "irrigation (orange) in " +
          std::string(u.water_unit()) + ".",
      98);
  season_chart(chart, s, u);
  flow.text(
      "Solid: the root zone's soil water; dashed: its full point (blue) and the day's "
      "refill level (orange), where irrigation is due. Bars, " +
          std::string(u.water_unit()) +
          ": rain (blue), gross "
          "irrigation (orange). Shading: initial, development, mid and late stages.",
      Role::body, kSmall);
  flow.skip(3);
  const double top = flow.y();
  std::vector<const BalanceDay*> events;
  for (const BalanceDay& d : s.days)
    if (d.net > 0) events.push_back(&d);
  TableBlock& t = flow.table("Irrigation days", event_columns(0, u));
  std::size_t next = 0;
  const std::size_t fit = rows_that_fit(t);
  for (; next < events.size() && next < fit; ++next)
    t.rows.push_back(event_cells(s, *events[next], u));
  if (events.empty()) t.rows.push_back({{"none: rain and the stored water suffice"}});
  Flow right(first, top);
  totals_table(right, s, 94, u);
  const auto& totals = std::get<TableBlock>(first.blocks.back());
  right.below(totals);
  right.skip(2);
  right.text("Strategy: " + std::string(strategy_name(s.strategy)) +
                 (s.every_days > 0 ? ", " + every_text(s.every_days) : std::string()) + ".",
             Role::body, kBody, false, 2, 94, 86);
  right.text("Kc mid " + form(s.kc_mid, 2) + ", Kc end " + form(s.kc_end, 2) +
                 " (for the local climate, FAO-56 eq. 62).",
             Role::body, kBody, false, 2, 94, 86);
  right.text(yield_line(s), Role::body, kBody, false, 2, 94, 86);
  // The rest of the irrigation days, two tables a page, continued.
  while (next < events.size()) {
    Page& page = pages.emplace_back(framed_page(frame, s.profile));
    Flow more(page, body_top(frame));
    more.title("Irrigation days of " + s.profile + " (continued)");
    more.skip(2);
    const double from = more.y();
    for (const double x : {0.0, 94.0}) {
      Flow column(page, from);
      TableBlock& c = column.table("Irrigation days (continued)", event_columns(x, u));
      const std::size_t room = rows_that_fit(c);
      for (std::size_t k = 0; next < events.size() && k < room; ++k, ++next)
        c.rows.push_back(event_cells(s, *events[next], u));
      if (next >= events.size()) break;
    }
  }
  calendar(pages, s, frame);
  return pages;
}

}  // namespace vantrel::page
