#include "data/text_tables.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "data/reference_file.hpp"
#include "support/temp_dir.hpp"

namespace vantrel {
namespace {

using testing::TempDir;

const std::string kCropHeader = "crops\nsource\ncolumns\nunits\n";
const std::string kTextureHeader = "textures\nsource\ncolumns\nunits\nmore\n";

struct Crops {
  std::unique_ptr<CropTable> table = std::make_unique<CropTable>();
  std::string warnings;
};

Crops load_crops(const std::string& text) {
  TempDir dir;
  Crops result;
  std::ostringstream warnings;
  load_crop_table(dir.write(kCropFileName, text), *result.table, warnings);
  result.warnings = warnings.str();
  return result;
}

std::unique_ptr<TextureDefaults> load_textures(const std::string& text) {
  TempDir dir;
  auto table = std::make_unique<TextureDefaults>();
  load_texture_defaults(dir.write(kTextureFileName, text), *table);
  return table;
}

TEST(CropTable, RowsAfterTheFourHeaderLines) {
  const auto crops = load_crops(kCropHeader + "Grass,60,50\nMaize grain,100,55\n");
  const CropTable& t = *crops.table;
  ASSERT_EQ(t.row_count, 2);
  EXPECT_EQ(t.row(1).name.trimmed(), "Grass");
  EXPECT_EQ(t.row(1).root_depth.trimmed(), "60");
  EXPECT_EQ(t.row(1).drought_tolerance.trimmed(), "50");
  EXPECT_EQ(t.row(2).name.trimmed(), "Maize grain");
  EXPECT_TRUE(crops.warnings.empty());
}

TEST(CropTable, TextsAreKeptAsTheyStand) {
  const auto crops = load_crops(kCropHeader + "  Grass , 60,fifty,extra,columns\n");
  const CropTable& t = *crops.table;
  EXPECT_EQ(t.row(1).name.trimmed(), "  Grass");
  EXPECT_EQ(t.row(1).root_depth.trimmed(), " 60");
  EXPECT_EQ(t.row(1).drought_tolerance.trimmed(), "fifty");  // not checked here
}

TEST(CropTable, CommaInANameCutsIt) {
  const auto quoted = load_crops(kCropHeader + "\"Maize, grain\",100,55\n");
  EXPECT_EQ(quoted.table->row(1).name.trimmed(), "\"Maize");
  EXPECT_EQ(quoted.table->row(1).root_depth.trimmed(), " grain\"");
  const auto bare = load_crops(kCropHeader + "Maize, grain,100,55\n");
  EXPECT_EQ(bare.table->row(1).name.trimmed(), "Maize");
}

TEST(CropTable, ShortAndBlankLinesReuseThePreviousLine) {
  const auto crops = load_crops(kCropHeader + "Grass,60,50\nOats\n\nRye,,\n");
  const CropTable& t = *crops.table;
  ASSERT_EQ(t.row_count, 4);
  EXPECT_EQ(t.row(2).name.trimmed(), "Oats");
  EXPECT_EQ(t.row(2).root_depth.trimmed(), "60");
  EXPECT_EQ(t.row(2).drought_tolerance.trimmed(), "50");
  EXPECT_EQ(t.row(3).name.trimmed(), "Oats");  // the blank line repeats the row above
  EXPECT_EQ(t.row(3).root_depth.trimmed(), "60");
  EXPECT_EQ(t.row(4).name.trimmed(), "Rye");
  EXPECT_TRUE(t.row(4).root_depth.blank());               // ",," gives an empty second field
  EXPECT_EQ(t.row(4).drought_tolerance.trimmed(), "50");  // no third field: kept
}

TEST(CropTable, FirstRowWithFewerColumnsLeavesThemBlank) {
  const auto crops = load_crops(kCropHeader + "Grass\n");
  EXPECT_EQ(crops.table->row(1).name.trimmed(), "Grass");
  EXPECT_TRUE(crops.table->row(1).root_depth.blank());
  EXPECT_TRUE(crops.table->row(1).drought_tolerance.blank());
}

TEST(CropTable, HeaderOnlyAndShortFiles) {
  EXPECT_EQ(load_crops(kCropHeader).table->row_count, 0);
  EXPECT_EQ(load_crops("a\nb\nc\nd").table->row_count, 0);  // last header line without end
  EXPECT_THROW(load_crops("a\nb\nc\n"), FatalStop);
  EXPECT_THROW(load_crops(""), FatalStop);

  TempDir dir;
  CropTable table;
  try {
    load_crop_table(dir / kCropFileName, table);  // missing: created empty, then too short
    FAIL() << "no stop";
  } catch (const FatalStop& stop) {
    EXPECT_EQ(std::string(stop.what()),
              "end-of-file during read, unit 41, file " + (dir / kCropFileName).string());
  }
  EXPECT_TRUE(std::filesystem::exists(dir / kCropFileName));
}

TEST(CropTable, KeepsTheFirst100RowsAndWarnsOnce) {
  std::string text = kCropHeader;
  for (int i = 1; i <= 100; ++i)
    text += "Crop " + std::to_string(i) + ",50,50\n";
  const auto exactly = load_crops(text);
  EXPECT_EQ(exactly.table->row_count, 100);
  EXPECT_TRUE(exactly.warnings.empty());

  const auto more = load_crops(text + "Crop 101,50,50\nCrop 102,50,50\n");
  EXPECT_EQ(more.table->row_count, 100);
  EXPECT_EQ(more.table->row(100).name.trimmed(), "Crop 100");
  EXPECT_EQ(std::count(more.warnings.begin(), more.warnings.end(), '\n'), 1);
}

TEST(CropTable, WindowsFileAndLongLines) {
  const std::string wide(300, 'w');
  const auto crops = load_crops(
      "\xEF\xBB\xBF"
      "a\r\nb\r\nc\r\nd\r\nGrass,60,50\r\n" +
      wide + "\r\n");
  const CropTable& t = *crops.table;
  ASSERT_EQ(t.row_count, 2);
  EXPECT_EQ(t.row(1).drought_tolerance.trimmed(), "50");   // no CR left on the last field
  EXPECT_EQ(t.row(2).name.view(), std::string(128, 'w'));  // 256 read, first 128 kept
}

TEST(TextureDefaults, RowsAfterTheFiveHeaderLines) {
  const auto t = load_textures(kTextureHeader + "loam,40,20,40\nsand, 92,3,5,ignored\n");
  ASSERT_EQ(t->row_count, 2);
  EXPECT_EQ(t->row(1).name.trimmed(), "loam");
  EXPECT_EQ(t->row(1).sand.trimmed(), "40");
  EXPECT_EQ(t->row(1).clay.trimmed(), "20");
  EXPECT_EQ(t->row(1).silt.trimmed(), "40");
  EXPECT_EQ(t->row(2).sand.trimmed(), " 92");  // the leading blank stays
  EXPECT_EQ(t->row(2).silt.trimmed(), "5");
}

TEST(TextureDefaults, BlankLineRepeatsTheRowAndShortFilesStop) {
  const auto t = load_textures(kTextureHeader + "loam,40,20,40\n\nsand,92,3,5\n");
  ASSERT_EQ(t->row_count, 3);
  EXPECT_EQ(t->row(2).name.trimmed(), "loam");
  EXPECT_EQ(t->row(2).silt.trimmed(), "40");
  EXPECT_THROW(load_textures("1\n2\n3\n4\n"), FatalStop);
  EXPECT_EQ(load_textures(kTextureHeader)->row_count, 0);
}

}  // namespace
}  // namespace vantrel
