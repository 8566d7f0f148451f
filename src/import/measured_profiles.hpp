// Measured water-retention data turned into reference profiles: each sample's points fitted
// with a van Genuchten curve, each profile's 20 layers of 10 cm taken from its samples, and
// the profiles written in the format of Soil_WRC.csv.
#pragma once

#include <array>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "data/retention_curves.hpp"
#include "physics/retention_fit.hpp"

namespace vantrel {

// One sample: a profile and depth range, with the points measured on it.
struct MeasuredSample {
  std::string profile;
  double top = 0, bottom = 0;            // cm
  double sand = 0, clay = 0;             // %
  double density = 0;                    // kg/L
  std::optional<double> ks;              // cm/d
  std::optional<double> organic_matter;  // %
  std::string label;                     // the horizon's name, if given
  std::vector<std::string> sample_ids;   // the samples' own names, if given
  std::vector<std::string> sources;      // where they come from, if given
  int line = 0;                          // its first row
  int replicates = 1;                    // samples given for this layer: points at one suction
  // Each replicate sample's sand, clay and density, where they differ: the layer takes their
  // means.
  std::vector<std::array<double, 3>> replicate_values;
  std::vector<RetentionPoint> points;
  RetentionCurve curve;  // filled by the fit
  std::string partial;   // what its points miss, when it was fitted all the same
};

// A problem with the input: where, and what.
struct MeasuredProblem {
  int line = 0;
  std::string reason;
  bool note = false;     // worth saying, but nothing is left out
  bool warning = false;  // nothing is left out, but a value rests on less than it should
};

// Reads the rows (a header naming the columns, in any order) into samples in order of first
// appearance. A bad row is a problem and is left out; a missing column in the header is a
// problem at line 1 and nothing is read.
std::vector<MeasuredSample> read_measured(std::istream& in, std::vector<MeasuredProblem>& problems,
                                          bool& header_ok);

inline constexpr int kMinimumPoints = 4;
inline constexpr double kLargestMisfit = 5.0;  // %vol
// A curve is fitted, not extrapolated: a sample's points must reach a wet point (this suction
// or wetter) and a dry point (this suction or drier).
inline constexpr double kWetEnd = 33.0;   // kPa
inline constexpr double kDryEnd = 500.0;  // kPa
// How far the water contents may lie above the driest point (theta_r) or below the wettest
// (theta_s): the noise of a measurement, 2 %vol, twice the usual 1 %vol.
inline constexpr double kMeasurementNoise = 2.0;  // %vol

// "PROFILE TOP-BOTTOM cm", as the messages name a sample.
std::string depth_range(const MeasuredSample& sample);

// What a sample's points miss of the two ends of the curve, or empty when they reach both.
std::string missing_ends(const MeasuredSample& sample);

// Fits every sample; a sample with too few points, whose points do not reach both ends of the
// curve (unless `allow_partial`: then it is fitted, marked and a warning), whose curve misses a
// point by more than 5 %vol, or whose curve and density are unlike any real soil
// (implausible_layer), is a problem and is dropped.
void fit_samples(std::vector<MeasuredSample>& samples, std::vector<MeasuredProblem>& problems,
                 bool allow_partial);

// For each of the 20 layers of 10 cm, the index of the sample it takes: the one that covers
// the layer's mid-depth; below the deepest sample the deepest, above the shallowest the
// shallowest; in a gap, the nearest (the upper one when both are as near).
std::vector<std::size_t> layer_samples(const std::vector<const MeasuredSample*>& samples);

// One profile made from measured samples: its site (the input's profile name), how many samples
// it holds, and its header lines and layers.
struct MeasuredProfile {
  std::string site;
  std::size_t samples = 0;
  std::vector<std::array<double, 2>> textures;  // each sample's sand and clay, %
  ReferenceProfile reference;
};

// The profiles (samples grouped by profile, in order of first appearance), at most
// `max_profiles`; `source` is the input's name, said where the rows name no source of their own.
std::vector<MeasuredProfile> measured_profiles(const std::vector<MeasuredSample>& samples,
                                               const std::string& source,
                                               const std::string& version, int max_profiles);

// Writes the profiles (samples grouped by profile, in order of first appearance), at most
// `max_profiles`; returns how many profiles were written, and in `written_samples` how many
// samples they hold.
int write_reference_profiles(const std::vector<MeasuredSample>& samples, const std::string& source,
                             const std::string& version, int max_profiles, std::ostream& out,
                             std::size_t* written_samples = nullptr);

}  // namespace vantrel
