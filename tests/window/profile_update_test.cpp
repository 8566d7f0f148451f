// "Update profile": placing horizons, the table's rows, and the estimates they show.
#include <gtest/gtest.h>

#include "data/number_text.hpp"
#include "physics/soil_properties.hpp"
#include "support/line_log.hpp"
#include "support/session.hpp"

namespace vantrel {
namespace {

using testing::padded;
using testing::Session;

std::string fixed(float v, int width, int decimals) {
  return padded(fixed_form(v, width, decimals));
}

TEST(UpdateProfile, FirstStartUpdateFillsRowOne) {
  Session s;
  EXPECT_EQ(s.run("click 1010\ntext 1018\ntext 1019\ntext 1013\ntext 1031\nchecked 1010\n"),
            "1018|0.0|\n1019|" + padded(" 10.0") + "|\n1013|" + padded("loam") + "|\n1031|" +
                padded("0.0") + "|\n1010 false\n");
  const ProfileLayers& layers = s.program().layers();
  EXPECT_EQ(layers.top(1), 0.0F);
  EXPECT_EQ(layers.bottom(1), 10.0F);

  // The row shows what the estimate gives for loam 40/20 from 0 to 10 cm, no stones.
  testing::LineLog trace;
  float density = 0, saturated = 0, fc = 0, sp = 0, wp = 0;
  SOIL_PROPERTIES(s.program().tables().curves, trace, 0, 10, 1.0F, 40, 20, 0, density, saturated,
                  fc, sp, wp, false);
  EXPECT_EQ(s.text(1020), fixed(fc, 5, 1));
  EXPECT_EQ(s.text(1058), fixed(sp, 5, 1));
  EXPECT_EQ(s.text(1021), fixed(wp, 5, 1));
  EXPECT_EQ(s.text(1075), fixed(density, 6, 2));
  EXPECT_EQ(layers.fc(1), fc);
  EXPECT_EQ(layers.wp(1), wp);
  EXPECT_GT(fc, sp);
  EXPECT_GT(sp, wp);
}

TEST(UpdateProfile, HorizonsStackOnTheStoredBottomAbove) {
  Session s;
  s.run("click 1010\ntype 1033 2\ntype 1032 30\nclick 1010\n");
  EXPECT_EQ(s.text(1022), padded(" 10.0"));
  EXPECT_EQ(s.text(1023), padded(" 40.0"));
  // Horizon 4 before horizon 3: it starts at 0, shown in the 5-character form.
  s.run("type 1033 4\ntype 1032 20\nclick 1010\n");
  EXPECT_EQ(s.text(1027), padded("  0.0"));
  EXPECT_EQ(s.text(1028), padded(" 20.0"));
  // Horizon 1 again, thicker: the others keep their depths (they overlap now).
  s.run("type 1033 1\ntype 1032 30\nclick 1010\n");
  EXPECT_EQ(s.text(1019), padded(" 30.0"));
  EXPECT_EQ(s.text(1022), padded(" 10.0"));
  EXPECT_EQ(s.program().layers().top(2), 10.0F);
  // Rows never updated keep their dots; their entries stay 0.
  for (const int cell : {1024, 1025, 1015, 1076, 1043, 1036, 1059, 1052, 1029, 1054}) {
    EXPECT_EQ(s.text(cell), ".") << cell;
  }
  EXPECT_EQ(s.program().layers().bottom(3), 0.0F);
  EXPECT_EQ(s.program().layers().fc(5), 0.0F);
}

TEST(UpdateProfile, OtherHorizonNumbersWriteNoRow) {
  for (const char* horizon : {"6", "0", "", "-1", "abc", "1e10"}) {
    Session s;
    ui::dialog_set_text(s.dialog(), 1046, "15", 2);  // silt, as a spinner would leave it
    s.run(std::string("type 1008 80\ntype 1044 5\ntype 1033 ") + horizon + "\nclick 1010\n");
    EXPECT_EQ(s.text(1057), padded("loamy sand")) << horizon;  // the label still follows
    EXPECT_EQ(s.text(1018), ".") << horizon;
    EXPECT_EQ(s.text(1029), ".") << horizon;
    bool checked = true;
    ui::dialog_get_logical(s.dialog(), 1010, checked);
    EXPECT_FALSE(checked);
  }
  Session s;  // 2.7 is horizon 2
  s.run("type 1033 2.7\nclick 1010\n");
  EXPECT_EQ(s.text(1023), padded(" 10.0"));
}

TEST(UpdateProfile, StonesCellShowsTheFieldAsRead) {
  Session s;
  s.run("type 1048 25\nclick 1010\n");
  EXPECT_EQ(s.text(1031), padded("25"));
  s.run("scroll 1049 thumb 75\nclick 1010\n");
  EXPECT_EQ(s.text(1031), padded("  25.0"));
  // Stones scale the water contents, not the density.
  const float fc_stony = s.program().layers().fc(1);
  s.run("type 1048 0\nclick 1010\n");
  EXPECT_NEAR(fc_stony, 0.75F * s.program().layers().fc(1), 1e-4F);
}

TEST(UpdateProfile, SiltIsTakenAsItStands) {
  Session s;
  // Sand 40 and clay 20 with a silt that was never brought up to date.
  ui::dialog_set_text(s.dialog(), 1046, "0", 1);
  s.run("click 1010\n");
  EXPECT_EQ(s.text(1057), padded("sandy clay loam"));  // 40 / 0 / 20
}

TEST(UpdateProfile, NotANumberChangesNothing) {
  const std::pair<int, const char*> fields[] = {
      {1008, "sand"}, {1046, "silt"}, {1044, "clay"}, {1048, "stones"}, {1032, "thickness"}};
  for (const auto& [field, name] : fields) {
    Session s;
    ui::dialog_set_text(s.dialog(), field, "x", 1);  // typed, or written by a texture choice
    EXPECT_EQ(s.run("click 1010\ntext 1018\ntext 1057\nchecked 1010\n"),
              "message: The " + std::string(name) +
                  " field holds \"x\", which is not a number.\n1018|.|\n1057|loam|\n1010 false\n");
    EXPECT_EQ(s.program().layers().bottom(1), 0.0F);
    // A decimal comma would end the number early ("2,5" as 2): refused with the meant reading.
    ui::dialog_set_text(s.dialog(), field, "2,5", 3);
    EXPECT_EQ(s.run("click 1010\n"), "message: The " + std::string(name) +
                                         " field holds \"2,5\": decimals need a point, as in "
                                         "2.5.\n");
    EXPECT_EQ(s.text(1018), ".");
  }
  Session hidden;  // the hidden density field, set by the program
  ui::dialog_set_text(hidden.dialog(), 1073, "heavy", 5);
  EXPECT_EQ(hidden.run("click 1010\ntext 1018\n"),
            "message: The bulk density field holds \"heavy\", which is not a number.\n1018|.|\n");
}

// Horizons that are plainly wrong are refused with one message naming the field, its text and
// the allowed range; no row and no profile entry changes, and the check box clears.
TEST(UpdateProfile, PlainlyWrongHorizonsAreRefused) {
  struct Case {
    int field;
    const char* text;
    const char* fault;  // empty: the horizon is placed
  } cases[] = {
      {1032, "0", "thickness \"0\" is not above 0 cm"},
      {1032, "-20", "thickness \"-20\" is not above 0 cm"},
      {1032, "", "thickness \"\" is not above 0 cm"},
      {1032, "/3", "thickness \"/3\" is not above 0 cm"},
      {1032, "0.1", ""},
      {1008, "-0.1", "sand \"-0.1\" is not from 0 to 100 %"},
      {1008, "", "sand \"\" is not from 0 to 100 %"},
      {1044, "100.5", "clay \"100.5\" is not from 0 to 100 %"},
      {1008, "80.1", "sand \"80.1\" and clay \"20.0\" add up to more than 100 %"},
      {1008, "81 %/dry", "sand \"81 %/dry\" and clay \"20.0\" add up to more than 100 %"},
      {1008, "85/2", "sand \"85/2\" and clay \"20.0\" add up to more than 100 %"},
      {1008, "80", ""},  // sand 80 + clay 20 is 100 %: allowed
      {1008, "0", ""},
      {1044, "60", ""},  // sand 40 + clay 60 is 100 %: allowed
      {1048, "-5", "stones \"-5\" is not from 0 to 100 %"},
      {1048, "100.1", "stones \"100.1\" is not from 0 to 100 %"},
      {1048, "", "stones \"\" is not from 0 to 100 %"},
      {1048, "100", ""},  // a horizon of stones alone holds no water, but it is a horizon
  };
  for (const Case& c : cases) {
    Session s;
    const std::string out =
        s.run("type " + std::to_string(c.field) + " " + c.text + "\nclick 1010\nchecked 1010\n");
    const bool refused = *c.fault != '\0';
    EXPECT_EQ(out, (refused ? "message: The horizon is not updated: " + std::string(c.fault) + ".\n"
                            : std::string()) +
                       "1010 false\n")
        << c.field << " " << c.text;
    EXPECT_EQ(s.text(1019) == ".", refused) << c.field << " " << c.text;
    EXPECT_EQ(s.program().layers().bottom(1) == 0.0F, refused) << c.field << " " << c.text;
    if (refused) {
      EXPECT_EQ(s.text(1057), "loam");  // the label as it was
    }
  }
  // A horizon that is placed nowhere changes nothing, silently, whatever its values.
  Session s;
  EXPECT_EQ(s.run("type 1033 6\ntype 1032 -5\nclick 1010\n"), "");
  // Stones 100: the horizon holds no water.
  s.run("type 1033 1\ntype 1032 10\ntype 1048 100\nclick 1010\n");
  EXPECT_EQ(s.text(1020), padded("  0.0"));
  EXPECT_GT(s.program().layers().density(1), 0.0F);
}

TEST(UpdateProfile, DeepHorizonsTakeTheDeepestReferenceLayers) {
  Session s;
  std::string script = "type 1032 99\n";
  for (int h = 1; h <= 5; ++h)
    script += "type 1033 " + std::to_string(h) + "\nclick 1010\n";
  EXPECT_EQ(s.run(script), "");
  EXPECT_EQ(s.text(1030), padded("495.0"));
  EXPECT_GT(s.program().layers().fc(5), 0.0F);
  // A deep, wet profile holds more than the result fields can show.
  s.run("choose 1011 1\nclick 30002\n");
  EXPECT_EQ(s.text(1071), padded("*****"));
  EXPECT_EQ(s.side_file().size(), 42U);
}

TEST(UpdateProfile, FewReferenceEntriesAreReported) {
  testing::TempDir folder;
  std::string wrc = "a\nb\nc\n";
  for (int j = 0; j < 20; ++j)
    wrc += "1.30,Ap,45,5,0.1,2,0.5,1,1,1,1,20,40\n";
  folder.write(kRetentionFileName, wrc);
  folder.write(kCropFileName, "h\nh\nh\nh\n");
  folder.write(kTextureFileName, "h\nh\nh\nh\nh\n");
  Session s(folder.path());
  // One profile: a 0-4 cm horizon finds one entry (layer 1), a 0-30 cm horizon three.
  EXPECT_EQ(s.run("type 1032 4\nclick 1010\n"),
            "message: Horizon 1: its density and water contents rest on only 1 reference entry "
            "instead of three or more; use them with care.\n");
  EXPECT_EQ(s.text(1019), padded("  4.0"));
  EXPECT_EQ(s.run("type 1032 30\nclick 1010\n"), "");

  testing::TempDir empty;
  empty.write(kCropFileName, "h\nh\nh\nh\n");
  empty.write(kTextureFileName, "h\nh\nh\nh\nh\n");
  Session none(empty.path());
  EXPECT_EQ(none.run("click 1010\n"),
            "message: Horizon 1: no reference profile is close to this horizon, so its density "
            "and water contents are 0 and cannot be used.\n");
  EXPECT_EQ(none.text(1020), padded("  0.0"));
}

// A reference table whose numbers can be worked out by hand: one profile whose every layer
// has theta_s 40, theta_r 10, alpha 0.1, n 2, m 0.5, so that
//   theta(h) = 10 + 30 / sqrt(1 + (h / 10)^2):
//   FC (10 kPa) = 10 + 30 / sqrt(2) = 31.21, SP (100 kPa) = 10 + 30 / sqrt(101) = 12.99,
//   WP (1500 kPa) = 10 + 30 / sqrt(22501) = 10.20.
TEST(UpdateProfile, NumbersWorkedOutByHand) {
  testing::TempDir folder;
  std::string wrc;
  for (int k = 1; k <= 3; ++k) {
    wrc += "profile\nheader\ncolumns\n";
    for (int j = 0; j < 20; ++j)
      wrc += "1.25,Ap,40,10,0.1,2,0.5,1,1,1,1,20,40\n";
  }
  folder.write(kRetentionFileName, wrc);
  folder.write(kCropFileName, "h\nh\nh\nh\nTest crop,20,50\n");
  folder.write(kTextureFileName, "h\nh\nh\nh\nh\n");
  Session s(folder.path());
  s.run("type 1032 30\nclick 1010\n");
  EXPECT_EQ(s.text(1020), padded(" 31.2"));
  EXPECT_EQ(s.text(1058), padded(" 13.0"));
  EXPECT_EQ(s.text(1021), padded(" 10.2"));
  EXPECT_EQ(s.text(1075), padded("  1.25"));
  // Half stones: half the water.
  s.run("type 1033 2\ntype 1032 10\ntype 1048 50\nclick 1010\n");
  EXPECT_EQ(s.text(1034), padded(" 15.6"));
  EXPECT_EQ(s.text(1023), padded(" 40.0"));
  // Root depth 20 cm, tolerance 50 %: horizon 1 (0-30) and horizon 2 (30-40).
  //   TAW = 30 x (31.21 - 10.20) / 10 + 10 x (15.61 - 5.10) / 10 = 63.04 + 10.51 = 73.5
  //   FP = 30 x 31.21 / 10 + 10 x 15.61 / 10 = 93.64 + 15.61 = 109.2
  //   RP = FP - 0.5 x 20 x (31.21 - 10.20) / 10 = 109.25 - 21.01 = 88.2
  s.run("choose 1011 1\nclick 30002\n");
  EXPECT_EQ(s.text(1069), padded(" 73.5"));
  EXPECT_EQ(s.text(1071), padded("109.2"));
  EXPECT_EQ(s.text(1072), padded(" 88.2"));
}

}  // namespace
}  // namespace vantrel
