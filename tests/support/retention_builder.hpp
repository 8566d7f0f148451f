// Filling reference entries directly, without a file.
#pragma once

#include "data/retention_curves.hpp"

namespace vantrel::testing {

struct Entry {
  float sand = 40.0F;
  float clay = 20.0F;
  float density = 1.3F;
  float theta_s = 45.0F;
  float theta_r = 5.0F;
  float alpha = 0.1F;
  float n = 2.0F;
  float m = 0.5F;
};

inline void put(RetentionCurves& table, int k, int j, const Entry& e) {
  table.sand(k, j) = e.sand;
  table.clay(k, j) = e.clay;
  table.density(k, j) = e.density;
  table.theta_s(k, j) = e.theta_s;
  table.theta_r(k, j) = e.theta_r;
  table.alpha(k, j) = e.alpha;
  table.n(k, j) = e.n;
  table.m(k, j) = e.m;
  for (int i = 0; i < 4; ++i)
    table.further[static_cast<std::size_t>(i)](k, j) = 1.0F + static_cast<float>(i);
  if (table.profile_count < k) table.profile_count = k;
}

// Every entry of profiles 1..profiles set from a pattern that spreads sand and clay widely.
inline void fill_spread(RetentionCurves& table, int profiles) {
  for (int k = 1; k <= profiles; ++k) {
    for (int j = 1; j <= kLayers; ++j) {
      Entry e;
      e.sand = static_cast<float>((k * 37 + j * 3) % 90 + 5);
      e.clay = static_cast<float>((k * 53 + j * 7) % (100 - static_cast<int>(e.sand))) * 0.6F;
      e.density = 1.2F + 0.01F * static_cast<float>(j);
      e.theta_r = 5.0F + e.clay / 10.0F;
      e.alpha = 0.02F + e.sand / 2000.0F;
      e.n = 1.2F + e.sand / 200.0F;
      e.m = 1.0F - 1.0F / e.n;
      put(table, k, j, e);
    }
  }
}

}  // namespace vantrel::testing
