#include "artwork/soil_profile.hpp"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace vantrel::artwork {

namespace {

// Inside the part of the drawing that the window's frame shows (its middle 148 pixels).
constexpr double kPlateLeft = 30;
constexpr double kPlateWidth = 116;

struct Horizon {
  const char* symbol;
  const char* name;
  double top, bottom;
  QColor colour;
};
const std::array<Horizon, 6> kHorizons = {{
    {"O", "litter", 28, 48, QColor(0x3A, 0x2A, 0x1A)},
    {"A", "topsoil", 48, 92, QColor(0x5A, 0x40, 0x2A)},
    {"E", "leached", 92, 124, QColor(0xC8, 0xB8, 0x98)},
    {"B", "subsoil", 124, 190, QColor(0x9A, 0x5A, 0x30)},
    {"C", "parent material", 190, 250, QColor(0xB8, 0x98, 0x70)},
    {"R", "bedrock", 250, 330, QColor(0x80, 0x80, 0x88)},
}};

// A small fixed pseudo-random sequence for speckles and stones.
class Speckles {
 public:
  double next() {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(state_ >> 11) * 0x1.0p-53;
  }

 private:
  std::uint64_t state_ = 2024;
};

// A boundary between horizons: gently waving across the picture.
QPainterPath band(double top, double bottom, double width, double phase) {
  QPainterPath path;
  const auto wave = [&](double x, double depth, double shift) {
    return depth + 3.0 * std::sin(x / 23.0 + phase + shift);
  };
  path.moveTo(0, wave(0, top, 0));
  for (double x = 0; x <= width; x += 4)
    path.lineTo(x, wave(x, top, 0));
  for (double x = width; x >= 0; x -= 4)
    path.lineTo(x, wave(x, bottom, 1.7));
  path.closeSubpath();
  return path;
}

}  // namespace

QFont artwork_font(int pixels, bool bold) {
  QFont f(QStringLiteral("Liberation Sans"));
  f.setPixelSize(pixels);
  f.setBold(bold);
  return f;
}

std::vector<QRectF> profile_plates() {
  std::vector<QRectF> plates;
  for (const Horizon& h : kHorizons) {
    const double middle = (h.top + std::min(h.bottom, 300.0)) / 2.0;
    plates.emplace_back(kPlateLeft, middle - 8, kPlateWidth, 16);
  }
  return plates;
}

QImage draw_soil_profile(int scale) {
  constexpr int kWidth = kProfileWidth;
  QImage image(kProfileWidth * scale, kProfileHeight * scale, QImage::Format_RGB32);
  image.fill(QColor(0xD8, 0xE8, 0xF4));  // sky
  QPainter p(&image);
  p.scale(scale, scale);
  p.setRenderHint(QPainter::Antialiasing);

  const auto& horizons = kHorizons;
  Speckles random;
  for (std::size_t i = 0; i < std::size(horizons); ++i) {
    const Horizon& h = horizons[i];
    p.fillPath(band(h.top, h.bottom, kWidth, static_cast<double>(i)), h.colour);
  }
  // Texture: speckles in the soil, stones in C, cracks in R, roots from the grass.
  for (int i = 0; i < 900; ++i) {
    const double x = random.next() * kWidth;
    const double y = 40 + random.next() * 210;
    p.fillRect(QRectF(x, y, 1.5, 1.5), QColor(0, 0, 0, 40));
  }
  p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1));
  for (int i = 0; i < 22; ++i) {
    const double x = random.next() * kWidth;
    const double y = 198 + random.next() * 46;
    const double r = 3 + random.next() * 6;
    p.setBrush(QColor(0x90, 0x88, 0x80));
    p.drawEllipse(QPointF(x, y), r, r * 0.7);
  }
  p.setPen(QPen(QColor(0x50, 0x50, 0x58), 1.5));
  for (int i = 0; i < 7; ++i) {
    double x = 10 + random.next() * (kWidth - 20);
    double y = 258;
    QPainterPath crack(QPointF(x, y));
    for (int s = 0; s < 6; ++s) {
      x += (random.next() - 0.5) * 14;
      y += 8;
      crack.lineTo(x, y);
    }
    p.drawPath(crack);
  }
  p.setPen(QPen(QColor(0xE0, 0xD0, 0xB0), 1));
  for (int i = 0; i < 14; ++i) {
    double x = 8 + random.next() * (kWidth - 16);
    QPainterPath root(QPointF(x, 40));
    double y = 40;
    for (int s = 0; s < 6; ++s) {
      x += (random.next() - 0.5) * 8;
      y += 5 + random.next() * 7;
      root.lineTo(x, y);
    }
    p.drawPath(root);
  }
  p.setPen(QPen(QColor(0x30, 0x90, 0x30), 1.5));
  for (double x = 2; x < kWidth; x += 3.5) {
    p.drawLine(QPointF(x, 30), QPointF(x + (random.next() - 0.5) * 6, 16 + random.next() * 8));
  }

  // Labels on opaque plates, drawn last so that no root or stone runs over them.
  p.setFont(artwork_font(11, true));
  const std::vector<QRectF> plates = profile_plates();
  for (std::size_t i = 0; i < plates.size(); ++i) {
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 0.8));
    p.setBrush(QColor(0xFA, 0xF8, 0xF2));
    p.drawRoundedRect(plates[i], 3, 3);
    p.setPen(QColor(0x20, 0x20, 0x20));
    p.drawText(plates[i].adjusted(4, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("%1  %2").arg(QLatin1String(kHorizons[i].symbol),
                                            QLatin1String(kHorizons[i].name)));
  }
  return image;
}

}  // namespace vantrel::artwork
