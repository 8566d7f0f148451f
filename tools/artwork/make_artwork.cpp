// Draws the window's pictures and the program's icons into a folder (src/ui/artwork):
//   QT_QPA_PLATFORM=offscreen make_artwork src/ui/artwork
// Deterministic: the same program draws the same pictures.
#include <QDir>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "artwork/texture_chart.hpp"

namespace {

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

QFont font(int pixels, bool bold = false) {
  QFont f(QStringLiteral("Liberation Sans"));
  f.setPixelSize(pixels);
  f.setBold(bold);
  return f;
}

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

// A soil profile from the surface litter down to bedrock, each horizon labelled.
QImage draw_soil_profile() {
  constexpr int kWidth = 176;
  constexpr int kHeight = 310;
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  image.fill(QColor(0xD8, 0xE8, 0xF4));  // sky
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);

  struct Horizon {
    const char* symbol;
    const char* name;
    double top, bottom;
    QColor colour;
  };
  const Horizon horizons[] = {
      {"O", "litter", 28, 48, QColor(0x3A, 0x2A, 0x1A)},
      {"A", "topsoil", 48, 92, QColor(0x5A, 0x40, 0x2A)},
      {"E", "leached", 92, 124, QColor(0xC8, 0xB8, 0x98)},
      {"B", "subsoil", 124, 190, QColor(0x9A, 0x5A, 0x30)},
      {"C", "parent material", 190, 250, QColor(0xB8, 0x98, 0x70)},
      {"R", "bedrock", 250, 330, QColor(0x80, 0x80, 0x88)},
  };
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

  // Labels on plates, inside the part that a narrower picture frame still shows.
  p.setFont(font(11, true));
  for (const Horizon& h : horizons) {
    const double middle = (h.top + std::min(h.bottom, 300.0)) / 2.0;
    const QRectF plate(18, middle - 8, 108, 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 210));
    p.drawRoundedRect(plate, 3, 3);
    p.setPen(QColor(0x20, 0x20, 0x20));
    p.drawText(plate.adjusted(4, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("%1  %2").arg(QLatin1String(h.symbol), QLatin1String(h.name)));
  }
  return image;
}

// A water drop above three soil layers: the program's mark.
void draw_mark(QPainter& p, const QRectF& area) {
  const double w = area.width();
  const double h = area.height();
  const QColor layers[] = {QColor(0x6A, 0x48, 0x2A), QColor(0x9A, 0x62, 0x34),
                           QColor(0xC8, 0xA4, 0x70)};
  for (int i = 0; i < 3; ++i) {
    p.fillRect(QRectF(area.left(), area.top() + h * (0.55 + 0.15 * i), w, h * 0.15), layers[i]);
  }
  QPainterPath drop;
  const double cx = area.left() + w / 2;
  const double top = area.top() + h * 0.04;
  const double r = std::min(w, h) * 0.24;
  const double cy = area.top() + h * 0.36;
  drop.moveTo(cx, top);
  drop.cubicTo(cx + r * 0.5, cy - r * 0.9, cx + r, cy - r * 0.2, cx + r, cy);
  drop.arcTo(QRectF(cx - r, cy - r, 2 * r, 2 * r), 0, -180);
  drop.cubicTo(cx - r, cy - r * 0.2, cx - r * 0.5, cy - r * 0.9, cx, top);
  QLinearGradient water(cx, top, cx, cy + r);
  water.setColorAt(0, QColor(0x7C, 0xC4, 0xF0));
  water.setColorAt(1, QColor(0x1E, 0x6C, 0xC0));
  p.fillPath(drop, water);
}

// The largest font, up to `pixels`, in which the text fits the width.
QFont fitting(const QString& text, int pixels, double width, bool bold) {
  QFont f = font(pixels, bold);
  while (pixels > 6 && QFontMetricsF(f).horizontalAdvance(text) > width)
    f = font(--pixels, bold);
  return f;
}

QImage draw_logo(int width, int height, bool tagline) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(QColor(0xF6, 0xF4, 0xEE));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const double mark = height - 8.0;
  draw_mark(p, QRectF(6, 4, mark * 0.8, mark));
  const double text_left = 12 + mark * 0.8;
  const QRectF text(text_left, 2, width - text_left - 6, height - 4);
  const QString name = QStringLiteral("Vantrel");
  p.setPen(QColor(0x1E, 0x4C, 0x80));
  if (tagline) {
    const QString words = QStringLiteral("irrigation planning");
    p.setFont(fitting(name, static_cast<int>(height * 0.42), text.width(), true));
    p.drawText(text.adjusted(0, 0, 0, -height * 0.35), Qt::AlignLeft | Qt::AlignVCenter, name);
    p.setPen(QColor(0x6A, 0x48, 0x2A));
    p.setFont(fitting(words, static_cast<int>(height * 0.2), text.width(), false));
    p.drawText(text.adjusted(0, height * 0.58, 0, 0), Qt::AlignLeft | Qt::AlignTop, words);
  } else {
    p.setFont(fitting(name, static_cast<int>(height * 0.45), text.width(), true));
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, name);
  }
  return image;
}

QImage draw_icon(int variant) {
  QImage image(32, 32, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, false);
  if (variant == 0) {
    draw_mark(p, QRectF(2, 1, 28, 30));
  } else if (variant == 1) {
    draw_mark(p, QRectF(2, 1, 28, 56));  // the drop alone: its layers fall outside
  } else {
    draw_mark(p, QRectF(2, -14, 28, 46));  // the layers alone
  }
  p.end();
  return image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither)
      .convertToFormat(QImage::Format_ARGB32);
}

bool save(const QImage& image, const QDir& folder, const QString& name) {
  const QString path = folder.filePath(name);
  if (!image.save(path)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  return true;
}

QImage palette_of(const QImage& image, int colours) {
  // Reduce to at most `colours` colours (8 bits per pixel is what BMP files of Qt can hold).
  QImage indexed = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
  if (indexed.colorCount() <= colours) return indexed;
  return image.convertToFormat(QImage::Format_Indexed8, Qt::DiffuseDither | Qt::PreferDither);
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s folder\n", argv[0]);
    return 2;
  }
  for (const char* file : {"/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
                           "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf"}) {
    if (QFontDatabase::addApplicationFont(QString::fromLatin1(file)) < 0) {
      std::fprintf(stderr, "missing font %s (Debian package fonts-liberation2)\n", file);
      return 1;
    }
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  const QImage profile = draw_soil_profile();
  const bool ok = save(vantrel::artwork::sixteen_colours(vantrel::artwork::draw_texture_chart()),
                       folder, "bitmap102.bmp") &&
                  save(palette_of(draw_logo(215, 75, true), 256), folder, "bitmap104.bmp") &&
                  save(profile.convertToFormat(QImage::Format_RGB888), folder, "bitmap106.bmp") &&
                  save(palette_of(profile, 256), folder, "bitmap107.bmp") &&
                  save(draw_logo(122, 60, false).convertToFormat(QImage::Format_RGB888), folder,
                       "bitmap108.bmp") &&
                  save(palette_of(draw_logo(146, 35, false), 256), folder, "bitmap109.bmp") &&
                  save(draw_icon(0), folder, "vantrel.ico") &&
                  save(draw_icon(1), folder, "icon105.ico") &&
                  save(draw_icon(2), folder, "icon110.ico");
  return ok ? 0 : 1;
}
