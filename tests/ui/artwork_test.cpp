// The pictures compiled into the program.
#include <gtest/gtest.h>

#include <QFile>
#include <QFontMetricsF>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSet>

#include "artwork/texture_chart.hpp"
#include "ui/dialog_bitmap.hpp"
#include "ui/dialog_template.hpp"
#include "ui/qt/qt_dialog_view.hpp"
#include "ui/qt/qt_pictures.hpp"

namespace vantrel::ui {
namespace {

QImage bitmap(int id) {
  return QImage(QStringLiteral(":/artwork/bitmap%1.bmp").arg(id));
}

TEST(Artwork, EveryBitmapAtItsSizeAndColourDepth) {
  for (const BitmapResource& item : bitmap_resources()) {
    const QImage image = bitmap(item.id);
    ASSERT_FALSE(image.isNull()) << item.id;
    EXPECT_EQ(image.size(), QSize(item.width, item.height)) << item.id;
    if (item.colours == 0) {
      EXPECT_GE(image.depth(), 24) << item.id;
    } else {
      EXPECT_LE(image.depth(), 8) << item.id;
      EXPECT_LE(image.colorCount(), item.colours) << item.id;
    }
  }
}

// The window reads its pictures without the toolkit's reader: pixel for pixel what it reads.
TEST(Artwork, TheWindowsOwnReadingGivesTheToolkitsPixels) {
  for (const BitmapResource& item : bitmap_resources()) {
    QFile file(QStringLiteral(":/artwork/bitmap%1.bmp").arg(item.id));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(read_bmp(std::string_view(bytes.constData(), bytes.size())).has_value()) << item.id;
    const QImage toolkit = bitmap(item.id).convertToFormat(QImage::Format_RGB32);
    const QImage own = picture_pixmap(item.id, 1.0).toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(own.size(), toolkit.size()) << item.id;
    EXPECT_TRUE(own == toolkit) << item.id;
  }
}

// The template's pictures read on their own thread are the window's own reading, each handed
// over once; a bitmap the template does not show is not read early.
TEST(Artwork, PicturesReadEarlyAreTheWindowsAndHandedOverOnce) {
  QSet<int> shown;
  for (const TemplateControl& item : find_template(kMainDialog)->controls) {
    if (item.kind == ControlKind::picture) shown.insert(item.bitmap);
  }
  ASSERT_FALSE(shown.isEmpty());
  EarlyPictures early;
  for (const BitmapResource& item : bitmap_resources()) {
    const QImage taken = early.take(item.id);
    EXPECT_EQ(taken.isNull(), !shown.contains(item.id)) << item.id;
    if (!taken.isNull()) {
      EXPECT_TRUE(taken == bitmap_image(item.id)) << item.id;
    }
    EXPECT_TRUE(early.take(item.id).isNull()) << item.id;
    const QImage later = picture_pixmap(item.id, 1.0, &early).toImage();  // read again
    EXPECT_TRUE(later.convertToFormat(QImage::Format_RGB32) == bitmap_image(item.id)) << item.id;
  }
}

TEST(Artwork, IconsAre32By32Of16Colours) {
  for (const char* name : {"vantrel", "icon105", "icon110"}) {
    const QString path = QStringLiteral(":/artwork/%1.ico").arg(QLatin1String(name));
    const QImage icon(path);
    ASSERT_FALSE(icon.isNull()) << name;
    EXPECT_EQ(icon.size(), QSize(32, 32)) << name;
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_GE(bytes.size(), 22 + 40);
    EXPECT_EQ(static_cast<unsigned char>(bytes[8]), 16) << name;       // colours in the entry
    EXPECT_EQ(static_cast<unsigned char>(bytes[22 + 14]), 4) << name;  // bits per pixel
    QSet<QRgb> colours;
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) {
        if (qAlpha(icon.pixel(x, y)) > 0) colours.insert(icon.pixel(x, y));
      }
    }
    EXPECT_LE(colours.size(), 16) << name;
    EXPECT_GE(colours.size(), 3) << name;  // the mark, not a blank square
  }
}

TEST(Artwork, SharpPicturesForScaleTwo) {
  for (const BitmapResource& item : bitmap_resources()) {
    if (item.id == 106) continue;  // no control shows it
    const QPixmap plain = picture_pixmap(item.id, 1.0);
    const QPixmap sharp = picture_pixmap(item.id, 2.0);
    EXPECT_EQ(plain.devicePixelRatio(), 1.0) << item.id;
    EXPECT_EQ(plain.size(), QSize(item.width, item.height)) << item.id;
    EXPECT_EQ(sharp.devicePixelRatio(), 2.0) << item.id;
    EXPECT_EQ(sharp.size(), QSize(2 * item.width, 2 * item.height)) << item.id;
    EXPECT_EQ(sharp.deviceIndependentSize().toSize(), plain.size()) << item.id;
  }
}

TEST(Artwork, ChartLettersStayInsideTheChart) {
  const QRectF chart(0, 0, artwork::kChartWidth, artwork::kChartHeight);
  for (const artwork::ChartLabel& label : artwork::chart_labels()) {
    const QFontMetricsF metrics(artwork::chart_font(label.pixels));
    EXPECT_TRUE(chart.contains(label.rect)) << label.text.toStdString();
    EXPECT_LE(metrics.horizontalAdvance(label.text), label.rect.width())
        << label.text.toStdString();
  }
}

TEST(Artwork, TextureChartAgreesWithTheClassification) {
  const QImage chart = bitmap(102).convertToFormat(QImage::Format_RGB32);
  int coloured = 0;
  int inked = 0;
  for (int clay = 1; clay < 100; clay += 3) {
    for (int sand = 1; sand + clay < 100; sand += 3) {
      const artwork::Composition c{static_cast<double>(sand),
                                   static_cast<double>(100 - sand - clay),
                                   static_cast<double>(clay)};
      const QPointF at = artwork::chart_point(c);
      const int x = static_cast<int>(at.x());
      const int y = static_cast<int>(at.y());
      const auto shown = artwork::composition_at(QPointF(x + 0.5, y + 0.5));
      ASSERT_TRUE(shown.has_value());
      const QColor expected = artwork::class_colour(
          classify_texture(static_cast<float>(shown->sand), static_cast<float>(shown->silt),
                           static_cast<float>(shown->clay)));
      const QColor pixel = chart.pixelColor(x, y);
      if (pixel == expected) {
        ++coloured;
      } else {
        EXPECT_EQ(pixel, artwork::ink()) << "sand " << sand << " clay " << clay;  // a label
        ++inked;
      }
    }
  }
  EXPECT_GT(coloured, 9 * inked);
}

}  // namespace
}  // namespace vantrel::ui
