#include "artwork/texture_chart.hpp"

#include <QFont>
#include <QPainter>
#include <QPolygonF>
#include <array>
#include <cmath>
#include <map>

namespace vantrel::artwork {

namespace {

// The triangle: clay 100 at the top, sand 100 at the bottom left, silt 100 at the bottom right.
constexpr double kLeft = 24.0;
constexpr double kRight = 222.0;  // room on the right for the silt axis's "100"
constexpr double kBase = 198.0;
const double kSide = kRight - kLeft;
const double kTop = kBase - kSide * std::sqrt(3.0) / 2.0;

QFont small_font(int pixels) {
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(pixels);
  font.setStyleStrategy(QFont::NoAntialias);  // lettering stays in the palette's colours
  return font;
}

const char* short_name(TextureClass t) {
  switch (t) {
    case TextureClass::clay:
      return "C";
    case TextureClass::silty_clay:
      return "SiC";
    case TextureClass::sandy_clay:
      return "SC";
    case TextureClass::silty_clay_loam:
      return "SiCL";
    case TextureClass::clay_loam:
      return "CL";
    case TextureClass::sandy_clay_loam:
      return "SCL";
    case TextureClass::loam:
      return "L";
    case TextureClass::silt:
      return "Si";
    case TextureClass::silt_loam:
      return "SiL";
    case TextureClass::sandy_loam:
      return "SL";
    case TextureClass::loamy_sand:
      return "LS";
    case TextureClass::sand:
      return "S";
  }
  return "";
}

}  // namespace

QPointF chart_point(const Composition& c) {
  const QPointF top((kLeft + kRight) / 2.0, kTop);
  const QPointF sand_corner(kLeft, kBase);
  const QPointF silt_corner(kRight, kBase);
  return (top * c.clay + sand_corner * c.sand + silt_corner * c.silt) / 100.0;
}

std::optional<Composition> composition_at(QPointF p) {
  const double clay = (kBase - p.y()) / (kBase - kTop) * 100.0;
  const double half = (100.0 - clay) / 100.0 * kSide;  // width of the triangle at this height
  const double left = (kLeft + kRight) / 2.0 - half / 2.0;
  if (clay < 0.0 || clay > 100.0 || half <= 0.0) return std::nullopt;
  const double silt = (p.x() - left) / kSide * 100.0;
  const double sand = 100.0 - clay - silt;
  if (silt < 0.0 || sand < 0.0) return std::nullopt;
  return Composition{sand, silt, clay};
}

QColor class_colour(TextureClass t) {
  static const std::map<TextureClass, QColor> colours = {
      {TextureClass::clay, QColor(0xC0, 0x60, 0x40)},
      {TextureClass::silty_clay, QColor(0xD8, 0x90, 0x70)},
      {TextureClass::sandy_clay, QColor(0xE0, 0xA0, 0x40)},
      {TextureClass::silty_clay_loam, QColor(0xB0, 0xC8, 0x80)},
      {TextureClass::clay_loam, QColor(0xE8, 0xC8, 0x90)},
      {TextureClass::sandy_clay_loam, QColor(0xF0, 0xD0, 0x60)},
      {TextureClass::loam, QColor(0xA0, 0x80, 0x60)},
      {TextureClass::silt, QColor(0x80, 0xB0, 0xD0)},
      {TextureClass::silt_loam, QColor(0xA8, 0xD0, 0xE8)},
      {TextureClass::sandy_loam, QColor(0xF8, 0xE8, 0xB0)},
      {TextureClass::loamy_sand, QColor(0xF8, 0xF0, 0xD0)},
      {TextureClass::sand, QColor(0xFF, 0xF8, 0x80)},
  };
  return colours.at(t);
}

QColor ink() {
  return QColor(0x20, 0x20, 0x20);
}
QColor paper() {
  return QColor(0xFF, 0xFF, 0xFF);
}

std::vector<ChartLabel> chart_labels() {
  std::vector<ChartLabel> labels;
  for (int v = 0; v <= 100; v += 20) {
    const double d = v;
    const QPointF clay_mark = chart_point({100 - d, 0, d});  // left side
    const QPointF silt_mark = chart_point({0, d, 100 - d});  // right side
    const QPointF sand_mark = chart_point({d, 100 - d, 0});  // base
    const QString text = QString::number(v);
    labels.push_back({QRectF(clay_mark.x() - 23, clay_mark.y() - 6, 18, 12),
                      Qt::AlignRight | Qt::AlignVCenter, text, 9});
    labels.push_back({QRectF(silt_mark.x() + 6, silt_mark.y() - 6, 18, 12),
                      Qt::AlignLeft | Qt::AlignVCenter, text, 9});
    labels.push_back(
        {QRectF(sand_mark.x() - 10, sand_mark.y() + 4, 20, 11), Qt::AlignCenter, text, 9});
  }
  labels.push_back({QRectF(1, 0, 60, 14), Qt::AlignLeft, QStringLiteral("clay %"), 10});
  labels.push_back(
      {QRectF(kChartWidth - 61, 0, 60, 14), Qt::AlignRight, QStringLiteral("silt %"), 10});
  // Above the bottom rows, which the window's profile drawing overlaps.
  labels.push_back(
      {QRectF(0, kBase + 17, kChartWidth, 13), Qt::AlignCenter, QStringLiteral("sand %"), 10});
  return labels;
}

QFont chart_font(int pixels) {
  return small_font(pixels);
}

QImage draw_texture_chart(int scale) {
  QImage chart(kChartWidth * scale, kChartHeight * scale, QImage::Format_RGB32);
  chart.fill(paper());
  std::map<TextureClass, std::array<double, 3>> centres;  // pixel count, sum of x, sum of y
  for (int y = 0; y < chart.height(); ++y) {
    for (int x = 0; x < chart.width(); ++x) {
      const auto c = composition_at(QPointF(x + 0.5, y + 0.5) / scale);
      if (!c) continue;
      const TextureClass t = classify_texture(
          static_cast<float>(c->sand), static_cast<float>(c->silt), static_cast<float>(c->clay));
      chart.setPixelColor(x, y, class_colour(t));
      auto& centre = centres[t];
      centre[0] += 1;
      centre[1] += (x + 0.5) / scale;
      centre[2] += (y + 0.5) / scale;
    }
  }

  QPainter painter(&chart);
  painter.scale(scale, scale);
  painter.setPen(QPen(ink(), 1.0));
  const QPolygonF triangle(
      {chart_point({0, 0, 100}), chart_point({100, 0, 0}), chart_point({0, 100, 0})});
  painter.drawPolygon(triangle);

  // Ticks every 20 %, one axis per side, and the numbers and axis names.
  for (int v = 0; v <= 100; v += 20) {
    const double d = v;
    const QPointF clay_mark = chart_point({100 - d, 0, d});
    const QPointF silt_mark = chart_point({0, d, 100 - d});
    const QPointF sand_mark = chart_point({d, 100 - d, 0});
    painter.drawLine(clay_mark, clay_mark + QPointF(-4, 0));
    painter.drawLine(silt_mark, silt_mark + QPointF(4, 0));
    painter.drawLine(sand_mark, sand_mark + QPointF(0, 4));
  }
  for (const ChartLabel& label : chart_labels()) {
    painter.setFont(small_font(label.pixels));
    painter.drawText(label.rect, label.alignment, label.text);
  }

  // Each class's short name at the centre of its region.
  painter.setFont(small_font(9));
  for (const auto& [t, centre] : centres) {
    const QPointF at(centre[1] / centre[0], centre[2] / centre[0]);
    painter.drawText(QRectF(at.x() - 15, at.y() - 6, 30, 12), Qt::AlignCenter,
                     QString::fromLatin1(short_name(t)));
  }
  return chart;
}

QImage sixteen_colours(const QImage& chart) {
  QList<QRgb> palette;
  for (const TextureClass t : kTextureClasses)
    palette << class_colour(t).rgb();
  palette << ink().rgb() << paper().rgb() << QColor(0x80, 0x80, 0x80).rgb()
          << QColor(0xC0, 0xC0, 0xC0).rgb();
  return chart.convertToFormat(QImage::Format_Indexed8, palette, Qt::ThresholdDither);
}

}  // namespace vantrel::artwork
