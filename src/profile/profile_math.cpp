#include "profile/profile_math.hpp"

#include <algorithm>

#include "physics/soil_texture.hpp"

namespace vantrel {

HorizonCommit commit_horizon(const RetentionCurves& curves, LineSink& trace, HorizonInputs& in,
                             ProfileLayers& layers, std::vector<ReferenceEntry>* used) {
  SOIL_TEXTURE(in.sand, in.silt, in.clay, in.texture_name);
  const int h = in.horizon;
  if (h < 1 || h > kHorizons) return {};

  // A horizon starts at the bottom the horizon above had when this one is committed.
  layers.top(h) = h == 1 ? 0.0F : layers.bottom(h - 1);
  layers.bottom(h) = h == 1 ? in.thickness : in.thickness + layers.top(h);
  HorizonCommit commit;
  commit.placed = true;
  commit.entries =
      SOIL_PROPERTIES(curves, trace, layers.top(h), layers.bottom(h), in.density, in.sand, in.clay,
                      in.stones, layers.density(h), layers.theta_s(h), layers.fc(h), layers.sp(h),
                      layers.wp(h), in.density_set, used);
  return commit;
}

ProfileWater profile_water(const ProfileLayers& layers, float root_depth, float tolerance) {
  const float p = tolerance / 100.0F;
  float s_wp = 0.0F;
  float s_sp = 0.0F;
  float s_fc = 0.0F;
  float s_rp = 0.0F;
  float s_root = 0.0F;
  float s_root_fc = 0.0F;
  for (int i = 1; i <= kProfileEntries; ++i) {
    const float t = layers.bottom(i) - layers.top(i);
    float depth = root_depth - layers.top(i);  // the entry's part above the root depth
    if (depth > t) depth = t;
    if (depth < 0.0F) depth = 0.0F;
    if (!(t > 0.0F)) continue;
    const double fc = layers.fc(i);
    const double wp = layers.wp(i);
    s_wp = static_cast<float>(s_wp + double{t} * wp / 10.0);
    s_sp = static_cast<float>(s_sp + double{t} * layers.sp(i) / 10.0);
    s_fc = static_cast<float>(s_fc + double{t} * fc / 10.0);
    s_rp = static_cast<float>(s_rp + (fc - (fc - wp) * p * depth / t) * t / 10.0);
    s_root = static_cast<float>(s_root + double{depth} * (fc - wp) / 10.0);
    s_root_fc = static_cast<float>(s_root_fc + double{depth} * fc / 10.0);
  }
  return {s_fc - s_wp, s_fc - s_sp, s_fc, s_rp, s_root, s_root_fc};
}

float adjusted_depletion(float p_table_pct, float etc) {
  return std::clamp(p_table_pct + 4.0F * (5.0F - etc), 10.0F, 80.0F);
}

}  // namespace vantrel
