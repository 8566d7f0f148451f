// One profile's page of the report: the decision first, in words and numbers, then the
// whole-profile figures with their definitions, the horizons, two drawings and the
// assumptions.
#include <QFontMetricsF>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "data/number_text.hpp"
#include "data/safe_text.hpp"
#include "physics/soil_properties.hpp"
#include "report/report_painter.hpp"

namespace vantrel {

namespace {

const std::array<QColor, 5> kHorizonColours = {QColor(0x1f, 0x5f, 0xa8), QColor(0xc0, 0x5a, 0x12),
                                               QColor(0x2e, 0x8b, 0x3e), QColor(0x8e, 0x2c, 0x8e),
                                               QColor(0x6b, 0x6b, 0x6b)};

struct Definition {
  const char* name;
  const char* unit;
  const char* meaning;
};

// The window's four whole-profile figures with their definitions: RAW is the whole profile's,
// not the depth to apply.
double window_figures(ReportPainter& p, const ProfileResult& r, double y) {
  const std::array<Definition, 5> defs = {{
      {"TAW", "mm", "Total available water: field capacity to wilting point, whole profile"},
      {"RAW", "mm",
       "Readily available water: field capacity to the stress point, whole profile; not the "
       "depth to apply"},
      {"FP", "mm", "Full point: water held at field capacity, whole profile"},
      {"RP", "mm", "Refill point: FP less the crop's tolerated share of the root zone's TAW"},
      {"Root-zone TAW", "mm", "Total available water within the root depth only"},
  }};
  const std::array<float, 5> values = {r.water.taw, r.water.raw, r.water.fp, r.water.rp,
                                       r.water.root_zone_taw};
  p.text(0, y, "The window's figures", 9, true);
  for (std::size_t i = 0; i < defs.size(); ++i) {
    y += 4.6;
    p.text(0, y, defs[i].name, 8.5, true);
    p.text(24, y, form(values[i], 7) + " " + defs[i].unit, 8.5);
    p.text(46, y, defs[i].meaning, 7.5);
  }
  return y + 2;
}

// The plot area inside `area`, framed, with the title above it.
QRectF frame(ReportPainter& p, const QRectF& area, const QString& title) {
  p.text(area.left(), area.top() + 3, title, 9, true);
  const QRectF plot = area.adjusted(10, 8, 0, -24);
  p.painter().setPen(QPen(Qt::black, 0.2));
  p.painter().drawRect(plot);
  return plot;
}

// Depth downwards; per horizon the water contents at WP, SP and FC as a band; the root
// depth as a dashed line; FP and RP beneath as bars of one scale.
void profile_drawing(ReportPainter& p, const ProfileResult& r, const QRectF& area) {
  const QRectF plot = frame(p, area, "Profile: water content by depth");
  float deepest = r.root_depth;
  float wettest = 10;
  for (const HorizonResult& h : r.horizons) {
    deepest = std::max(deepest, h.bottom);
    wettest = std::max(wettest, h.fc);
  }
  deepest = std::max(deepest, 10.0F);
  const double max_content = std::ceil(wettest / 10.0) * 10.0;
  const auto px = [&](double content) {
    return plot.left() + plot.width() * content / max_content;
  };
  const auto py = [&](double depth) { return plot.top() + plot.height() * depth / deepest; };
  for (std::size_t i = 0; i < r.horizons.size(); ++i) {
    const HorizonResult& h = r.horizons[i];
    const QColor c = kHorizonColours[i % kHorizonColours.size()];
    const double top = py(h.top), bottom = py(h.bottom);
    QColor fill = c;
    fill.setAlpha(50);
    p.painter().fillRect(QRectF(QPointF(px(h.wp), top), QPointF(px(h.fc), bottom)), fill);
    for (const auto& [value, style] :
         {std::pair{h.fc, Qt::SolidLine}, std::pair{h.sp, Qt::DashLine},
          std::pair{h.wp, Qt::DotLine}}) {
      p.painter().setPen(QPen(c, 0.5, style));
      p.painter().drawLine(QPointF(px(value), top), QPointF(px(value), bottom));
    }
    p.painter().setPen(QPen(Qt::gray, 0.1));
    p.painter().drawLine(QPointF(plot.left(), bottom), QPointF(plot.right(), bottom));
  }
  p.painter().setPen(QPen(Qt::darkRed, 0.4, Qt::DashDotLine));
  p.painter().drawLine(QPointF(plot.left(), py(r.root_depth)),
                       QPointF(plot.right(), py(r.root_depth)));
  p.painter().setPen(Qt::darkRed);
  p.text(plot.left() + 1, py(r.root_depth) - 1, "root depth " + form(r.root_depth) + " cm", 7);
  p.painter().setPen(Qt::black);
  for (int d = 0; d <= 4; ++d) {
    const double depth = double{deepest} * d / 4.0;
    p.text(area.left(), py(depth) + 1, form(static_cast<float>(depth)), 7);
  }
  for (int k = 0; k <= 4; ++k) {
    const double content = max_content * k / 4.0;
    p.text(px(content) - 2, plot.bottom() + 4, QString::number(content), 7);
  }
  p.text(plot.left(), plot.bottom() + 8, "% by volume: FC solid, SP dashed, WP dotted; cm", 7);

  // FP and the level at which to irrigate, on one scale below the drawing.
  const double scale = r.water.fp > 0 ? (plot.width() - 30) / r.water.fp : 0;
  const double bars = plot.bottom() + 16;
  const float due = std::max(0.0F, r.refill_level);
  p.painter().fillRect(QRectF(plot.left(), bars - 2.5, r.water.fp * scale, 2),
                       QColor(0x1f, 0x5f, 0xa8));
  p.painter().fillRect(QRectF(plot.left(), bars + 0.2, due * scale, 2), QColor(0xc0, 0x5a, 0x12));
  p.text(area.left(), bars - 0.7, "FP", 7, true);
  p.text(area.left(), bars + 2, "due", 7, true);
  p.text(plot.left() + r.water.fp * scale + 1, bars - 0.7, form(r.water.fp) + " mm", 7);
  p.text(plot.left() + due * scale + 1, bars + 2, form(due) + " mm", 7);
}

// Each horizon's mean retention curve over the entries its values rest on, stones applied,
// from 1 to 1500 kPa on a log axis, with FC, SP and WP marked.
void retention_curves(ReportPainter& p, const RetentionCurves& curves_, const ProfileResult& r,
                      double fc_suction, const QRectF& area) {
  const QRectF plot = frame(p, area, "Water retention (mean curve per horizon)");
  double wettest = 10;
  for (const HorizonResult& h : r.horizons) {
    wettest = std::max(wettest, mean_water_content(curves_, h.used, h.stones, 1.0));
  }
  const double max_content = std::ceil(wettest / 10.0) * 10.0;
  const double decades = std::log10(1500.0);
  const auto px = [&](double suction) {
    return plot.left() + plot.width() * std::log10(suction) / decades;
  };
  const auto py = [&](double content) {
    return plot.bottom() - plot.height() * content / max_content;
  };
  for (std::size_t i = 0; i < r.horizons.size(); ++i) {
    const HorizonResult& h = r.horizons[i];
    const QColor c = kHorizonColours[i % kHorizonColours.size()];
    QPainterPath path;
    constexpr int kSteps = 60;
    for (int s = 0; s <= kSteps; ++s) {
      const double suction = std::pow(10.0, decades * s / kSteps);
      const QPointF at(px(suction), py(mean_water_content(curves_, h.used, h.stones, suction)));
      if (s == 0) {
        path.moveTo(at);
      } else {
        path.lineTo(at);
      }
    }
    p.painter().setPen(QPen(c, 0.4));
    p.painter().drawPath(path);
    p.painter().setBrush(c);
    for (const auto& [suction, value] :
         {std::pair{fc_suction, h.fc}, std::pair{100.0, h.sp}, std::pair{1500.0, h.wp}}) {
      p.painter().drawEllipse(QPointF(px(suction), py(value)), 0.8, 0.8);
    }
    p.painter().setBrush(Qt::NoBrush);
    p.painter().setPen(c);
    p.text(plot.right() - 28, plot.top() + 4 + 4 * static_cast<double>(i),
           QString("horizon %1").arg(h.horizon), 7);
  }
  p.painter().setPen(Qt::black);
  for (const double suction : {1.0, 10.0, 100.0, 1500.0}) {
    p.text(px(suction) - 2, plot.bottom() + 4, QString::number(suction), 7);
  }
  for (int k = 0; k <= 4; ++k) {
    const double content = max_content * k / 4.0;
    p.text(area.left(), py(content) + 1, QString::number(content), 7);
  }
  p.text(plot.left(), plot.bottom() + 8, "suction kPa (log); % by volume; dots: FC, SP, WP", 7);
}

double horizon_table(ReportPainter& p, const ProfileResult& r, double y) {
  const std::array<const char*, 10> heads = {"Horizon",  "Top cm",       "Bottom cm", "Texture",
                                             "Stones %", "Density kg/L", "FC %",      "SP %",
                                             "WP %",     "Entries"};
  const std::array<double, 10> x = {0, 16, 31, 48, 80, 98, 121, 137, 153, 169};
  for (std::size_t i = 0; i < heads.size(); ++i)
    p.text(x[i], y, heads[i], 8, true);
  p.painter().drawLine(QPointF(0, y + 1.5), QPointF(kPageWidth, y + 1.5));
  for (const HorizonResult& h : r.horizons) {
    y += 5;
    const std::array<QString, 10> cells = {QString::number(h.horizon),
                                           form(h.top),
                                           form(h.bottom),
                                           QString::fromStdString(h.texture),
                                           form(h.stones, 6),
                                           form(h.density, 6, 2),
                                           form(h.fc),
                                           form(h.sp),
                                           form(h.wp),
                                           QString::number(h.entries)};
    for (std::size_t i = 0; i < cells.size(); ++i)
      p.text(x[i], y, cells[i], 8);
  }
  return y + 3;
}

// The decision in a shaded box; its height.
double decision_box(ReportPainter& p, const ProfileResult& r, double y) {
  const QRectF box(0, y, kPageWidth, 17);
  p.painter().fillRect(box, QColor(0xe8, 0xf1, 0xfa));
  p.painter().setPen(QPen(QColor(0x1f, 0x5f, 0xa8), 0.3));
  p.painter().drawRect(box);
  p.painter().setPen(Qt::black);
  p.text(2, y + 4.5, "Decision", 9, true);
  p.wrapped(box.adjusted(2, 6, -2, -1), decision_sentence(r), 9.5, true);
  return box.height();
}

// What the numbers rest on, at the foot of the page.
void assumptions(ReportPainter& p, const ProfileResult& r, const ReportContext& c, double y) {
  QString stones, entries;
  for (const HorizonResult& h : r.horizons) {
    const QString sep = stones.isEmpty() ? "" : ", ";
    stones += sep + QString("%1: %2 %").arg(h.horizon).arg(form(h.stones, 6));
    entries += sep + QString("%1: %2").arg(h.horizon).arg(h.entries);
  }
  const QString p_text =
      r.etc ? QString(
                  "%1 % (the crop's %2 % at 5 mm/day, adjusted for %3 mm/day: "
                  "p + 0.04 (5 - ETc), within 10 to 80 %, FAO-56 Table 22)")
                  .arg(form(r.p), form(r.p_table), form(*r.etc))
            : QString("%1 % (the crop's, for 5 mm/day; no crop water use given)").arg(form(r.p));
  const QString text =
      QString(
          "Assumptions. Field capacity: the reference curves at %1 kPa suction. Depletion "
          "fraction used: %2. Stones (% by volume, no water): %3. Reference entries each "
          "horizon's values rest on: %4. Efficiency: %5 %.")
          .arg(form(c.fc_suction, 6), p_text, stones.isEmpty() ? "none" : stones,
               entries.isEmpty() ? "none" : entries, form(r.efficiency, 6));
  p.wrapped(QRectF(0, y, kPageWidth, kBodyBottom - y), text, 7.5);
}

}  // namespace

QString decision_sentence(const ProfileResult& r) {
  QString s = QString(
                  "Irrigate when the root zone has lost %1 mm (soil water down to the refill "
                  "point, %2 mm); apply %1 mm net (%3 mm gross at %4 % efficiency); ")
                  .arg(form(r.irrigation_depth), form(r.refill_level), form(r.gross_depth),
                       form(r.efficiency, 6));
  if (r.interval) {
    s += QString("at the given crop water use of %1 mm/day that is every %2 days.")
             .arg(form(*r.etc), form(*r.interval));
  } else {
    s += "no crop water use is given, so no interval.";
  }
  return s;
}

void draw_profile_page(ReportPainter& p, const RetentionCurves& curves, const ProfileResult& r,
                       const ReportContext& context) {
  p.painter().setPen(Qt::black);
  p.font(14, true);
  p.painter().drawText(QPointF(0, kBodyTop + 5), p.fitted("Profile " + r.name, kPageWidth));
  p.text(0, kBodyTop + 10,
         QString("Status: %1 (input line %2)")
             .arg(QString::fromStdString(std::string(status_name(r.status))))
             .arg(r.first_line),
         9);
  double y = kBodyTop + 13;
  if (!r.message.empty()) {
    p.font(8);
    y += p.wrapped(QRectF(0, y, kPageWidth, 14), p.fitted(r.message, 2.8 * kPageWidth), 8) + 1;
  }
  if (r.status == ProfileStatus::error) return;
  y += decision_box(p, r, y) + 3;
  if (!r.notes.empty()) {
    p.font(9);
    y += p.wrapped(QRectF(0, y, kPageWidth, 10), "Notes: " + p.fitted(r.notes, 2.8 * kPageWidth),
                   9) +
         1;
  }
  p.font(9);
  const QString crop = r.crop.empty() ? "(given directly)" : p.fitted(r.crop, 40);
  p.text(
      0, y + 3,
      QString("Crop: %1    Root depth: %2 cm    Crop water use: %3")
          .arg(crop, form(r.root_depth), r.etc ? form(*r.etc) + " mm/day" : QString("not given")),
      9);
  y = horizon_table(p, r, y + 9);
  y = window_figures(p, r, y + 4);
  const double top = y + 3;
  const double foot = kBodyBottom - 16;
  profile_drawing(p, r, QRectF(0, top, 80, foot - top));
  retention_curves(p, curves, r, context.fc_suction, QRectF(92, top, 88, foot - top));
  assumptions(p, r, context, foot + 2);
}

}  // namespace vantrel
