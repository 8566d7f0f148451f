// The pictures compiled into the program.
#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>

#include "artwork/texture_chart.hpp"
#include "ui/dialog_template.hpp"

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

TEST(Artwork, IconsAre32By32) {
  for (const char* name : {"vantrel", "icon105", "icon110"}) {
    const QImage icon(QStringLiteral(":/artwork/%1.ico").arg(QLatin1String(name)));
    ASSERT_FALSE(icon.isNull()) << name;
    EXPECT_EQ(icon.size(), QSize(32, 32)) << name;
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
