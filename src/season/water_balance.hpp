// A season's daily root-zone water balance (FAO-56 chapter 8, single crop coefficient):
// Kc by day from the crop's stages, ETc = Kc x ET0, and the depletion of the root zone with
// irrigation when it would pass the readily available water.
#pragma once

#include <span>
#include <string_view>
#include <vector>

namespace vantrel {

// FAO-56 Tables 11 and 12: Kc at the initial, mid-season and end of the late stage, and the
// four stages' lengths in days.
struct CropStages {
  double kc_ini = 0, kc_mid = 0, kc_end = 0;
  int l_ini = 0, l_dev = 0, l_mid = 0, l_late = 0;
  int season_days() const { return l_ini + l_dev + l_mid + l_late; }
};

enum class Stage { initial, development, mid, late, after };
std::string_view stage_name(Stage stage);

struct StageDay {
  Stage stage = Stage::initial;
  double kc = 0;
};

// Day `day` of the season (1 is the planting date): Kc ini through the initial stage, Kc mid
// through the mid stage, and between them and after it the straight lines of eq. 66,
// Kc(i) = Kc prev + (i - sum of the earlier stages' lengths) / L stage x (Kc next - Kc prev).
StageDay crop_coefficient(const CropStages& crop, int day);

// What the profile gives the balance, in mm, and how irrigation is given.
struct RootZone {
  double taw = 0;           // total available water of the root zone, mm
  double p_table_pct = 50;  // the crop's depletion fraction at 5 mm/day, %
  double efficiency_pct = 100;
  double initial_depletion = 0;  // mm below field capacity on the planting date
  // The whole profile's water at field capacity (its full point), mm: a day's soil_water is
  // counted down from it, as a probe reading of the profile would be.
  double full_point = 0;
};

struct WeatherDay {
  double et0 = 0;   // mm
  double rain = 0;  // mm
};

struct BalanceDay {
  int day = 0;
  Stage stage = Stage::initial;
  double kc = 0, et0 = 0, etc = 0, rain = 0;
  double p_pct = 0;           // the depletion fraction of the day, adjusted for its ETc
  double raw = 0;             // readily available water of the day, mm
  double depletion = 0;       // at the end of the day, mm
  double net = 0, gross = 0;  // irrigation given that morning, mm
  double deep_percolation = 0;
  double soil_water =
      0;  // the profile's water at the end of the day: full point less depletion, mm
};

// The season day by day, one day per weather day, to the end of the late stage or of the
// weather, whichever comes first. Runoff and capillary rise are 0 (eq. 85):
// Dr(i) = Dr(i-1) - rain(i) - I(i) + ETc(i) + DP(i), DP(i) = max(0, rain + I - ETc - Dr(i-1)).
// Irrigation comes on the morning of the first day whose end would pass the day's readily
// available water, with the depth that brings the root zone back to field capacity.
std::vector<BalanceDay> water_balance(const RootZone& zone, const CropStages& crop,
                                      std::span<const WeatherDay> weather);

}  // namespace vantrel
