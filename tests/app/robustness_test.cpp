// Bad input of every kind, and what the program makes of it: nothing crashes, hangs, corrupts
// the profile or the trace file, or passes for a success. docs/robustness.md lists the cases.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "support/session.hpp"

namespace vantrel {
namespace {

using testing::padded;
using testing::Session;

struct Typed {
  std::string text;
  bool number;  // whether it reads as a number (else the action is refused with a message)
};

const std::vector<Typed>& typed_texts() {
  static const std::vector<Typed> texts = {
      {"abc", false},      {"1e40", false}, {"-1e40", false},
      {"nan", false},      {"inf", false},  {std::string(10000, '9'), true},
      {"\t5", false},      {",5", false},   {"/5", false},
      {"\xD9\xA3", false},  // an Arabic-Indic digit three
      {"2,5", false},      {"-0", true},    {"1e-50", true},
  };
  return texts;
}

bool finite_profile(const ProfileLayers& layers) {
  for (int h = 1; h <= kProfileEntries; ++h) {
    for (const float v : {layers.top(h), layers.bottom(h), layers.density(h), layers.fc(h),
                          layers.sp(h), layers.wp(h)}) {
      if (!std::isfinite(v)) return false;
    }
  }
  return true;
}

TEST(TypedFields, EveryFieldThatUpdateProfileReads) {
  const std::pair<int, const char*> fields[] = {
      {1008, "sand"}, {1044, "clay"}, {1048, "stones"}, {1032, "thickness"}};
  for (const auto& [field, name] : fields) {
    for (const Typed& typed : typed_texts()) {
      Session s;
      const std::string out = s.run("type " + std::to_string(field) + " " + typed.text +
                                    "\nclick 1010\nchecked 1010\n");
      const bool refused = out.find("which is not a number") != std::string::npos;
      EXPECT_EQ(refused, !typed.number) << name << " " << typed.text.substr(0, 20);
      EXPECT_EQ(s.text(1018) == ".", refused) << name << " " << typed.text.substr(0, 20);
      EXPECT_NE(out.find("1010 false"), std::string::npos);
      EXPECT_TRUE(finite_profile(s.program().layers())) << name;
    }
  }
}

TEST(TypedFields, TheHorizonFieldWritesNoRowForNonNumbers) {
  for (const Typed& typed : typed_texts()) {
    Session s;
    const bool separator = typed.text.find_first_of(",/") != std::string::npos;
    const std::string out = s.run("type 1033 " + typed.text + "\nclick 1010\n");
    EXPECT_EQ(out.find("horizon field") != std::string::npos, separator) << out;
    EXPECT_EQ(s.text(1023), ".") << typed.text.substr(0, 20);
  }
}

TEST(TypedFields, TheHiddenDensityField) {
  for (const Typed& typed : typed_texts()) {
    Session s;
    ui::dialog_set_text(s.dialog(), 1073, typed.text, static_cast<int>(typed.text.size()));
    const std::string out = s.run("click 1010\n");
    EXPECT_EQ(out.find("bulk density field") != std::string::npos, !typed.number);
  }
}

TEST(TypedFields, RootDepthAndToleranceForCalculate) {
  for (const int field : {1035, 1055}) {
    for (const Typed& typed : typed_texts()) {
      Session s;
      s.run("click 1010\nchoose 1011 1\n");
      const std::string out =
          s.run("type " + std::to_string(field) + " " + typed.text + "\nclick 30002\n");
      const bool refused = out.find("which is not a number") != std::string::npos;
      EXPECT_EQ(refused, !typed.number) << field << " " << typed.text.substr(0, 20);
      EXPECT_EQ(s.side_file().empty(), refused);
      EXPECT_EQ(s.side_file().size(), refused ? 0U : 42U);  // whole lines only
    }
  }
}

TEST(TypedFields, SpinnerFollowUpsReadingTheOtherField) {
  for (const Typed& typed : typed_texts()) {
    Session s;
    const std::string out = s.run("type 1044 " + typed.text + "\nscroll 1026 up\ntext 1046\n" +
                                  "type 1008 " + typed.text + "\nscroll 1045 up\n");
    const std::size_t messages = [&] {
      std::size_t n = 0;
      for (std::size_t at = out.find("message:"); at != std::string::npos;
           at = out.find("message:", at + 1)) {
        ++n;
      }
      return n;
    }();
    EXPECT_EQ(messages, typed.number ? 0U : 2U) << typed.text.substr(0, 20);
  }
}

TEST(TypedFields, ListTextsThatNameNothing) {
  for (const Typed& typed : typed_texts()) {
    Session s;
    EXPECT_EQ(
        s.run("type 1011 " + typed.text + "\ntype 1012 " + typed.text + "\ntext 1035\ntext 1008\n"),
        "1035||\n1008|40.0|\n");
  }
}

TEST(Geometry, ZeroAndNegativeThickness) {
  Session s;
  s.run("type 1032 0\nclick 1010\ntype 1033 2\ntype 1032 -20\nclick 1010\n");
  EXPECT_EQ(s.text(1019), padded("  0.0"));
  EXPECT_EQ(s.text(1023), padded("-20.0"));
  s.run("choose 1011 1\nclick 30002\n");
  // Neither horizon has a positive thickness: nothing to count.
  EXPECT_EQ(s.text(1069), padded("  0.0"));
  EXPECT_EQ(s.text(1071), padded("  0.0"));
}

TEST(Geometry, BlankThicknessPlacesANegativeExtent) {
  Session s;
  s.run("type 1032 \nclick 1010\n");
  EXPECT_EQ(s.text(1019), padded("-99.9"));
  EXPECT_TRUE(finite_profile(s.program().layers()));
}

TEST(ReferenceNames, NulBytesAndBrokenCharactersReachTheListSafely) {
  testing::TempDir folder;
  const std::string long_name = std::string(127, 'x') + "\xC3\xA9";  // cut inside the é
  folder.write(kCropFileName, std::string("h\nh\nh\nh\nNul\0crop,30,40\n", 23) +
                                  "Caf\xC3\xA9,50,50\nbad \xFF\xFE byte,60,60\n" + long_name +
                                  ",70,70\n");
  folder.write(kTextureFileName, "h\nh\nh\nh\nh\n");
  Session s(folder.path());
  ASSERT_TRUE(s.started());
  const auto& entries = s.dialog().control(1011)->entries;
  ASSERT_EQ(entries.size(), 4U);
  EXPECT_EQ(entries[0], std::string("Nul\0crop", 8));
  EXPECT_EQ(entries[1], "Caf\xC3\xA9");
  EXPECT_EQ(entries[3], std::string(127, 'x'));  // the partial character is dropped
  EXPECT_EQ(s.run("choose 1011 2\ntext 1035\nchoose 1011 1\ntext 1035\n"), "1035|50|\n1035|30|\n");
}

TEST(ReferenceValues, CurvesThatCannotBeEvaluated) {
  struct Bad {
    const char* what;
    const char* layer;
    bool finite = true;  // beyond single precision the sums overflow: cells show asterisks
  };
  const Bad cases[] = {
      {"negative alpha", "1.3,Ap,45,5,-0.1,1.5,0.3,1,1,1,1,20,40"},
      {"n below 1", "1.3,Ap,45,5,0.1,0.5,-1,1,1,1,1,20,40"},
      {"m of 0", "1.3,Ap,45,5,0.1,2,0,1,1,1,1,20,40"},
      {"theta_r above theta_s", "1.3,Ap,20,45,0.1,2,0.5,1,1,1,1,20,40"},
      {"density 0", "0,Ap,45,5,0.1,2,0.5,1,1,1,1,20,40"},
      {"blank density", ",Ap,45,5,0.1,2,0.5,1,1,1,1,20,40"},
      {"huge values", "1e38,Ap,3e38,-3e38,1e30,1e30,1e30,1,1,1,1,20,40", false},
  };
  for (const Bad& bad : cases) {
    testing::TempDir folder;
    std::string wrc;
    for (int k = 0; k < 3; ++k) {
      wrc += "a\nb\nc\n";
      for (int j = 0; j < 20; ++j)
        wrc += std::string(bad.layer) + "\n";
    }
    folder.write(kRetentionFileName, wrc);
    folder.write(kCropFileName, "h\nh\nh\nh\nCrop,50,50\n");
    folder.write(kTextureFileName, "h\nh\nh\nh\nh\n");
    for (const bool density_option : {false, true}) {
      Session s(folder.path());
      ui::dialog_set_logical(s.dialog(), 1080, density_option);
      s.run("click 1010\nchoose 1011 1\nclick 30002\n");
      EXPECT_EQ(finite_profile(s.program().layers()), bad.finite) << bad.what;
      EXPECT_NE(s.text(1020), ".") << bad.what;  // the row is written all the same
      if (!bad.finite) {
        EXPECT_EQ(s.text(1075), padded("******"));
      }
      std::istringstream trace(s.side_file());
      for (std::string line; std::getline(trace, line);) {  // whole lines only
        EXPECT_TRUE(line.size() == 20 || line.size() == 136) << bad.what << ": " << line;
      }
    }
  }
}

}  // namespace
}  // namespace vantrel
