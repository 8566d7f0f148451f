// Draws the window's pictures and the program's icons into a folder (src/ui/artwork):
//   QT_QPA_PLATFORM=offscreen make_artwork src/ui/artwork
// Deterministic: the same program draws the same pictures.
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "artwork/soil_profile.hpp"
#include "artwork/texture_chart.hpp"

namespace {

using vantrel::artwork::artwork_font;

// A water drop above three soil layers: the program's mark. The same numbers draw it with the
// painter and write it as SVG.
struct Mark {
  std::array<QRectF, 3> layers;
  std::array<QColor, 3> colours = {QColor(0x6A, 0x48, 0x2A), QColor(0x9A, 0x62, 0x34),
                                   QColor(0xC8, 0xA4, 0x70)};
  double cx, top, r, cy;
  QColor wet = QColor(0x7C, 0xC4, 0xF0), deep = QColor(0x1E, 0x6C, 0xC0);

  explicit Mark(const QRectF& area) {
    const double w = area.width();
    const double h = area.height();
    for (int i = 0; i < 3; ++i)
      layers[static_cast<std::size_t>(i)] =
          QRectF(area.left(), area.top() + h * (0.55 + 0.15 * i), w, h * 0.15);
    cx = area.left() + w / 2;
    top = area.top() + h * 0.04;
    r = std::min(w, h) * 0.24;
    cy = area.top() + h * 0.36;
  }
  QPainterPath drop() const {
    QPainterPath path;
    path.moveTo(cx, top);
    path.cubicTo(cx + r * 0.5, cy - r * 0.9, cx + r, cy - r * 0.2, cx + r, cy);
    path.arcTo(QRectF(cx - r, cy - r, 2 * r, 2 * r), 0, -180);
    path.cubicTo(cx - r, cy - r * 0.2, cx - r * 0.5, cy - r * 0.9, cx, top);
    return path;
  }
  void draw(QPainter& p) const {
    for (std::size_t i = 0; i < 3; ++i)
      p.fillRect(layers[i], colours[i]);
    QLinearGradient water(cx, top, cx, cy + r);
    water.setColorAt(0, wet);
    water.setColorAt(1, deep);
    p.fillPath(drop(), water);
  }
  QString svg(int side) const {
    const auto n = [](double v) { return QString::number(v, 'f', 2); };
    QString out = QStringLiteral(
                      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
                      "viewBox=\"0 0 %1 %1\">\n"
                      "  <title>Vantrel</title>\n"
                      "  <defs><linearGradient id=\"water\" gradientUnits=\"userSpaceOnUse\" "
                      "x1=\"%2\" y1=\"%3\" x2=\"%2\" y2=\"%4\">"
                      "<stop offset=\"0\" stop-color=\"%5\"/><stop offset=\"1\" "
                      "stop-color=\"%6\"/></linearGradient></defs>\n")
                      .arg(side)
                      .arg(n(cx), n(top), n(cy + r), wet.name(), deep.name());
    for (std::size_t i = 0; i < 3; ++i) {
      out += QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"%5\"/>\n")
                 .arg(n(layers[i].x()), n(layers[i].y()), n(layers[i].width()),
                      n(layers[i].height()), colours[i].name());
    }
    out += QStringLiteral(
               "  <path fill=\"url(#water)\" d=\"M %1 %2 C %3 %4 %5 %6 %5 %7 A %8 %8 0 0 1 %9 %7 "
               "C %9 %6 %10 %4 %1 %2 Z\"/>\n</svg>\n")
               .arg(n(cx), n(top), n(cx + r * 0.5), n(cy - r * 0.9), n(cx + r), n(cy - r * 0.2),
                    n(cy), n(r), n(cx - r))
               .arg(n(cx - r * 0.5));
    return out;
  }
};

void draw_mark(QPainter& p, const QRectF& area) {
  Mark(area).draw(p);
}

// The desktop icon at `side` pixels: the mark as the window's icon shows it, smooth.
QImage desktop_icon(int side) {
  QImage image(side, side, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  draw_mark(p, QRectF(side * 2.0 / 32, side / 32.0, side * 28.0 / 32, side * 30.0 / 32));
  return image;
}

// The largest font, up to `pixels`, in which the text fits the width.
QFont fitting(const QString& text, int pixels, double width, bool bold) {
  QFont f = artwork_font(pixels, bold);
  while (pixels > 6 && QFontMetricsF(f).horizontalAdvance(text) > width)
    f = artwork_font(--pixels, bold);
  return f;
}

QImage draw_logo(int width, int height, bool tagline, int scale = 1) {
  QImage image(width * scale, height * scale, QImage::Format_RGB32);
  image.fill(QColor(0xF6, 0xF4, 0xEE));
  QPainter p(&image);
  p.scale(scale, scale);
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

// The sixteen colours of the classic icon palette.
const std::array<QRgb, 16> kIconPalette = {
    qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
    qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
    qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
    qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};

int nearest_colour(QRgb c) {
  int best = 0;
  int best_distance = 1 << 30;
  for (int i = 0; i < 16; ++i) {
    const QRgb p = kIconPalette[static_cast<std::size_t>(i)];
    const int dr = qRed(c) - qRed(p), dg = qGreen(c) - qGreen(p), db = qBlue(c) - qBlue(p);
    const int distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
    if (distance < best_distance) {
      best_distance = distance;
      best = i;
    }
  }
  return best;
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
  return image;
}

// A 32 x 32 icon of 16 colours as an ICO file: a 4-bit colour bitmap and a 1-bit
// transparency mask, both stored bottom row first.
QByteArray icon_file(const QImage& icon) {
  QByteArray out;
  QDataStream s(&out, QIODevice::WriteOnly);
  s.setByteOrder(QDataStream::LittleEndian);
  constexpr int kSide = 32;
  constexpr quint32 kColourBytes = kSide * kSide / 2;
  constexpr quint32 kMaskBytes = kSide * 4;
  constexpr quint32 kInfoBytes = 40;
  const quint32 image_bytes = kInfoBytes + 16 * 4 + kColourBytes + kMaskBytes;
  s << quint16(0) << quint16(1) << quint16(1);                      // an icon, one image
  s << quint8(kSide) << quint8(kSide) << quint8(16) << quint8(0);   // 16 colours
  s << quint16(1) << quint16(4) << image_bytes << quint32(6 + 16);  // planes, bits
  s << kInfoBytes << qint32(kSide) << qint32(2 * kSide) << quint16(1) << quint16(4) << quint32(0)
    << quint32(kColourBytes + kMaskBytes) << qint32(0) << qint32(0) << quint32(16) << quint32(0);
  for (const QRgb c : kIconPalette)
    s << quint8(qBlue(c)) << quint8(qGreen(c)) << quint8(qRed(c)) << quint8(0);
  for (int y = kSide - 1; y >= 0; --y) {
    for (int x = 0; x < kSide; x += 2) {
      const auto index = [&](int at) {
        const QRgb c = icon.pixel(at, y);
        return qAlpha(c) < 128 ? 0 : nearest_colour(c);
      };
      s << quint8((index(x) << 4) | index(x + 1));
    }
  }
  for (int y = kSide - 1; y >= 0; --y) {
    quint32 row = 0;  // bit set: transparent
    for (int x = 0; x < kSide; ++x) {
      if (qAlpha(icon.pixel(x, y)) < 128) row |= 1U << (31 - x);
    }
    s << quint8(row >> 24) << quint8(row >> 16) << quint8(row >> 8) << quint8(row);
  }
  return out;
}

bool save_icon(const QImage& icon, const QDir& folder, const QString& name) {
  QFile file(folder.filePath(name));
  if (!file.open(QIODevice::WriteOnly) || file.write(icon_file(icon)) < 0) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
    return false;
  }
  return true;
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
    std::fprintf(stderr, "usage: %s folder [icon-folder]\n", argv[0]);
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
  namespace art = vantrel::artwork;
  const QImage profile = art::draw_soil_profile();
  bool ok = save(art::sixteen_colours(art::draw_texture_chart()), folder, "bitmap102.bmp") &&
            save(palette_of(draw_logo(215, 75, true), 256), folder, "bitmap104.bmp") &&
            save(profile.convertToFormat(QImage::Format_RGB888), folder, "bitmap106.bmp") &&
            save(palette_of(profile, 256), folder, "bitmap107.bmp") &&
            save(draw_logo(122, 60, false).convertToFormat(QImage::Format_RGB888), folder,
                 "bitmap108.bmp") &&
            save(palette_of(draw_logo(146, 35, false), 256), folder, "bitmap109.bmp") &&
            save_icon(draw_icon(0), folder, "vantrel.ico") &&
            save_icon(draw_icon(1), folder, "icon105.ico") &&
            save_icon(draw_icon(2), folder, "icon110.ico");
  // The same pictures at twice the size, for screens at scale 2: drawn, not enlarged.
  constexpr int kTwice = 2;
  ok = ok && save(art::draw_texture_chart(kTwice), folder, "bitmap102@2x.png") &&
       save(draw_logo(215, 75, true, kTwice), folder, "bitmap104@2x.png") &&
       save(art::draw_soil_profile(kTwice), folder, "bitmap107@2x.png") &&
       save(draw_logo(122, 60, false, kTwice), folder, "bitmap108@2x.png") &&
       save(draw_logo(146, 35, false, kTwice), folder, "bitmap109@2x.png");
  // The desktop icons, richer than the window's 16 colours: PNGs in the hicolor sizes and SVG.
  if (ok && argc > 2) {
    const QDir icons(QString::fromLocal8Bit(argv[2]));
    for (const int side : {16, 32, 48, 64, 128, 256}) {
      ok = ok && save(desktop_icon(side), icons, QStringLiteral("vantrel-%1.png").arg(side));
    }
    QFile svg(icons.filePath(QStringLiteral("vantrel.svg")));
    constexpr int kSvgSide = 256;
    ok = ok && svg.open(QIODevice::WriteOnly) &&
         svg.write(Mark(QRectF(16, 8, 224, 240)).svg(kSvgSide).toUtf8()) > 0;
  }
  return ok ? 0 : 1;
}
