// The texture-class chart (bitmap 102): the sand/silt/clay triangle coloured by the program's
// own classification, so the chart always agrees with what the program says.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <optional>
#include <vector>

#include "physics/soil_texture.hpp"

namespace vantrel::artwork {

inline constexpr int kChartWidth = 250;
inline constexpr int kChartHeight = 242;

struct Composition {
  double sand;
  double silt;
  double clay;
};

// Where a composition lies on the chart, and which composition a chart point shows (none
// outside the triangle).
QPointF chart_point(const Composition& c);
std::optional<Composition> composition_at(QPointF point);

QColor class_colour(TextureClass texture);
QColor ink();    // lines and lettering
QColor paper();  // outside the triangle

// A text of the chart: its box (in the chart's pixels at scale 1) and font size in pixels.
struct ChartLabel {
  QRectF rect;
  Qt::Alignment alignment;
  QString text;
  int pixels;
};
std::vector<ChartLabel> chart_labels();
QFont chart_font(int pixels);

// The chart in true colour at `scale` times its size, and reduced to its 16-colour palette.
QImage draw_texture_chart(int scale = 1);
QImage sixteen_colours(const QImage& chart);

}  // namespace vantrel::artwork
