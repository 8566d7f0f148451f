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

// How a typed text reads: a number, no number at all ("/5", kept for the range checks to refuse
// where one is needed), or a text refused with a message as it stands.
enum class Reads { number, none, refused };

struct Typed {
  std::string text;
  Reads reads;
  float value = 0;  // when it reads as a number
};

const std::vector<Typed>& typed_texts() {
  static const std::vector<Typed> texts = {
      {"abc", Reads::refused},
      {"1e40", Reads::refused},
      {"-1e40", Reads::refused},
      {"nan", Reads::refused},
      {"inf", Reads::refused},
      {std::string(10000, '9'), Reads::number, 1e20F},  // read from its first 20 characters
      {"\t5", Reads::refused},
      {",5", Reads::refused},  // a decimal comma
      {"/5", Reads::none},
      {"\xD9\xA3", Reads::refused},  // an Arabic-Indic digit three
      {"2,5", Reads::refused},
      {"-0", Reads::number, 0},
      {"1e-50", Reads::number, 0},
      {"30/60", Reads::number, 30},
      {"55 %/day", Reads::number, 55},
  };
  return texts;
}

std::size_t messages_in(const std::string& out) {
  std::size_t n = 0;
  for (std::size_t at = out.find("message:"); at != std::string::npos;
       at = out.find("message:", at + 1)) {
    ++n;
  }
  return n;
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
  struct Field {
    int id;
    const char* name;
    bool (*allowed)(float);
  } fields[] = {
      {1008, "sand", [](float v) { return v >= 0 && v <= 80; }},  // with clay 20
      {1044, "clay", [](float v) { return v >= 0 && v <= 60; }},
      {1048, "stones", [](float v) { return v >= 0 && v <= 100; }},
      {1032, "thickness", [](float v) { return v > 0; }},
  };
  for (const Field& field : fields) {
    for (const Typed& typed : typed_texts()) {
      Session s;
      const std::string out = s.run("type " + std::to_string(field.id) + " " + typed.text +
                                    "\nclick 1010\nchecked 1010\n");
      const bool refused = typed.reads != Reads::number || !field.allowed(typed.value);
      EXPECT_EQ(messages_in(out), refused ? 1U : 0U)
          << field.name << " " << typed.text.substr(0, 20);
      EXPECT_EQ(s.text(1018) == ".", refused) << field.name << " " << typed.text.substr(0, 20);
      EXPECT_NE(out.find("1010 false"), std::string::npos);
      EXPECT_TRUE(finite_profile(s.program().layers())) << field.name;
    }
  }
}

TEST(TypedFields, TheHorizonFieldWritesNoRowForNonNumbers) {
  for (const Typed& typed : typed_texts()) {
    Session s;
    const bool decimal_comma = typed.text.find(',') != std::string::npos;
    const std::string out = s.run("type 1033 " + typed.text + "\nclick 1010\n");
    EXPECT_EQ(out.find("horizon field") != std::string::npos, decimal_comma) << out;
    EXPECT_EQ(s.text(1023), ".") << typed.text.substr(0, 20);
  }
}

TEST(TypedFields, TheHiddenDensityField) {
  for (const Typed& typed : typed_texts()) {
    Session s;
    ui::dialog_set_text(s.dialog(), 1073, typed.text, static_cast<int>(typed.text.size()));
    const std::string out = s.run("click 1010\n");
    EXPECT_EQ(out.find("bulk density field") != std::string::npos, typed.reads == Reads::refused);
  }
}

TEST(TypedFields, RootDepthAndToleranceForCalculate) {
  for (const int field : {1035, 1055}) {
    for (const Typed& typed : typed_texts()) {
      Session s;
      s.run("click 1010\nchoose 1011 1\n");
      const std::string out =
          s.run("type " + std::to_string(field) + " " + typed.text + "\nclick 30002\n");
      const bool in_range = field == 1035 ? typed.value >= 0 : typed.value <= 100;
      const bool refused = typed.reads != Reads::number || !in_range;
      EXPECT_EQ(messages_in(out), refused ? 1U : 0U) << field << " " << typed.text.substr(0, 20);
      EXPECT_EQ(s.side_file().size(), refused ? 0U : 42U);  // whole lines only
    }
  }
}

TEST(TypedFields, SpinnerFollowUpsReadingTheOtherField) {
  for (const Typed& typed : typed_texts()) {
    Session s;
    const std::string out = s.run("type 1044 " + typed.text + "\nscroll 1026 up\ntext 1046\n" +
                                  "type 1008 " + typed.text + "\nscroll 1045 up\n");
    EXPECT_EQ(messages_in(out), typed.reads == Reads::refused ? 2U : 0U)
        << typed.text.substr(0, 20);
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

TEST(Geometry, ZeroNegativeAndBlankThicknessesAreRefused) {
  Session s;
  for (const char* thickness : {"0", "-20", ""}) {
    const std::string out = s.run(std::string("type 1032 ") + thickness + "\nclick 1010\n");
    EXPECT_EQ(out, "message: The horizon is not updated: thickness \"" + std::string(thickness) +
                       "\" is not above 0 cm.\n");
  }
  EXPECT_EQ(s.text(1019), ".");
  EXPECT_TRUE(finite_profile(s.program().layers()));
  EXPECT_EQ(s.program().layers().bottom(1), 0.0F);
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
