// The input panel: start values, the spinners and their follow-ups, the two lists, and the
// rule for fields that hold no number. Each case is a scripted session and its transcript.
#include <gtest/gtest.h>

#include "support/session.hpp"

namespace vantrel {
namespace {

using testing::Session;

TEST(StartValues, FieldsListsAndBoxes) {
  Session s;
  ASSERT_TRUE(s.started());
  EXPECT_EQ(s.run(R"(text 1033
text 1008
text 1046
text 1044
text 1048
text 1073
text 1032
text 1057
text 1035
text 1055
checked 1010
checked 1080
entries 1011
entries 1012
position 1045
position 1026
position 1049
position 1038
position 1041
position 1056
position 1039
position 1074
text 1018
text 1069
)"),
            R"(1033|1.0|
1008|40.0|
1046|40.0|
1044|20.0|
1048|0.0|
1073|1.00|
1032|10.0|
1057|loam|
1035||
1055||
1010 false
1080 false
1011 99
1012 12
1045 80
1026 60
1049 110
1038 110
1041 55
1056 55
1039 110
1074 50
1018|.|
1069||
)");
  EXPECT_EQ(s.dialog().control(1011)->entries.front(), "Broccoli");
  EXPECT_EQ(s.dialog().control(1012)->entries.back(), "clay");
}

TEST(SandAndClaySpinners, KeepSiltAtLeastZeroAndNameTheClass) {
  Session s;
  EXPECT_EQ(s.run("scroll 1026 thumb 60\ntext 1008\ntext 1046\ntext 1057\nposition 1026\n"),
            "1008|  40.0              |\n1046|  40.0              |\n"
            "1057|loam                |\n1026 60\n");
  // Clay 70: the raw 100 of position 0 is limited to 30.
  EXPECT_EQ(s.run("type 1044   70.0\nscroll 1026 thumb 0\ntext 1008\ntext 1046\ntext 1057\n"),
            "1008|  30.0              |\n1046|   0.0              |\n"
            "1057|clay                |\n");
  // A blank sand field counts as -99.9: the limit does not bite.
  EXPECT_EQ(s.run("type 1008 \nscroll 1045 thumb 30\ntext 1044\ntext 1046\n"),
            "1044|  70.0              |\n1046| 129.9              |\n");
}

TEST(SandAndClaySpinners, RangeWidensAfterTheFirstEvent) {
  Session s;
  // The first event still clamps to 1..100; later ones reach -10..110, read as 0..100.
  EXPECT_EQ(s.run("scroll 1026 thumb -5\nposition 1026\ntext 1008\n"
                  "scroll 1026 thumb -5\nposition 1026\ntext 1008\n"
                  "scroll 1026 thumb 200\nposition 1026\ntext 1008\n"),
            "1026 1\n1008|  80.0              |\n"
            "1026 -5\n1008|  80.0              |\n"
            "1026 110\n1008|   0.0              |\n");
}

TEST(ThicknessAndStonesSpinners, Limits) {
  Session s;
  EXPECT_EQ(s.run("scroll 1038 down\nposition 1038\ntext 1032\n"),
            "1038 100\n1032|   5.0              |\n");
  for (const int position : {95, 100, 110}) {
    EXPECT_EQ(s.run("scroll 1038 thumb " + std::to_string(position) + "\ntext 1032\n"),
              "1032|   5.0              |\n")
        << position;
  }
  EXPECT_EQ(s.run("scroll 1038 thumb 50\ntext 1032\n"), "1032|  50.0              |\n");
  for (const int position : {1, 0, -10}) {
    EXPECT_EQ(s.run("scroll 1038 thumb " + std::to_string(position) + "\ntext 1032\n"),
              "1032|  99.0              |\n")
        << position;
  }
  EXPECT_EQ(s.run("scroll 1049 up\nposition 1049\ntext 1048\nscroll 1049 thumb 0\ntext 1048\n"),
            "1049 100\n1048|   0.0              |\n1048|  99.0              |\n");
}

TEST(HorizonSpinner, MapsPositionsToHorizonsAndTidiesSandAndSilt) {
  Session s;
  EXPECT_EQ(s.run("scroll 1039 up\nposition 1039\ntext 1033\n"),
            "1039 100\n1033|   1.0              |\n");
  std::string nine_up;
  for (int i = 0; i < 9; ++i)
    nine_up += "scroll 1039 up\n";
  EXPECT_EQ(s.run(nine_up + "position 1039\ntext 1033\n"), "1039 91\n1033|   2.0              |\n");
  const std::pair<int, const char*> cases[] = {{110, "1.0"}, {92, "1.0"}, {91, "2.0"}, {90, "3.0"},
                                               {89, "4.0"},  {88, "5.0"}, {0, "5.0"}};
  for (const auto& [position, shown] : cases) {
    EXPECT_EQ(s.run("scroll 1039 thumb " + std::to_string(position) + "\ntext 1033\n"),
              "1033|" + testing::padded(std::string("   ") + shown) + "|\n")
        << position;
  }
  // Typed sand and clay: sand is limited and rewritten, silt brought up to date, no class.
  EXPECT_EQ(s.run("type 1008 75\ntype 1044 30\nscroll 1039 up\ntext 1008\ntext 1046\ntext 1057\n"),
            "1008|  70.0              |\n1046|   0.0              |\n1057|loam|\n");
}

TEST(OtherSpinners, RootDepthToleranceAndDensity) {
  Session s;
  EXPECT_EQ(s.run("scroll 1041 thumb 55\ntext 1035\nscroll 1041 thumb 0\ntext 1035\n"
                  "scroll 1056 thumb 55\ntext 1055\n"),
            "1035|  90.0              |\n1035| 200.0              |\n1055|  45.0              |\n");
  // The density spinner is hidden: no user reaches it, the program still serves it.
  s.dialog().notify_scroll(1074, ui::ScrollAction::thumb, 50);
  EXPECT_EQ(s.text(1073), testing::padded("  1.00"));
  EXPECT_FLOAT_EQ(s.program().inputs().density, 1.0F);
  s.dialog().notify_scroll(1074, ui::ScrollAction::thumb, 0);
  EXPECT_EQ(s.text(1073), testing::padded("  2.00"));
  EXPECT_EQ(s.run("scroll 1074 up\n"), "");
  EXPECT_EQ(s.status(), 2);
}

TEST(TextureChoice, WritesTheStoredTextsAndMovesNoBar) {
  Session s;
  EXPECT_EQ(s.run("choose 1012 4\ntext 1008\ntext 1044\ntext 1046\ntext 1057\n"
                  "position 1026\nposition 1045\n"),
            "1008|41|\n1044|19|\n1046|40|\n1057|loam                |\n1026 60\n1045 80\n");
  // Typing a class name chooses it too; a text that names no class changes nothing.
  EXPECT_EQ(s.run("type 1012 silt\ntext 1008\ntype 1012 silty\ntext 1008\ntext 1057\n"),
            "1008|7|\n1008|7|\n1057|silt                |\n");
}

TEST(CropChoice, WritesRootDepthAndTolerance) {
  Session s;
  EXPECT_EQ(s.run("choose 1011 1\ntext 1035\ntext 1055\ntype 1011 Maize grain\ntext 1035\n"
                  "text 1055\ntype 1011 maize grain\ntext 1035\nposition 1041\n"),
            "1035|40|\n1055|45|\n1035|100|\n1055|55|\n1035|100|\n1041 55\n");
}

TEST(Choices, LaterRowWinsAndLongNamesNeverMatch) {
  testing::TempDir folder;
  folder.write(kRetentionFileName, "");
  folder.write(kCropFileName,
               "h\nh\nh\nh\nGrass,60,50\nGrass,80,40\n"
               "A crop with a very long name,30,30\n  Leading,10,10\n");
  folder.write(kTextureFileName, "h\nh\nh\nh\nh\nloam,40,20,40\nloam,45,15,40\n");
  Session s(folder.path());
  EXPECT_EQ(s.run("entries 1011\nchoose 1011 1\ntext 1035\ntext 1055\n"
                  "choose 1011 3\ntext 1035\nchoose 1011 4\ntext 1035\n"
                  "choose 1012 1\ntext 1008\n"),
            "1011 4\n1035|80|\n1055|40|\n1035|80|\n1035|10|\n1008|45|\n");
  EXPECT_EQ(s.dialog().control(1011)->entries[3], "  Leading");  // leading blanks kept
}

TEST(Choices, EmptyListsAndEmptyTexts) {
  testing::TempDir folder;
  folder.write(kRetentionFileName, "");
  folder.write(kCropFileName, "h\nh\nh\nh\n");
  folder.write(kTextureFileName, "h\nh\nh\nh\nh\n");
  Session s(folder.path());
  ASSERT_TRUE(s.started());
  EXPECT_EQ(s.run("entries 1011\nentries 1012\ntype 1011 \ntype 1012 loam\ntext 1008\n"),
            "1011 0\n1012 0\n1008|40.0|\n");
}

TEST(NotANumber, TheActionDoesNotRunAndTheUserIsTold) {
  Session s;
  EXPECT_EQ(s.run("type 1044 abc\nscroll 1026 up\ntext 1008\nposition 1026\n"),
            "message: The clay field holds \"abc\", which is not a number.\n"
            "1008|40.0|\n1026 59\n");
  EXPECT_EQ(s.run("type 1044 20\ntype 1008 4O\nscroll 1045 up\ntext 1044\n"
                  "scroll 1039 up\ntext 1033\n"),
            "message: The sand field holds \"4O\", which is not a number.\n1044|20|\n"
            "message: The sand field holds \"4O\", which is not a number.\n1033|1.0|\n");
  // A decimal comma would end the number early: it is refused with the reading meant, and the
  // bar's range is set all the same. A slash ends the number, as it always has.
  EXPECT_EQ(s.run("type 1008 40\ntype 1044 ,5\nscroll 1026 thumb 50\ntext 1008\ntext 1046\n"),
            "message: The clay field holds \",5\": decimals need a point, as in 0.5.\n"
            "1008|40|\n1046|40.0|\n");
  EXPECT_EQ(s.run("type 1044 12/5\nscroll 1026 thumb 50\ntext 1008\ntext 1046\n"),
            "1008|" + testing::padded("  50.0") + "|\n1046|" + testing::padded("  38.0") + "|\n");
  int low = 0, high = 0;
  ui::dialog_get_int(s.dialog(), 1049, low, ui::sel_range_min);
  EXPECT_EQ(low, 1);  // a bar without events keeps the default range
  ui::dialog_get_int(s.dialog(), 1026, low, ui::sel_range_min);
  ui::dialog_get_int(s.dialog(), 1026, high, ui::sel_range_max);
  EXPECT_EQ(std::pair(low, high), std::pair(-10, 110));
}

TEST(Exit, EndsTheSessionWithStatusZero) {
  Session s;
  EXPECT_EQ(s.run("click 30001\ntext 1008\n"), "");
  EXPECT_EQ(s.status(), 0);
  EXPECT_TRUE(s.dialog().destroyed());
}

TEST(Script, MalformedLinesStopWithStatusTwo) {
  for (const char* line :
       {"jump 1008", "text 4242", "scroll 1008 up", "scroll 1026 sideways", "choose 1011 0",
        "choose 1011 500", "click 1008", "type 1046 5", "type 1073 5", "position 1008",
        "checked 1026", "entries 1008", "text", "text x"}) {
    Session s;
    EXPECT_EQ(s.run(std::string("# fine\n\ntext 1033\n") + line + "\ntext 1033\n"), "1033|1.0|\n")
        << line;
    EXPECT_EQ(s.status(), 2) << line;
    EXPECT_NE(s.errors().find("line 4"), std::string::npos) << s.errors();
  }
}

}  // namespace
}  // namespace vantrel
