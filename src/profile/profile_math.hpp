// The profile's arithmetic without any dialog: committing one horizon and summing the profile.
// The window and the batch tool both compute through these two functions.
#pragma once

#include <vector>

#include "data/retention_curves.hpp"
#include "data/trace_unit.hpp"
#include "physics/soil_properties.hpp"
#include "profile/profile_layers.hpp"

namespace vantrel {

// What committing one horizon gave.
struct HorizonCommit {
  bool placed = false;  // the horizon number was 1..5 and its entry of the profile was written
  int entries = 0;      // reference entries its values rest on (0 when not placed)
};

// Classifies the horizon (into in.texture_name) and, for a horizon number 1..5, places it
// below the stored bottom of the horizon above and estimates its properties into its entry
// of `layers`. With in.density_set the estimate writes its trace lines to `trace`. `used`,
// when given, receives the reference entries the values rest on.
HorizonCommit commit_horizon(const RetentionCurves& curves, LineSink& trace, HorizonInputs& in,
                             ProfileLayers& layers, std::vector<ReferenceEntry>* used = nullptr);

// The profile's water, all in mm.
struct ProfileWater {
  float taw = 0;            // field capacity to wilting point, whole profile
  float raw = 0;            // field capacity to the stress point, whole profile
  float fp = 0;             // full point: water at field capacity, whole profile
  float rp = 0;             // refill point: FP less the tolerated share within the root zone
  float root_zone_taw = 0;  // field capacity to wilting point within the root depth only
  float root_zone_fp = 0;   // water at field capacity within the root depth only
};

// FAO-56 (below its Table 22): the depletion fraction for a crop water use of `etc` mm/day
// from the table's value at 5 mm/day, p + 0.04 (5 - etc), kept between 0.1 and 0.8; here in
// percent, so that whole percents stay whole. The tools use it; the window keeps the crop's.
float adjusted_depletion(float p_table_pct, float etc);

// Sums the ten entries of `layers` for a root depth (cm) and a drought tolerance (%).
ProfileWater profile_water(const ProfileLayers& layers, float root_depth, float tolerance);

}  // namespace vantrel
