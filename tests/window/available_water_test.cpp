// "Calculate": available water and irrigation triggers from the committed horizons.
#include <gtest/gtest.h>

#include "support/session.hpp"

namespace vantrel {
namespace {

using testing::padded;
using testing::Session;

void set_layer(Session& s, int h, float top, float bottom, float fc, float sp, float wp) {
  ProfileLayers& layers = s.program().layers();
  layers.top(h) = top;
  layers.bottom(h) = bottom;
  layers.fc(h) = fc;
  layers.sp(h) = sp;
  layers.wp(h) = wp;
}

std::string results(Session& s) {
  return s.run("text 1069\ntext 1070\ntext 1071\ntext 1072\n");
}

std::string shown(const char* taw, const char* raw, const char* fp, const char* rp) {
  return "1069|" + padded(taw) + "|\n1070|" + padded(raw) + "|\n1071|" + padded(fp) + "|\n1072|" +
         padded(rp) + "|\n";
}

TEST(Calculate, WorkedExample) {
  Session s;
  set_layer(s, 1, 0, 30, 30, 20, 10);
  s.run("type 1035 20\ntype 1055 50\nclick 30002\n");
  EXPECT_EQ(results(s), shown(" 60.0", " 30.0", " 90.0", " 70.0"));
  EXPECT_EQ(s.side_file(), padded(" 60.0") + "\n" + padded(" 30.0") + "\n");
}

TEST(Calculate, NoHorizonGivesZeros) {
  Session s;
  s.run("type 1035 20\ntype 1055 50\nclick 30002\n");
  EXPECT_EQ(results(s), shown("  0.0", "  0.0", "  0.0", "  0.0"));
  EXPECT_EQ(s.side_file(), padded("  0.0") + "\n" + padded("  0.0") + "\n");
}

TEST(Calculate, BlankFieldsCalculateNothing) {
  Session s;
  set_layer(s, 1, 0, 30, 30, 20, 10);
  s.run("click 30002\ntype 1035 20\nclick 30002\ntype 1055 \nclick 30002\n");
  EXPECT_EQ(results(s), "1069||\n1070||\n1071||\n1072||\n");
  EXPECT_EQ(s.side_file(), "");
  s.run("type 1055 \t\nclick 30002\n");  // a tab is not blank: it is no number either
  EXPECT_EQ(s.side_file(), "");
}

TEST(Calculate, RootZoneAndTolerance) {
  Session s;
  set_layer(s, 1, 0, 30, 30, 20, 10);
  set_layer(s, 2, 30, 60, 20, 15, 10);
  // Root depth at the bottom of the profile or below: RP = FP - p x TAW.
  s.run("type 1035 100\ntype 1055 50\nclick 30002\n");
  EXPECT_EQ(results(s), shown(" 90.0", " 45.0", "150.0", "105.0"));
  // At or above an entry's top, that entry keeps its full water.
  s.run("type 1035 30\nclick 30002\n");
  EXPECT_EQ(s.text(1072), padded("120.0"));
  s.run("type 1035 0\nclick 30002\n");
  EXPECT_EQ(s.text(1072), padded("150.0"));
  s.run("type 1035 -50\nclick 30002\n");
  EXPECT_EQ(s.text(1072), padded("150.0"));
  // Tolerance 0: RP = FP; 100: the wilting point over the root zone.
  s.run("type 1035 100\ntype 1055 0\nclick 30002\n");
  EXPECT_EQ(s.text(1072), padded("150.0"));
  s.run("type 1055 100\nclick 30002\n");
  EXPECT_EQ(s.text(1072), padded(" 60.0"));
}

TEST(Calculate, EntriesWithoutThicknessAndOverlaps) {
  Session s;
  set_layer(s, 1, 0, 30, 30, 20, 10);
  set_layer(s, 2, 40, 40, 50, 40, 30);  // no thickness
  set_layer(s, 3, 50, 45, 50, 40, 30);  // bottom above top
  set_layer(s, 4, 10, 40, 30, 20, 10);  // overlaps horizon 1: counted in full
  s.run("type 1035 100\ntype 1055 0\nclick 30002\n");
  EXPECT_EQ(results(s), shown("120.0", " 60.0", "180.0", "180.0"));
}

TEST(Calculate, DeepWetProfileOverflowsTheDisplay) {
  Session s;
  for (int h = 1; h <= 5; ++h) {
    const auto bottom = 99.0F * static_cast<float>(h);
    set_layer(s, h, bottom - 99.0F, bottom, 30, 20, 10);
  }
  s.run("type 1035 100\ntype 1055 50\nclick 30002\n");
  EXPECT_EQ(s.text(1071), padded("*****"));
  EXPECT_EQ(s.text(1069), padded("990.0"));
}

TEST(Calculate, TwiceAppendsTheSameLinesAgain) {
  Session s;
  set_layer(s, 1, 0, 30, 30, 20, 10);
  s.run("type 1035 20\ntype 1055 50\nclick 30002\nclick 30002\n");
  const std::string two = padded(" 60.0") + "\n" + padded(" 30.0") + "\n";
  EXPECT_EQ(s.side_file(), two + two);
}

// Only a decimal comma is refused as a number; a slash ends the number as it always did; a text
// without a number and a value outside its range are refused, naming the field, text and range.
TEST(Calculate, DecimalCommasTextsWithoutANumberAndValuesOutOfRange) {
  struct Case {
    const char* root;
    const char* tolerance;
    const char* message;  // empty: the calculation runs
    const char* rp;       // RP shown afterwards
  } cases[] = {
      {"0,6", "50", "The root depth field holds \"0,6\": decimals need a point, as in 0.6.",
       " 70.0"},
      {"20", "12,50",
       "The drought tolerance field holds \"12,50\": decimals need a point, as in "
       "12.50.",
       " 70.0"},
      {"20", ",5", "The drought tolerance field holds \",5\": decimals need a point, as in 0.5.",
       " 70.0"},
      {"20", ",", "Nothing is calculated: drought tolerance \",\" is not from 0 to 100 %.",
       " 70.0"},
      {"20", "/50", "Nothing is calculated: drought tolerance \"/50\" is not from 0 to 100 %.",
       " 70.0"},
      {"/3", "50", "Nothing is calculated: root depth \"/3\" is not 0 cm or more.", " 70.0"},
      {"20", "150", "Nothing is calculated: drought tolerance \"150\" is not from 0 to 100 %.",
       " 70.0"},
      {"20", "-0.5", "Nothing is calculated: drought tolerance \"-0.5\" is not from 0 to 100 %.",
       " 70.0"},
      {"-1", "50", "Nothing is calculated: root depth \"-1\" is not 0 cm or more.", " 70.0"},
      {"20/40", "50 %/day", "", " 70.0"},  // a slash ends the number: 20 and 50
      {"0", "50", "", " 90.0"},            // no root zone: RP is FP
      {"20", "100", "", " 50.0"},          // the edges of the ranges are allowed
      {"20", "0", "", " 90.0"},
      {"20", "1,", "", " 89.6"},  // a comma without a digit after it ends the number: 1 %
  };
  for (const Case& c : cases) {
    Session s;
    set_layer(s, 1, 0, 30, 30, 20, 10);
    s.run("type 1035 20\ntype 1055 50\nclick 30002\n");
    const std::string out = s.run(std::string("type 1035 ") + c.root + "\ntype 1055 " +
                                  c.tolerance + "\nclick 30002\n");
    const bool refused = *c.message != '\0';
    EXPECT_EQ(out, refused ? "message: " + std::string(c.message) + "\n" : "") << c.root;
    EXPECT_EQ(s.text(1072), padded(c.rp)) << c.root << " " << c.tolerance;
    EXPECT_EQ(s.side_file().size(), refused ? 42U : 84U);  // a refusal writes no trace line
  }
}

TEST(Calculate, NotANumberIsReportedAndNothingChanges) {
  Session s;
  set_layer(s, 1, 0, 30, 30, 20, 10);
  s.run("type 1035 20\ntype 1055 50\nclick 30002\n");
  EXPECT_EQ(s.run("type 1055 lots\nclick 30002\n"),
            "message: The drought tolerance field holds \"lots\", which is not a number.\n");
  EXPECT_EQ(s.run("type 1055 50\ntype 1035 1e40\nclick 30002\n"),
            "message: The root depth field holds \"1e40\", which is not a number.\n");
  EXPECT_EQ(s.text(1072), padded(" 70.0"));
  EXPECT_EQ(s.side_file().size(), 42U);  // still the first calculation's two lines
}

TEST(Calculate, SideFileFailureIsToldOnceAndResultsStillShow) {
  Session s;
  std::filesystem::create_directory(s.dir() / "fort.99");  // a folder where the file should be
  set_layer(s, 1, 0, 30, 30, 20, 10);
  const std::string out = s.run("type 1035 20\ntype 1055 50\nclick 30002\nclick 30002\n");
  EXPECT_EQ(out, "message: The trace lines could not be written to " +
                     (s.dir() / "fort.99").string() +
                     ". The results are shown but not recorded.\n");
  EXPECT_EQ(s.text(1069), padded(" 60.0"));
}

TEST(Calculate, OnlyOnItsClickedEvent) {
  Session s;
  set_layer(s, 1, 0, 30, 30, 20, 10);
  s.run("type 1035 20\ntype 1055 50\n");
  VANTRELAPPLY(s.program(), s.dialog(), 30002, ui::ev_changed);
  EXPECT_EQ(s.text(1069), "");
  VANTRELAPPLY(s.program(), s.dialog(), 30002, ui::ev_clicked);
  EXPECT_EQ(s.text(1069), padded(" 60.0"));
}

}  // namespace
}  // namespace vantrel
