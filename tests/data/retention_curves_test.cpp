#include "data/retention_curves.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "data/fields.hpp"
#include "data/reference_file.hpp"
#include "support/temp_dir.hpp"
#include "support/wrc_text.hpp"

namespace vantrel {
namespace {

using testing::TempDir;

const std::string kLayer = "1.35,Ap,45,5,0.05,1.5,0.3333,10.5,1.2,40,10,20,40\n";

std::string profile(int k, const std::string& layer = kLayer, int layers = 20) {
  std::string text = testing::profile_header(k);
  for (int j = 0; j < layers; ++j)
    text += layer;
  return text;
}

struct Loaded {
  std::unique_ptr<RetentionCurves> table = std::make_unique<RetentionCurves>();
  std::string warnings;
};

Loaded load(const std::string& text) {
  TempDir dir;
  Loaded result;
  std::ostringstream warnings;
  load_retention_curves(dir.write("Soil_WRC.csv", text), *result.table, warnings);
  result.warnings = warnings.str();
  return result;
}

TEST(LoadRetentionCurves, ReadsEveryColumnByPosition) {
  const auto loaded = load(profile(1));
  const RetentionCurves& t = *loaded.table;
  ASSERT_EQ(t.profile_count, 1);
  for (int j = 1; j <= 20; ++j) {
    EXPECT_FLOAT_EQ(t.density(1, j), 1.35F);
    EXPECT_FLOAT_EQ(t.theta_s(1, j), 45.0F);
    EXPECT_FLOAT_EQ(t.theta_r(1, j), 5.0F);
    EXPECT_FLOAT_EQ(t.alpha(1, j), 0.05F);
    EXPECT_FLOAT_EQ(t.n(1, j), 1.5F);
    EXPECT_FLOAT_EQ(t.m(1, j), 0.3333F);
    EXPECT_FLOAT_EQ(t.further[0](1, j), 10.5F);
    EXPECT_FLOAT_EQ(t.further[1](1, j), 1.2F);
    EXPECT_FLOAT_EQ(t.further[2](1, j), 40.0F);
    EXPECT_FLOAT_EQ(t.further[3](1, j), 10.0F);
    EXPECT_FLOAT_EQ(t.clay(1, j), 20.0F);
    EXPECT_FLOAT_EQ(t.sand(1, j), 40.0F);
  }
  EXPECT_EQ(t.density(2, 1), 0.0F);  // entries no line filled
  EXPECT_TRUE(loaded.warnings.empty());
}

TEST(LoadRetentionCurves, CountsCompleteProfilesWithOrWithoutTrailingBlankLine) {
  EXPECT_EQ(load(profile(1) + profile(2) + profile(3)).table->profile_count, 3);
  EXPECT_EQ(load(profile(1) + profile(2) + "\n").table->profile_count, 2);
  EXPECT_EQ(load("").table->profile_count, 0);
}

TEST(LoadRetentionCurves, AProfileCountsOnceItsHeaderIsRead) {
  const auto header_only = load(profile(1) + testing::profile_header(2));
  EXPECT_EQ(header_only.table->profile_count, 2);
  EXPECT_EQ(header_only.table->density(2, 1), 0.0F);

  const auto partial = load(profile(1) + profile(2, kLayer, 7));
  EXPECT_EQ(partial.table->profile_count, 2);
  EXPECT_FLOAT_EQ(partial.table->density(2, 7), 1.35F);
  EXPECT_EQ(partial.table->density(2, 8), 0.0F);

  EXPECT_EQ(load("h1\nh2\n").table->profile_count, 0);
}

TEST(LoadRetentionCurves, BlankFieldsAndShortLines) {
  std::string text = testing::profile_header(1);
  text += "1.35,Ap,45,5,0.05,1.5,0.3333,10.5,1.2,40,10,,40\n";  // empty clay
  text += "1.40,Bt,44,6,0.04,1.6,0.375,10.5,1.2,40,10,22,\n";   // final comma: no sand
  text += "1.45,C,43\n";                                        // short line
  text += "  ,C,43,5,0.05,1.5,0.3333,10.5,1.2,40,10,20,40\n";   // blank density
  const auto loaded = load(text);
  const RetentionCurves& t = *loaded.table;
  EXPECT_FLOAT_EQ(t.clay(1, 1), -99.9F);
  EXPECT_FLOAT_EQ(t.sand(1, 2), 40.0F);  // the text the line before had there
  EXPECT_FLOAT_EQ(t.clay(1, 2), 22.0F);
  EXPECT_FLOAT_EQ(t.density(1, 3), 1.45F);
  EXPECT_FLOAT_EQ(t.theta_r(1, 3), 6.0F);
  EXPECT_FLOAT_EQ(t.sand(1, 3), 40.0F);
  EXPECT_FLOAT_EQ(t.density(1, 4), -99.9F);
}

TEST(LoadRetentionCurves, ColumnsNoLineSuppliedReadAsBlank) {
  const auto loaded = load(testing::profile_header(1) + "1.35,Ap,45\n");
  EXPECT_FLOAT_EQ(loaded.table->density(1, 1), 1.35F);
  EXPECT_FLOAT_EQ(loaded.table->sand(1, 1), -99.9F);
}

TEST(LoadRetentionCurves, NumbersAreReadFromTheirFirst20Characters) {
  const std::string layer = "1.2345678901234567899999,Ap,45,5,0.05,1.5,0.3333,1,1,1,1,20,40\n";
  EXPECT_FLOAT_EQ(load(profile(1, layer, 1)).table->density(1, 1), 1.23456789F);
  // 25 characters whose first 20 are a valid number and the rest would not be.
  const std::string cut = "1.35000000000000000000xyz,Ap,45,5,0.05,1.5,0.3333,1,1,1,1,20,40\n";
  EXPECT_FLOAT_EQ(load(profile(1, cut, 1)).table->density(1, 1), 1.35F);
}

TEST(LoadRetentionCurves, WindowsFilesReadTheSame) {
  std::string crlf = "\xEF\xBB\xBF";
  for (const char c : profile(1)) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  const auto loaded = load(crlf);
  EXPECT_EQ(loaded.table->profile_count, 1);
  EXPECT_FLOAT_EQ(loaded.table->sand(1, 20), 40.0F);
}

TEST(LoadRetentionCurves, BadNumberIsAFatalStopNamingFileLineAndText) {
  TempDir dir;
  const std::string bad = "1.35,Ap,45,5,0.05,1.5,0.3333,10.5,1.2,40,10,twenty,40\n";
  const auto path = dir.write("Soil_WRC.csv", testing::profile_header(1) + kLayer + bad);
  auto table = std::make_unique<RetentionCurves>();
  try {
    load_retention_curves(path, *table);
    FAIL() << "no stop";
  } catch (const FatalStop& stop) {
    const std::string report = stop.what();
    EXPECT_NE(report.find(path.string()), std::string::npos) << report;
    EXPECT_NE(report.find("line 5"), std::string::npos) << report;
    EXPECT_NE(report.find("\"twenty\""), std::string::npos) << report;
  }
}

TEST(LoadRetentionCurves, EveryNumericColumnIsChecked) {
  for (int column = 1; column <= 13; ++column) {
    std::string layer;
    for (int c = 1; c <= 13; ++c)
      layer += (c == column ? std::string("x1") : "1") + ",";
    const std::string text = testing::profile_header(1) + layer + "\n";
    if (column == 2) {
      EXPECT_NO_THROW(load(text)) << "column 2 is a label";
    } else {
      EXPECT_THROW(load(text), FatalStop) << column;
    }
  }
}

TEST(LoadRetentionCurves, ShiftedHeaderStopsOnTheHeaderText) {
  // A profile with four header lines: its fourth line is read as a layer line.
  const std::string text = "a\nb\nc\nd,e,f\n" + std::string(kLayer);
  EXPECT_THROW(load(text), FatalStop);
}

TEST(LoadRetentionCurves, TwoLineHeadersShiftTheNextProfileIntoTheLayers) {
  std::string two_line = "a\nb\n";
  for (int j = 0; j < 20; ++j)
    two_line += kLayer;
  // Alone, the first layer line is taken as a header line and the profile has 19 layers.
  const auto alone = load(two_line);
  EXPECT_EQ(alone.table->profile_count, 1);
  EXPECT_EQ(alone.table->density(1, 20), 0.0F);
  // A second such profile puts its header text into a numeric column: the stop.
  EXPECT_THROW(load(two_line + two_line), FatalStop);
}

TEST(LoadRetentionCurves, KeepsTheFirst200ProfilesAndWarnsOnce) {
  const auto exactly = load(testing::wrc_file(200));
  EXPECT_EQ(exactly.table->profile_count, 200);
  EXPECT_TRUE(exactly.warnings.empty());

  const auto more = load(testing::wrc_file(203));
  EXPECT_EQ(more.table->profile_count, 200);
  EXPECT_EQ(std::count(more.warnings.begin(), more.warnings.end(), '\n'), 1);
  EXPECT_NE(more.warnings.find("200"), std::string::npos);
}

TEST(LoadRetentionCurves, ReloadingClearsTheTable) {
  TempDir dir;
  auto table = std::make_unique<RetentionCurves>();
  load_retention_curves(dir.write("a.csv", profile(1) + profile(2)), *table);
  load_retention_curves(dir.write("b.csv", profile(1, kLayer, 1)), *table);
  EXPECT_EQ(table->profile_count, 1);
  EXPECT_EQ(table->density(2, 1), 0.0F);
  EXPECT_EQ(table->density(1, 2), 0.0F);
}

}  // namespace
}  // namespace vantrel
