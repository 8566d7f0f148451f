// Measured samples made into reference profiles, and the profiles read back by the program.
#include "import/measured_profiles.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "data/retention_curves.hpp"
#include "physics/soil_properties.hpp"
#include "support/line_log.hpp"
#include "support/temp_dir.hpp"

namespace vantrel {
namespace {

const RetentionCurve kLoam{44.0, 6.0, 0.12, 1.45};

std::string rows_of(const std::string& sample, const RetentionCurve& c, int points = 8) {
  std::string rows;
  for (int i = 0; i < points; ++i) {
    const double suction = std::pow(10.0, -1.0 + 4.2 * i / (points - 1));
    rows +=
        sample + "," + std::to_string(suction) + "," + std::to_string(c.theta_at(suction)) + "\n";
  }
  return rows;
}

const std::string kHeader = "profile,top_cm,bottom_cm,sand,clay,density,suction_kpa,theta_pct\n";

TEST(LayerSamples, BoundariesGapsAndEnds) {
  const auto sample = [](double top, double bottom) {
    MeasuredSample s;
    s.top = top;
    s.bottom = bottom;
    return s;
  };
  struct Case {
    std::vector<MeasuredSample> samples;
    std::vector<std::size_t> layers;  // the sample of each layer, 1 to 20
  } cases[] = {
      // A boundary at a layer's mid-depth belongs to the sample below it; below the deepest
      // sample the deepest repeats.
      {{sample(0, 25), sample(25, 60)},
       {0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
      // Above the shallowest sample the shallowest repeats; in a gap the nearer one, the
      // upper one when both are as near (at 35 cm).
      {{sample(20, 30), sample(40, 60), sample(90, 200)},
       {0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2}},
      // Listed out of depth order, with a wide gap: the nearer sample on either trace of 55 cm.
      {{sample(100, 150), sample(0, 10)},
       {1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    std::vector<const MeasuredSample*> pointers;
    for (const MeasuredSample& s : c.samples)
      pointers.push_back(&s);
    EXPECT_EQ(layer_samples(pointers), c.layers);
  }
}

TEST(MeasuredSamples, TheRejectedOnesAreNamedAndLeftOut) {
  std::istringstream in(
      kHeader + rows_of("good,0,30,40,20,1.4", kLoam) +
      rows_of("few,0,30,40,20,1.4", kLoam, 3) +                    // three points only
      "zigzag,0,30,40,20,1.4,1,40\nzigzag,0,30,40,20,1.4,10,10\n"  // no curve fits
      "zigzag,0,30,40,20,1.4,100,40\nzigzag,0,30,40,20,1.4,1000,10\n"
      "bad,0,30,40,20,1.4,10,12,5\n"   // an extra field is fine
      "bad,0,30,4o,20,1.4,10,30\n"     // not a number
      "bad,30,10,40,20,1.4,10,30\n"    // upside down
      "good,0,30,41,20,1.4,10,30\n");  // another sample of the layer
  std::vector<MeasuredProblem> problems;
  bool header_ok = false;
  std::vector<MeasuredSample> samples = read_measured(in, problems, header_ok);
  ASSERT_TRUE(header_ok);
  fit_samples(samples, problems, false);
  ASSERT_EQ(samples.size(), 1U);  // "good" alone
  std::vector<std::string> reasons;
  for (const MeasuredProblem& p : problems)
    reasons.push_back(std::to_string(p.line) + ": " + p.reason);
  const auto has = [&](const std::string& text) {
    for (const std::string& r : reasons) {
      if (r.find(text) != std::string::npos) return true;
    }
    return false;
  };
  EXPECT_TRUE(has("sand \"4o\" is not a number")) << ::testing::PrintToString(reasons);
  EXPECT_TRUE(has("the depth range is not"));
  // Another sand is another sample of the layer: its point joins the fit, the texture averaged.
  EXPECT_TRUE(
      has("2: sample good 0-30 cm: rows of 2 samples with different sand, clay or "
          "density, fitted together as replicates of one layer, with their means (40.5 % "
          "sand, 20.0 % clay, 1.40 kg/L)"));
  EXPECT_DOUBLE_EQ(samples[0].sand, 40.5);
  EXPECT_EQ(samples[0].replicates, 2);
  EXPECT_TRUE(
      has("10: sample few 0-30 cm has 3 points at 3 suction(s); a curve of four "
          "parameters needs at least 4 suctions"));
  EXPECT_TRUE(has("13: sample zigzag 0-30 cm: the fitted curve misses a point by"));
}

// One odd point would bend the curve towards it: a point far from the curve of the others is
// named and left out of the fit, and the curve is the clean one's.
TEST(MeasuredSamples, AnOddPointIsNamedAndLeftOutOfTheFit) {
  const RetentionCurve truth{45, 8, 0.08, 1.6};
  const double suctions[] = {0.1, 1, 3, 10, 33, 100, 300, 1500};
  const struct {
    const char* what;
    double shift_at_33;
    bool named;
  } cases[] = {{"clean", 0, false}, {"8 %vol off at 33 kPa", 8, true}, {"1 %vol off", 1, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MeasuredSample s;
    s.profile = "p";
    s.top = 0;
    s.bottom = 30;
    s.density = 1.35;
    s.line = 2;
    for (const double suction : suctions)
      s.points.push_back({suction, truth.theta_at(suction) + (suction == 33 ? c.shift_at_33 : 0)});
    std::vector<MeasuredSample> samples = {s};
    std::vector<MeasuredProblem> problems;
    fit_samples(samples, problems, false);
    ASSERT_EQ(samples.size(), 1u);
    const bool named = !problems.empty() &&
                       problems[0].reason.find("at 33.0 kPa lies") != std::string::npos &&
                       problems[0].warning;
    EXPECT_EQ(named, c.named) << (problems.empty() ? "" : problems[0].reason);
    EXPECT_EQ(samples[0].points.size(), c.named ? 7u : 8u);
    EXPECT_NEAR(samples[0].curve.theta_at(10), truth.theta_at(10), c.named ? 0.5 : 1.0);
  }
}

// Every sample fitted from partial data is marked, however long the source's name: the marks
// lead the header line, grouped by what they miss.
TEST(MeasuredSamples, EveryPartialSampleIsMarked) {
  std::vector<MeasuredSample> samples;
  for (int i = 0; i < 6; ++i) {
    MeasuredSample s;
    s.profile = "a site with a long name";
    s.top = 20.0 * i;
    s.bottom = 20.0 * i + 20;
    s.density = 1.4;
    s.curve = {40, 5, 0.1, 1.5};
    s.partial = i % 3 == 0 ? "no point at 33 kPa or wetter" : "no point at 500 kPa or drier";
    samples.push_back(s);
  }
  std::ostringstream out;
  write_reference_profiles(samples, std::string(200, 'S'), "1.0", 200, out);
  std::istringstream lines(out.str());
  std::string first, second;
  std::getline(lines, first);
  std::getline(lines, second);
  EXPECT_EQ(second.find("PARTIAL, no point at 33 kPa or wetter: 0-20 cm, 60-80 cm; PARTIAL, no "
                        "point at 500 kPa or drier: 20-40 cm, 40-60 cm, 80-100 cm, 100-120 cm; "
                        "Source: SSS"),
            0u)
      << second;
  EXPECT_LE(second.size(), 250u);
}

// The rows' own sample names and sources reach the profile's second header line, each once and
// in the order met; without them the input file is the source.
TEST(MeasuredSamples, SampleNamesAndSourcesReachTheProfilesHeader) {
  const std::string header =
      "profile,top_cm,bottom_cm,sand,clay,density,suction_kpa,theta_pct,sample,source\n";
  struct Case {
    const char* rows;
    const char* second_line;
  } cases[] = {
      {"P,0,20,40,20,1.4,10,30,s1,Paper A\nP,0,20,40,20,1.4,10,31,s1,Paper A\n"
       "P,20,40,40,20,1.4,10,30,s2,Paper B\nQ,0,20,40,20,1.4,10,30,,\n",
       "Samples s1, s2; Source: Paper A; Paper B (in.csv); van Genuchten"},
      {"Q,0,20,40,20,1.4,10,30,,\n", "Source: in.csv; van Genuchten"},
  };
  for (const Case& c : cases) {
    std::istringstream in(header + c.rows);
    std::vector<MeasuredProblem> problems;
    bool header_ok = false;
    std::vector<MeasuredSample> samples = read_measured(in, problems, header_ok);
    ASSERT_TRUE(header_ok);
    for (MeasuredSample& s : samples)
      s.curve = {40, 5, 0.1, 1.5};
    std::ostringstream out;
    write_reference_profiles(samples, "in.csv", "1.0", 200, out);
    std::istringstream lines(out.str());
    std::string first, second;
    std::getline(lines, first);
    std::getline(lines, second);
    EXPECT_EQ(second.rfind(c.second_line, 0), 0u) << second;
  }
}

TEST(MeasuredSamples, HeaderWithoutARequiredColumn) {
  std::istringstream in("profile,top_cm,bottom_cm,sand,clay,suction_kpa,theta_pct\n");
  std::vector<MeasuredProblem> problems;
  bool header_ok = true;
  EXPECT_TRUE(read_measured(in, problems, header_ok).empty());
  EXPECT_FALSE(header_ok);
  ASSERT_EQ(problems.size(), 1U);
  EXPECT_EQ(problems[0].reason, "no column \"density\" in the header");
}

// Headers as spreadsheets write them: any case, blanks around names, semicolons with decimal
// commas; an unknown column is a note, and a row with a field too many is refused.
TEST(MeasuredSamples, HeadersAndSeparatorsAsSpreadsheetsWriteThem) {
  const struct {
    const char* text;
    double theta;      // the first point's water content; 0 when the row is refused
    const char* says;  // a problem's reason, or ""
  } cases[] = {
      {"Profile,TOP_CM, bottom_cm "
       ",sand,clay,density,suction_kpa,theta_pct\nA,0,10,40,20,1.4,33,31.5\n",
       31.5, ""},
      {"profile;top_cm;bottom_cm;sand;clay;density;suction_kpa;theta_pct\nA;0;10;40;20;1,4;33;31,"
       "5\n",
       31.5, ""},
      {"profile,top_cm,bottom_cm,sand,clay,density,suction_kpa,theta_pct,site\n"
       "A,0,10,40,20,1.4,33,31.5,x\n",
       31.5, "column \"site\" is not used"},
      {"profile,top_cm,bottom_cm,sand,clay,density,suction_kpa,theta_pct\nA,0,10,40,20,1.4,33,31,"
       "5\n",
       0, "9 fields where the header has 8"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::istringstream in(c.text);
    std::vector<MeasuredProblem> problems;
    bool header_ok = false;
    const std::vector<MeasuredSample> samples = read_measured(in, problems, header_ok);
    EXPECT_TRUE(header_ok);
    if (c.theta > 0) {
      ASSERT_EQ(samples.size(), 1U);
      ASSERT_EQ(samples[0].points.size(), 1U);
      EXPECT_DOUBLE_EQ(samples[0].points[0].theta,
                       static_cast<double>(static_cast<float>(c.theta)));
    } else {
      EXPECT_TRUE(samples.empty());
    }
    if (*c.says == '\0') {
      EXPECT_TRUE(problems.empty()) << problems[0].reason;
    } else {
      ASSERT_EQ(problems.size(), 1U);
      EXPECT_NE(problems[0].reason.find(c.says), std::string::npos) << problems[0].reason;
    }
  }
}

// Measured points, made into a reference file, read by the program: a horizon equal to the
// sample gets the water contents of the sample's fitted curve.
TEST(MeasuredSamples, RoundTripToTheProgramsEstimate) {
  std::istringstream in(kHeader + rows_of("one,0,30,40,20,1.4", kLoam) +
                        rows_of("one,30,80,30,30,1.5", RetentionCurve{42, 9, 0.08, 1.35}));
  std::vector<MeasuredProblem> problems;
  bool header_ok = false;
  std::vector<MeasuredSample> samples = read_measured(in, problems, header_ok);
  fit_samples(samples, problems, false);
  ASSERT_TRUE(problems.empty());
  EXPECT_NEAR(samples[0].curve.n, kLoam.n, 0.02);
  std::ostringstream file;
  EXPECT_EQ(write_reference_profiles(samples, "in.csv", "1.5.3", kMaxProfiles, file), 1);

  testing::TempDir dir;
  const auto path = dir.write("Soil_WRC.csv", file.str());
  auto curves = std::make_unique<RetentionCurves>();
  std::ostringstream warnings;
  load_retention_curves(path, *curves, warnings);
  EXPECT_EQ(warnings.str(), "");
  ASSERT_EQ(curves->profile_count, 1);
  for (const auto& [top, bottom, s] :
       {std::tuple{0.0F, 30.0F, &samples[0]}, std::tuple{30.0F, 80.0F, &samples[1]}}) {
    testing::LineLog trace;
    float density = 0, saturated = 0, fc = 0, sp = 0, wp = 0;
    const int used =
        SOIL_PROPERTIES(*curves, trace, top, bottom, 0, static_cast<float>(s->sand),
                        static_cast<float>(s->clay), 0, density, saturated, fc, sp, wp, false);
    EXPECT_GE(used, 3);
    EXPECT_NEAR(fc, s->curve.theta_at(10), 0.05);
    EXPECT_NEAR(sp, s->curve.theta_at(100), 0.05);
    EXPECT_NEAR(wp, s->curve.theta_at(1500), 0.05);
    EXPECT_NEAR(density, s->density, 1e-3);
  }
}

}  // namespace
}  // namespace vantrel
