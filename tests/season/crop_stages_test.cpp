// Crop stages files: what reads, and each bad row named with its line.
#include "season/crop_stages.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace vantrel {
namespace {

TEST(CropStages, FilesAndTheirBadRows) {
  struct Case {
    const char* text;
    const char* says;  // empty when the file reads
  } cases[] = {
      {"name,kc_ini,kc_mid,kc_end,l_ini,l_dev,l_mid,l_late\n# a comment\nMaize grain,0.3,1.2,0.6,"
       "30,40,50,30\n",
       ""},
      {"name,kc_ini\nMaize grain,0.3\n", "1: no column \"kc_mid\" in the header"},
      {"Name ; KC_INI;kc_mid;kc_end;l_ini;l_dev;l_mid;l_late\nMaize "
       "grain;0,3;1,2;0,6;30;40;50;30\n",
       ""},
      {"l_late,l_mid,l_dev,l_ini,kc_end,kc_mid,kc_ini,name\n30,50,40,30,0.6,1.2,0.3,Maize grain\n",
       ""},
      {"name,kc_ini,kc_mid,kc_end,l_ini,l_dev,l_mid,l_late\nX,0.3,high,0.6,30,40,50,30\n",
       "2: kc_mid \"high\" is not a number"},
      {"name,kc_ini,kc_mid,kc_end,l_ini,l_dev,l_mid,l_late\nX,0.3,1,0.6,30,40,50\n",
       "2: 7 fields where the header has 8"},
      {"name,kc_ini,kc_mid,kc_end,l_ini,l_dev,l_mid,l_late\nX,0.3,1,0.6,-30,40,50,30\n",
       "2: l_ini -30 is not a whole number of days from 0 to 3650"},
      {"name,kc_ini,kc_mid,kc_end,l_ini,l_dev,l_mid,l_late\nX,0.3,2.5,0.6,30,40,50,30\n",
       "2: kc_mid 2.5 is not within 0 and 2"},
      {"name,kc_ini,kc_mid,kc_end,l_ini,l_dev,l_mid,l_late\nX,0.3,1,0.6,30,1e30,50,30\n",
       "2: l_dev 1e+30 is not a whole number"},
      // Whole days: four half days are no four-day season, four of 0.4 no season of none.
      {"name,kc_ini,kc_mid,kc_end,l_ini,l_dev,l_mid,l_late\nX,0.3,1,0.6,0.5,0.5,0.5,0.5\n",
       "2: l_ini 0.5 is not a whole number of days from 0 to 3650"},
      {"name,kc_ini,kc_mid,kc_end,l_ini,l_dev,l_mid,l_late\nX,0.3,1,0.6,0,0,0.4,0\n",
       "2: l_mid 0.4 is not a whole number of days"},
      {"name,kc_ini,kc_mid,kc_end,l_ini,l_dev,l_mid,l_late\nX,0.3,1,0.6,0,0,0,0\n",
       "2: the four stages last 0 days"},
      {"name,kc_ini,kc_mid,kc_end,l_ini,l_dev,l_mid,l_late\nMaize "
       "grain,0.3,1.2,0.6,30,40,50,30\nMaize grain,0.3,1,0.6,9,9,9,9\n",
       "3: Maize grain has a row already"},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::istringstream in(c.text);
    CropStageTable table;
    std::string error;
    EXPECT_EQ(read_crop_stages(in, table, error), *c.says == '\0') << error;
    EXPECT_NE(error.find(c.says), std::string::npos) << error;
    if (*c.says == '\0' && table.count("Maize grain") != 0) {
      EXPECT_EQ(table["Maize grain"].season_days(), 150);
      EXPECT_DOUBLE_EQ(table["Maize grain"].kc_mid, 1.2000000476837158);  // a float's 1.2
    }
  }
}

// The root depth on the planting day: the column's number, blank for a perennial at full
// depth, 15 cm where a file has no such column; no crop's depth is refused.
TEST(CropStages, TheInitialRootDepthColumn) {
  const std::string header =
      "name,kc_ini,kc_mid,kc_end,l_ini,l_dev,l_mid,l_late,table_11_row,root_ini_cm\n";
  const struct {
    std::string text;
    std::optional<double> root_ini;
    const char* says;
  } cases[] = {
      {header + "X,0.3,1.2,0.6,30,40,50,30,,20\n", 20.0, ""},
      {header + "X,0.3,1.2,0.6,30,40,50,30,,\n", std::nullopt, ""},
      {"name,kc_ini,kc_mid,kc_end,l_ini,l_dev,l_mid,l_late\nX,0.3,1.2,0.6,30,40,50,30\n", 15.0, ""},
      {header + "X,0.3,1.2,0.6,30,40,50,30,,0\n", std::nullopt,
       "2: root_ini_cm \"0\" is not a depth above 0 and at most 1000 cm"},
      {header + "X,0.3,1.2,0.6,30,40,50,30,,deep\n", std::nullopt, "2: root_ini_cm \"deep\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::istringstream in(c.text);
    CropStageTable table;
    std::string error;
    const bool read = read_crop_stages(in, table, error);
    EXPECT_EQ(read, *c.says == '\0') << error;
    EXPECT_NE(error.find(c.says), std::string::npos) << error;
    if (read) {
      EXPECT_EQ(table.at("X").root_ini_cm, c.root_ini);
    }
  }
}

// The bundled stages: annual crops start at 15 cm, established perennials at full depth.
TEST(CropStages, TheBundledCropsRoots) {
  std::ifstream in(std::string(VANTREL_REFERENCE_DIR) + "/" + kCropStageFileName);
  CropStageTable table;
  std::string error;
  ASSERT_TRUE(read_crop_stages(in, table, error)) << error;
  EXPECT_EQ(table.at("Maize grain").root_ini_cm, 15.0);
  EXPECT_EQ(table.at("Potato").root_ini_cm, 15.0);
  EXPECT_FALSE(table.at("Apples and pears").root_ini_cm.has_value());
  EXPECT_FALSE(table.at("Wine grapes").root_ini_cm.has_value());
}

// The stages' yield response factors: read when given, blank leaves a stage without; a factor
// beyond any crop's is refused with its column named.
TEST(CropStages, TheStagesYieldFactors) {
  const std::string header =
      "name,kc_ini,kc_mid,kc_end,l_ini,l_dev,l_mid,l_late,ky_ini,ky_dev,"
      "ky_mid,ky_late\nX,0.3,1.2,0.6,30,40,50,30,";
  const struct {
    std::string factors;
    std::optional<double> mid;
    const char* says;
  } cases[] = {
      {"0.4,0.4,1.5,0.5", 1.5, ""},
      {"0.4,0.4,,0.5", std::nullopt, ""},
      {"0.4,0.4,3.5,0.5", std::nullopt, "2: ky_mid \"3.5\" is not a factor above 0 and at most 3"},
      {"0.4,-1,1.5,0.5", std::nullopt, "2: ky_dev \"-1\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.factors);
    std::istringstream in(header + c.factors + "\n");
    CropStageTable table;
    std::string error;
    const bool read = read_crop_stages(in, table, error);
    EXPECT_EQ(read, *c.says == '\0') << error;
    EXPECT_NE(error.find(c.says), std::string::npos) << error;
    if (read) {
      EXPECT_EQ(table.at("X").ky_stage[2], c.mid);
    }
  }
}

// Every bundled crop with stage factors has the season's factor too, and the stage that FAO-33
// holds most sensitive for grain (flowering) outweighs the vegetative stages.
TEST(CropStages, TheBundledYieldFactors) {
  std::ifstream in(std::string(VANTREL_REFERENCE_DIR) + "/" + kCropStageFileName);
  CropStageTable table;
  std::string error;
  ASSERT_TRUE(read_crop_stages(in, table, error)) << error;
  int staged = 0;
  for (const auto& [name, crop] : table) {
    if (!crop.ky_stage[0]) continue;
    SCOPED_TRACE(name);
    ++staged;
    EXPECT_TRUE(crop.ky.has_value());
    for (const auto& k : crop.ky_stage)
      EXPECT_TRUE(k.has_value());
  }
  EXPECT_EQ(staged, 19);
  const CropStages& maize = table.at("Maize grain");
  EXPECT_EQ(maize.ky_stage[2], 1.5);
  EXPECT_GT(*maize.ky_stage[2], *maize.ky_stage[0]);
  EXPECT_FALSE(table.at("Broccoli").ky_stage[2].has_value());
}

}  // namespace
}  // namespace vantrel
