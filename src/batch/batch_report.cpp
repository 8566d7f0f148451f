#include "batch/batch_report.hpp"

#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "data/number_text.hpp"
#include "data/safe_text.hpp"
#include "physics/soil_properties.hpp"

namespace vantrel {

namespace {

constexpr double kPageWidth = 180;  // mm inside the margins of an A4 page
constexpr double kPageHeight = 267;
const std::array<QColor, 5> kHorizonColours = {QColor(0x1f, 0x5f, 0xa8), QColor(0xc0, 0x5a, 0x12),
                                               QColor(0x2e, 0x8b, 0x3e), QColor(0x8e, 0x2c, 0x8e),
                                               QColor(0x6b, 0x6b, 0x6b)};

// The window's forms: one decimal for depths, contents and water, two for density.
QString form(float value, int width = 5, int decimals = 1) {
  return QString::fromStdString(fixed_form(value, width, decimals)).trimmed();
}

struct Definition {
  const char* name;
  const char* unit;
  const char* meaning;
};

class PdfReport final : public ProfileReport {
 public:
  PdfReport(const std::filesystem::path& file, const RetentionCurves& curves)
      : file_(QString::fromStdString(file.string())), writer_(&file_), curves_(curves) {
    // The writer does not report a failed write (a full disk): the file we own does.
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate)) open_error_ = file_.errorString();
    writer_.setPageSize(QPageSize(QPageSize::A4));
    writer_.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    writer_.setResolution(300);
    writer_.setTitle("Vantrel profile report");
    writer_.setCreator("vantrel-batch");
  }

  void add(const ProfileResult& profile) override {
    if (pages_ == 0) {
      painter_.begin(&writer_);
    } else {
      writer_.newPage();
    }
    ++pages_;
    const double unit = writer_.resolution() / 25.4;  // device pixels per mm
    painter_.save();
    painter_.scale(unit, unit);
    draw_page(profile);
    painter_.restore();
  }

  bool finish(std::string& error) override {
    if (pages_ == 0) {  // an empty input still gives a document, with one page that says so
      painter_.begin(&writer_);
      const double unit = writer_.resolution() / 25.4;
      painter_.scale(unit, unit);
      text(0, 10, "The input holds no profiles.", 12, true);
    }
    const bool ended = painter_.end();
    if (!open_error_.isEmpty() || !file_.flush() || file_.error() != QFileDevice::NoError) {
      error = (open_error_.isEmpty() ? file_.errorString() : open_error_).toStdString();
      return false;
    }
    file_.close();
    if (!ended || file_.error() != QFileDevice::NoError) {
      error = ended ? file_.errorString().toStdString() : "the PDF could not be completed";
      return false;
    }
    return true;
  }

 private:
  // The font size that prints at `size` points when the painter draws in millimetres.
  double points(double size) const { return size * 25.4 / writer_.resolution(); }

  void text(double x, double y, const QString& s, double size = 9, bool bold = false) {
    QFont font("Liberation Sans");
    font.setPointSizeF(points(size));
    font.setBold(bold);
    painter_.setFont(font);
    painter_.drawText(QPointF(x, y), s);
  }

  // A text of the input as it may be printed: no controls, no reordering marks, and cut with
  // an ellipsis to `width` mm in the painter's current font.
  QString fitted(const std::string& input, double width) const {
    const QString safe = QString::fromStdString(page_text(input));
    return QFontMetricsF(painter_.font(), painter_.device())
        .elidedText(safe, Qt::ElideRight, width);
  }

  void heading(const ProfileResult& p) {
    QFont font("Liberation Sans");
    font.setPointSizeF(points(14));
    font.setBold(true);
    painter_.setFont(font);
    painter_.drawText(QPointF(0, 6), fitted("Profile " + p.name, kPageWidth));
  }

  void draw_page(const ProfileResult& p) {
    painter_.setPen(Qt::black);
    heading(p);
    text(0, 12,
         QString("Status: %1 (input line %2)")
             .arg(QString::fromStdString(std::string(status_name(p.status))))
             .arg(p.first_line),
         9);
    double y = 17;
    if (!p.message.empty()) {
      QFont font("Liberation Sans");
      font.setPointSizeF(points(8));
      painter_.setFont(font);
      // At most three lines inside the margins; a longer message ends in an ellipsis.
      const QRectF box(0, y - 3, kPageWidth, 14);
      painter_.save();
      painter_.setClipRect(box);
      painter_.drawText(box, Qt::TextWordWrap, fitted(p.message, 2.8 * kPageWidth));
      painter_.restore();
      y += 12;
    }
    if (p.status == ProfileStatus::error) return;

    QFont crop_font("Liberation Sans");
    crop_font.setPointSizeF(points(9));
    painter_.setFont(crop_font);
    const QString crop = p.crop.empty() ? "(given directly)" : fitted(p.crop, 40);
    text(0, y + 2,
         QString("Crop: %1    Root depth: %2 cm    Drought tolerance: %3 %    Crop water use: %4")
             .arg(crop, form(p.root_depth), form(p.tolerance),
                  p.etc ? form(*p.etc) + " mm/day" : QString("not given")),
         9);
    y = horizon_table(p, y + 9);
    y = results(p, y + 4);
    const double top = y + 4;
    const double height = kPageHeight - top;
    profile_drawing(p, QRectF(0, top, 80, height));
    retention_curves(p, QRectF(92, top, 88, height));
  }

  double horizon_table(const ProfileResult& p, double y) {
    const std::array<const char*, 10> heads = {"Horizon",  "Top cm",       "Bottom cm", "Texture",
                                               "Stones %", "Density kg/L", "FC %",      "SP %",
                                               "WP %",     "Entries"};
    const std::array<double, 10> x = {0, 16, 31, 48, 80, 98, 121, 137, 153, 169};
    for (std::size_t i = 0; i < heads.size(); ++i)
      text(x[i], y, heads[i], 8, true);
    painter_.drawLine(QPointF(0, y + 1.5), QPointF(kPageWidth, y + 1.5));
    for (const HorizonResult& h : p.horizons) {
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
        text(x[i], y, cells[i], 8);
    }
    return y + 3;
  }

  double results(const ProfileResult& p, double y) {
    const std::array<Definition, 7> defs = {{
        {"TAW", "mm",
         "Total available water: held between field capacity and wilting point, "
         "whole profile"},
        {"RAW", "mm",
         "Readily available water: held between field capacity and the stress "
         "point (100 kPa), whole profile"},
        {"FP", "mm", "Full point: water held at field capacity, whole profile"},
        {"RP", "mm",
         "Refill point: FP less the tolerated share of the root zone's available "
         "water"},
        {"Root-zone TAW", "mm", "Available water within the root depth only"},
        {"Irrigation depth", "mm", "FP - RP: the water to apply when the refill point is reached"},
        {"Interval", "days", "Irrigation depth divided by the crop water use"},
    }};
    const std::array<std::optional<float>, 7> values = {
        p.water.taw,           p.water.raw,        p.water.fp, p.water.rp,
        p.water.root_zone_taw, p.irrigation_depth, p.interval};
    for (std::size_t i = 0; i < defs.size(); ++i) {
      y += 5;
      text(0, y, defs[i].name, 9, true);
      text(30, y, values[i] ? form(*values[i], 7) + " " + defs[i].unit : QString("not computed"),
           9);
      text(56, y, defs[i].meaning, 7.5);
    }
    return y + 2;
  }

  // The plot area inside `area`, framed, with the title above it.
  QRectF frame(const QRectF& area, const QString& title) {
    text(area.left(), area.top() + 3, title, 9, true);
    const QRectF plot = area.adjusted(10, 8, 0, -24);
    painter_.setPen(QPen(Qt::black, 0.2));
    painter_.drawRect(plot);
    return plot;
  }

  // Depth downwards; per horizon the water contents at WP, SP and FC as a band; the root
  // depth as a dashed line; FP and RP beneath as bars of one scale.
  void profile_drawing(const ProfileResult& p, const QRectF& area) {
    const QRectF plot = frame(area, "Profile: water content by depth");
    float deepest = p.root_depth;
    float wettest = 10;
    for (const HorizonResult& h : p.horizons) {
      deepest = std::max(deepest, h.bottom);
      wettest = std::max(wettest, h.fc);
    }
    deepest = std::max(deepest, 10.0F);
    const double max_content = std::ceil(wettest / 10.0) * 10.0;
    const auto px = [&](double content) {
      return plot.left() + plot.width() * content / max_content;
    };
    const auto py = [&](double depth) { return plot.top() + plot.height() * depth / deepest; };
    for (std::size_t i = 0; i < p.horizons.size(); ++i) {
      const HorizonResult& h = p.horizons[i];
      const QColor c = kHorizonColours[i % kHorizonColours.size()];
      const double top = py(h.top), bottom = py(h.bottom);
      QColor fill = c;
      fill.setAlpha(50);
      painter_.fillRect(QRectF(QPointF(px(h.wp), top), QPointF(px(h.fc), bottom)), fill);
      for (const auto& [value, style] :
           {std::pair{h.fc, Qt::SolidLine}, std::pair{h.sp, Qt::DashLine},
            std::pair{h.wp, Qt::DotLine}}) {
        painter_.setPen(QPen(c, 0.5, style));
        painter_.drawLine(QPointF(px(value), top), QPointF(px(value), bottom));
      }
      painter_.setPen(QPen(Qt::gray, 0.1));
      painter_.drawLine(QPointF(plot.left(), bottom), QPointF(plot.right(), bottom));
    }
    painter_.setPen(QPen(Qt::darkRed, 0.4, Qt::DashDotLine));
    painter_.drawLine(QPointF(plot.left(), py(p.root_depth)),
                      QPointF(plot.right(), py(p.root_depth)));
    painter_.setPen(Qt::darkRed);
    text(plot.left() + 1, py(p.root_depth) - 1, "root depth " + form(p.root_depth) + " cm", 7);
    painter_.setPen(Qt::black);
    for (int d = 0; d <= 4; ++d) {
      const double depth = double{deepest} * d / 4.0;
      text(area.left(), py(depth) + 1, form(static_cast<float>(depth)), 7);
    }
    for (int k = 0; k <= 4; ++k) {
      const double content = max_content * k / 4.0;
      text(px(content) - 2, plot.bottom() + 4, QString::number(content), 7);
    }
    text(plot.left(), plot.bottom() + 8, "% by volume: FC solid, SP dashed, WP dotted; cm", 7);

    // FP and RP on one scale below the drawing.
    const double scale = p.water.fp > 0 ? (plot.width() - 30) / p.water.fp : 0;
    const double bars = plot.bottom() + 16;
    painter_.fillRect(QRectF(plot.left(), bars - 2.5, p.water.fp * scale, 2),
                      QColor(0x1f, 0x5f, 0xa8));
    painter_.fillRect(QRectF(plot.left(), bars + 0.2, std::max(0.0F, p.water.rp) * scale, 2),
                      QColor(0xc0, 0x5a, 0x12));
    text(area.left(), bars - 0.7, "FP", 7, true);
    text(area.left(), bars + 2, "RP", 7, true);
    text(plot.left() + p.water.fp * scale + 1, bars - 0.7, form(p.water.fp) + " mm", 7);
    text(plot.left() + std::max(0.0F, p.water.rp) * scale + 1, bars + 2, form(p.water.rp) + " mm",
         7);
  }

  // Each horizon's mean retention curve over the entries its values rest on, stones applied,
  // from 1 to 1500 kPa on a log axis, with FC, SP and WP marked.
  void retention_curves(const ProfileResult& p, const QRectF& area) {
    const QRectF plot = frame(area, "Water retention (mean curve per horizon)");
    double wettest = 10;
    for (const HorizonResult& h : p.horizons) {
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
    for (std::size_t i = 0; i < p.horizons.size(); ++i) {
      const HorizonResult& h = p.horizons[i];
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
      painter_.setPen(QPen(c, 0.4));
      painter_.drawPath(path);
      painter_.setBrush(c);
      for (const auto& [suction, value] :
           {std::pair{10.0, h.fc}, std::pair{100.0, h.sp}, std::pair{1500.0, h.wp}}) {
        painter_.drawEllipse(QPointF(px(suction), py(value)), 0.8, 0.8);
      }
      painter_.setBrush(Qt::NoBrush);
      painter_.setPen(c);
      text(plot.right() - 28, plot.top() + 4 + 4 * static_cast<double>(i),
           QString("horizon %1").arg(h.horizon), 7);
    }
    painter_.setPen(Qt::black);
    for (const double suction : {1.0, 10.0, 100.0, 1500.0}) {
      text(px(suction) - 2, plot.bottom() + 4, QString::number(suction), 7);
    }
    for (int k = 0; k <= 4; ++k) {
      const double content = max_content * k / 4.0;
      text(area.left(), py(content) + 1, QString::number(content), 7);
    }
    text(plot.left(), plot.bottom() + 8, "suction kPa (log); % by volume; dots: FC, SP, WP", 7);
  }

  QFile file_;
  QString open_error_;
  QPdfWriter writer_;
  QPainter painter_;
  const RetentionCurves& curves_;
  int pages_ = 0;
};

}  // namespace

std::unique_ptr<ProfileReport> make_pdf_report(const std::filesystem::path& file,
                                               const RetentionCurves& curves) {
  return std::make_unique<PdfReport>(file, curves);
}

}  // namespace vantrel
