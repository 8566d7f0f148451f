// UNSODA's tables to vantrel-reference's input: the JSON rows as published, the USDA texture
// from a particle-size curve, heads as suctions, and which samples are kept.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "unsoda/json_rows.hpp"
#include "unsoda/unsoda_samples.hpp"

namespace vantrel::unsoda {
namespace {

TEST(UnsodaJson, TheTablesShapeAndWhereAnythingElseBegins) {
  std::string error;
  const auto rows = read_json_rows(
      "[{\"code\":\"1\",\"name\":\"a \\\"b\\\" \\\\ \\u00e9 "
      "\\ud83d\\ude00\"},\n{\"code\":\"2\"},\n{}]",
      error);
  ASSERT_TRUE(rows) << error;
  ASSERT_EQ(rows->size(), 3u);
  EXPECT_EQ((*rows)[0]["name"], "a \"b\" \\ \xC3\xA9 \xF0\x9F\x98\x80");
  EXPECT_EQ((*rows)[1].line, 2);
  EXPECT_EQ((*rows)[2]["code"], "");
  ASSERT_TRUE(read_json_rows(" [ ] ", error));
  const struct {
    const char* text;
    const char* says;
  } bad[] = {
      {"{\"code\":\"1\"}", "1: expected '['"},
      {"[{\"code\":\"1\"}", "1: expected ']'"},
      {"[{\"code\":1}]", "1: expected '\"', found '1'"},
      {"[{\"code\":\"1\",\"code\":\"2\"}]", "1: a field named twice"},
      {"[{\"code\":\"1}]", "1: a string that never ends"},
      {"[\n{\"code\":\"a\nb\"}]", "2: a line end inside a string"},
      {"[{\"code\":\"\\x\"}]", "1: an unknown escape \\x"},
      {"[{\"code\":\"\\u12\"}]", "1: a \\u escape"},
      {"[] []", "1: text after the list"},
      {"", "1: expected '[', found the end"},
  };
  for (const auto& c : bad) {
    SCOPED_TRACE(c.text);
    EXPECT_FALSE(read_json_rows(c.text, error));
    EXPECT_NE(error.find(c.says), std::string::npos) << error;
  }
}

TEST(UnsodaTexture, FromTheParticleSizeCurve) {
  const struct {
    const char* what;
    std::vector<SizePoint> curve;
    std::optional<double> sand, clay;
    bool interpolated;
  } cases[] = {
      {"both limits measured", {{2, 0.03}, {50, 0.17}, {250, 0.735}, {2000, 1}}, 83, 3, false},
      // 0.10 + 0.10 log(2/1)/log(5/1) at 2 um; 0.30 + 0.30 log(50/20)/log(100/20) at 50 um.
      {"both interpolated on the log of the size",
       {{1, 0.10}, {5, 0.20}, {20, 0.30}, {100, 0.60}, {2000, 1}},
       100 * (1 - (0.30 + 0.30 * std::log(2.5) / std::log(5.0))),
       100 * (0.10 + 0.10 * std::log(2.0) / std::log(5.0)),
       true},
      {"in any order", {{50, 0.17}, {2000, 1}, {2, 0.03}}, 83, 3, false},
      {"a curve at 0 below its first size", {{10, 0}, {50, 0.05}, {2000, 1}}, 95, 0, false},
      {"a curve at 1 before 50 um", {{2, 0.4}, {20, 1}}, 0, 40, false},
      {"no size below 2 um", {{5, 0.2}, {50, 0.4}}, std::nullopt, std::nullopt, false},
      {"no size above 50 um short of the whole",
       {{2, 0.2}, {20, 0.5}},
       std::nullopt,
       std::nullopt,
       false},
      {"no curve", {}, std::nullopt, std::nullopt, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto t = usda_texture(c.curve);
    ASSERT_EQ(t.has_value(), c.sand.has_value());
    if (!t) continue;
    EXPECT_NEAR(t->sand, *c.sand, 1e-9);
    EXPECT_NEAR(t->clay, *c.clay, 1e-9);
    EXPECT_EQ(t->interpolated, c.interpolated);
  }
}

TEST(UnsodaHeads, AsSuctions) {
  EXPECT_DOUBLE_EQ(head_to_kpa(0), 0.1);  // saturation
  EXPECT_NEAR(head_to_kpa(15000), 1471.0, 0.01);
  EXPECT_NEAR(head_to_kpa(345), 33.83, 0.01);
}

JsonRow row(std::map<std::string, std::string, std::less<>> fields) {
  return {1, std::move(fields)};
}

// Which samples are kept, and the input they give.
TEST(UnsodaConversion, KeepsWhatCanBeFittedAndCountsTheRest) {
  Tables t;
  const auto sample = [&](const std::string& code, const std::string& top, const char* density,
                          bool texture, std::vector<std::pair<const char*, const char*>> points) {
    t.general.push_back(row({{"code", code},
                             {"location", "Here, USA"},
                             {"series", "Troup"},
                             {"site_ID", ""},
                             {"depth_upper", top},
                             {"depth_lower", "30"},
                             {"horizon", "Ap"},
                             {"publication_ID", "1"}}));
    t.properties.push_back(row({{"code", code}, {"bulk_density", density}}));
    if (texture) {
      for (const auto& [um, f] :
           {std::pair{"2", "0.1"}, std::pair{"50", "0.4"}, std::pair{"2000", "1"}})
        t.sizes.push_back(row({{"code", code}, {"particle_size", um}, {"particle_fraction", f}}));
    }
    for (const auto& [head, theta] : points)
      t.lab_points.push_back(row({{"code", code}, {"preshead", head}, {"theta", theta}}));
  };
  const std::vector<std::pair<const char*, const char*>> curve = {
      {"15000", "0.1"}, {"0", "0.45"}, {"100", "0.35"}, {"5000", "0.15"}};
  sample("1", "0", "1.4", true, curve);
  sample("2", "0", "1.4", false, curve);                            // no texture
  sample("3", "0", "", true, curve);                                // no density
  sample("4", "0", "1.4", true, {{"0", "0.45"}, {"100", "0.35"}});  // no dry end
  sample("5", "", "1.4", true, curve);                              // no depths
  sample("6", "0", "1.4", true, {});                                // no points
  t.publications.push_back(row({{"publication_ID", "1"}, {"publication", "Dane et al., 1983."}}));
  const Conversion c = convert(t);
  EXPECT_EQ(c.read, 6);
  ASSERT_EQ(c.samples.size(), 1u);
  EXPECT_EQ(c.no_texture, 1);
  EXPECT_EQ(c.no_density, 1);
  EXPECT_EQ(c.no_wet_or_dry, 1);
  EXPECT_EQ(c.no_depth, 1);
  EXPECT_EQ(c.no_points, 1);
  const std::string input = reference_input(c);
  // Each row names its sample and its source, for the reference profile's header lines.
  for (const char* line :
       {"profile,top_cm,bottom_cm,sand,clay,density,suction_kpa,theta_pct,horizon,sample,source\n"
        "# Here, USA; Troup\n#   sample 1, 0-30 cm: Dane et al., 1983.\n\"Here, USA; "
        "Troup\",0.0,30.0,60.0,10.0,1.400,0.100,45.00,Ap,1,\"UNSODA 2.0, Dane et al., 1983.\"\n",
        "9.807,35.00,Ap,1,", "1470.997,10.00,Ap,1,"}) {
    EXPECT_NE(input.find(line), std::string::npos) << line << "\n" << input;
  }
}

// The shared data holds 287 samples with a texture, a density and points from 33 kPa or wetter
// to 500 kPa or drier.
TEST(UnsodaConversion, TheSharedTables) {
  const std::filesystem::path folder =
      std::filesystem::path(VANTREL_SOURCE_DIR) / ".." / "shared" / "data" / "unsoda";
  if (!std::filesystem::exists(folder / "general.json")) GTEST_SKIP() << "no " << folder;
  Tables t;
  for (auto [name, rows] :
       {std::pair{"general.json", &t.general}, std::pair{"soil_properties.json", &t.properties},
        std::pair{"particle_size.json", &t.sizes}, std::pair{"lab_drying_h-t.json", &t.lab_points},
        std::pair{"publication.json", &t.publications}}) {
    std::ifstream in(folder / name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    std::string error;
    auto read = read_json_rows(text.str(), error);
    ASSERT_TRUE(read) << name << ": " << error;
    *rows = std::move(*read);
  }
  const Conversion c = convert(t);
  EXPECT_EQ(c.read, 790);
  EXPECT_EQ(c.samples.size(), 287u);
}

}  // namespace
}  // namespace vantrel::unsoda
