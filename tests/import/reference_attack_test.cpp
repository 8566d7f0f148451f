// vantrel-reference on measured data that cannot be soil, and on replicate samples.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "support/shell.hpp"
#include "support/temp_dir.hpp"

namespace vantrel {
namespace {

using testing::TempDir;

using testing::Ran;

Ran run_tool(const TempDir& dir, const std::string& csv) {
  const auto input = dir.write("measured.csv", csv);
  return testing::shell(std::string(VANTREL_REFERENCE_TOOL) + " -o " + (dir / "out.csv").string() +
                        " " + input.string());
}

// The rows of one sample: its water contents at 0.1, 10, 33, 100 and 1500 kPa.
std::string sample(const std::string& profile, const std::string& depths, double density,
                   const double (&theta)[5]) {
  const char* suctions[5] = {"0.1", "10", "33", "100", "1500"};
  std::string rows;
  for (int i = 0; i < 5; ++i) {
    rows += profile + ",Ap," + depths + ",40,20," + std::to_string(density) + "," + suctions[i] +
            "," + std::to_string(theta[i]) + "\n";
  }
  return rows;
}

const std::string kHeader =
    "profile,horizon,top_cm,bottom_cm,sand,clay,density,suction_kpa,theta_pct\n";
constexpr double kLoam[5] = {44, 32, 27, 20, 12};

TEST(ReferenceAttack, CurvesUnlikeAnySoilAreLeftOut) {
  struct Case {
    const char* what;
    double density;
    double theta[5];
    const char* says;
  } cases[] = {
      {"all water contents 0", 1.3, {0, 0, 0, 0, 0}, "unlike any real soil (the curve does not"},
      // Tested before the fit, whose bound on theta_s would hide it.
      {"saturation at 100 %",
       1.3,
       {100, 90, 60, 40, 20},
       "its point of 100.0 %vol at 0.1 kPa lies above the pore space of its density plus 3 %vol "
       "(53.9)"},
      {"a density of 0.2", 0.2, {44, 32, 27, 20, 12}, "unlike any real soil (density"},
      {"a density of 2.2", 2.2, {18, 16, 15, 13, 9}, "unlike any real soil (density"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const Ran r = run_tool(dir, kHeader + sample("Good", "0,30", 1.3, kLoam) +
                                    sample("Bad", "0,30", c.density, c.theta));
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_NE(r.output.find(c.says), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("wrote 1 profile(s) from 1 sample(s)"), std::string::npos) << r.output;
  }
}

// Real soils beyond the usual mineral range (a forest loam, a compacted subsoil) are kept and
// said; duplicates at two suctions are two suctions, too few for four parameters.
TEST(ReferenceAttack, RealDensitiesKeptAndDuplicatesCountOnce) {
  const struct {
    double density;
    double theta[5];
  } real[] = {{0.59, {62, 45, 36, 27, 16}}, {1.97, {24, 22, 20, 17, 11}}};
  for (const auto& c : real) {
    SCOPED_TRACE(c.density);
    TempDir dir;
    const Ran r = run_tool(dir, kHeader + sample("Real", "0,30", c.density, c.theta));
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("lies outside the 0.9 to 1.85 of most mineral soils; kept, check it"),
              std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find("wrote 1 profile(s) from 1 sample(s)"), std::string::npos);
  }
  TempDir dir;
  std::string rows = kHeader;
  for (const char* theta : {"31", "33", "12", "13"})
    rows += std::string("Twice,Ap,0,30,40,20,1.4,") + (theta[0] == '3' ? "33," : "1500,") + theta +
            "\n";
  const Ran r = run_tool(dir, rows + sample("Good", "0,30", 1.3, kLoam));
  EXPECT_EQ(r.status, 1) << r.output;
  EXPECT_NE(r.output.find("sample Twice 0-30 cm has 4 points at 2 suction(s); a curve of four "
                          "parameters needs at least 4 suctions"),
            std::string::npos)
      << r.output;
}

// Two samples of one layer come as two points at each suction: both count, and the tool
// says it has taken them as replicates.
TEST(ReferenceAttack, ReplicateSamplesAreCountedAndNamed) {
  TempDir dir;
  const double replicate[5] = {45, 33, 28, 21, 13};
  const Ran r = run_tool(dir, kHeader + sample("Field", "0,30", 1.3, kLoam) +
                                  sample("Field", "0,30", 1.3, replicate) +
                                  sample("Field", "30,60", 1.4, kLoam));
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find(":7: sample Field 0-30 cm has 2 points at 0.1 kPa: taken as "
                          "replicate samples of one layer, fitted together"),
            std::string::npos)
      << r.output;
  EXPECT_NE(r.output.find("wrote 1 profile(s) from 3 sample(s)"), std::string::npos) << r.output;
}

}  // namespace
}  // namespace vantrel
