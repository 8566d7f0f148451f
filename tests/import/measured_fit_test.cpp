// vantrel-reference's fits against curves whose parameters are known: Carsel & Parrish's
// (1988) class averages for sand, loam and clay, sampled at the usual suctions with 1 %vol of
// seeded noise, and samples that do not reach both ends of the curve.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "import/measured_profiles.hpp"

namespace vantrel {
namespace {

// Carsel & Parrish (1988), Water Resour. Res. 24:755-769, Table 3: theta_r, theta_s (as %vol),
// alpha (1/cm, here 1/kPa at 10.2 cm a kPa) and n.
struct ClassCurve {
  const char* name;
  RetentionCurve curve;
  double density;  // kg/L, with a pore space that holds theta_s
};
const std::array<ClassCurve, 3> kClasses = {{
    {"sand", {43.0, 4.5, 0.145 * 10.2, 2.68}, 1.45},
    {"loam", {43.0, 7.8, 0.036 * 10.2, 1.56}, 1.45},
    {"clay", {38.0, 6.8, 0.008 * 10.2, 1.09}, 1.55},
}};
constexpr std::array<double, 8> kSuctions = {1, 3, 10, 33, 100, 300, 500, 1500};  // kPa

MeasuredSample sample_of(const ClassCurve& c, std::mt19937& noise_source,
                         const std::vector<double>& suctions) {
  std::normal_distribution<double> noise(0.0, 1.0);  // %vol
  MeasuredSample s;
  s.profile = c.name;
  s.top = 0;
  s.bottom = 30;
  s.sand = 40;
  s.clay = 20;
  s.density = c.density;
  for (const double suction : suctions)
    s.points.push_back({suction, c.curve.theta_at(suction) + noise(noise_source)});
  return s;
}

TEST(MeasuredFit, CarselAndParrishClassesWithNoiseAreFittedWithoutBias) {
  constexpr int kReplicates = 40;
  const std::vector<double> suctions(kSuctions.begin(), kSuctions.end());
  for (const ClassCurve& c : kClasses) {
    SCOPED_TRACE(c.name);
    std::array<double, 4> bias{};
    const std::array<double, 4> at = {10, 33, 100, 1500};
    std::vector<MeasuredSample> samples;
    for (int seed = 1; seed <= kReplicates; ++seed) {
      std::mt19937 noise_source(static_cast<unsigned>(seed));
      samples.push_back(sample_of(c, noise_source, suctions));
    }
    std::vector<MeasuredProblem> problems;
    fit_samples(samples, problems, false);
    ASSERT_EQ(samples.size(), static_cast<std::size_t>(kReplicates))
        << (problems.empty() ? "" : problems.front().reason);
    for (const MeasuredSample& s : samples) {
      for (std::size_t i = 0; i < at.size(); ++i)
        bias[i] += (s.curve.theta_at(at[i]) - c.curve.theta_at(at[i])) / kReplicates;
    }
    for (std::size_t i = 0; i < at.size(); ++i)
      EXPECT_LT(std::fabs(bias[i]), 0.3) << "bias at " << at[i] << " kPa: " << bias[i];
  }
}

TEST(MeasuredFit, SamplesThatDoNotReachBothEndsAreRefusedUnlessPartialIsAllowed) {
  struct Case {
    const char* what;
    std::vector<double> suctions;
    const char* missing;  // empty: the sample reaches both ends
  } cases[] = {
      {"both ends", {10, 33, 100, 500, 1500}, ""},
      {"33 and 500 exactly", {5, 10, 33, 200, 500}, ""},
      {"wet only", {1, 3, 10, 33, 100}, "no point at 500 kPa or drier"},
      {"dry only", {100, 300, 500, 1000, 1500}, "no point at 33 kPa or wetter"},
      {"the middle only", {50, 100, 200, 300}, "no point at 33 kPa or wetter, and none at 500"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string missing = c.missing;
    for (const bool allow_partial : {false, true}) {
      std::mt19937 noise_source(7);
      std::vector<MeasuredSample> samples = {sample_of(kClasses[1], noise_source, c.suctions)};
      std::vector<MeasuredProblem> problems;
      fit_samples(samples, problems, allow_partial);
      if (missing.empty()) {
        EXPECT_EQ(samples.size(), 1u);
        EXPECT_TRUE(problems.empty());
        continue;
      }
      ASSERT_EQ(problems.size(), 1u);
      EXPECT_NE(problems[0].reason.find("loam 0-30 cm"), std::string::npos) << problems[0].reason;
      EXPECT_NE(problems[0].reason.find(missing), std::string::npos) << problems[0].reason;
      EXPECT_EQ(samples.size(), allow_partial ? 1u : 0u);
      if (allow_partial) {
        EXPECT_TRUE(problems[0].warning);
        EXPECT_NE(samples[0].partial.find(missing), std::string::npos);
      }
    }
  }
}

}  // namespace
}  // namespace vantrel
