// A season's daily root-zone water balance (FAO-56 chapter 8, single crop coefficient):
// Kc by day from the crop's stages, ETc = Kc x ET0, and the depletion of the root zone with
// irrigation when it would pass the readily available water.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace vantrel {

// The root depth of an annual crop on its planting day, cm: FAO-56 (chapter 8, root
// development) takes the roots from 0.15-0.20 m at planting to their full depth.
inline constexpr double kInitialRootDepth = 15.0;

// FAO-56 Tables 11 and 12: Kc at the initial, mid-season and end of the late stage, and the
// four stages' lengths in days; the root depth on the planting day.
struct CropStages {
  double kc_ini = 0, kc_mid = 0, kc_end = 0;
  int l_ini = 0, l_dev = 0, l_mid = 0, l_late = 0;
  // Nothing for a crop whose roots are at their full depth from the start (an established
  // perennial).
  std::optional<double> root_ini_cm = kInitialRootDepth;
  std::optional<double> height_m{};  // the crop's maximum height (FAO-56 Table 12)
  std::optional<double> ky{};        // the season's yield response factor (FAO-33)
  // FAO-33's factors of the stages' growth periods (initial, development, mid, late); any one
  // missing gives no by-stage yield figure.
  std::array<std::optional<double>, 4> ky_stage{};
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

// What the soil the roots grow into holds: field capacity (FAO-56's and most models' choice),
// or the share of its available water that the root zone had lost on the planting day.
enum class NewSoil { field_capacity, as_start };

// How a field is irrigated: back to field capacity when the readily available water is gone
// (refill), a fixed net depth then (a pivot's pass), every so many days, to a share of the
// available water only (deficit, leaving room for rain), or not at all (rainfed).
enum class Strategy { refill, fixed_depth, interval, deficit, rainfed };
std::string_view strategy_name(Strategy strategy);

// Which rule gave a day's irrigation.
enum class IrrigationRule { none, refill, fixed_depth, interval, deficit, given };

// What the profile gives the balance, in mm, and how irrigation is given.
struct RootZone {
  double taw = 0;           // total available water of the root zone, mm (without taw_at)
  double p_table_pct = 50;  // the crop's depletion fraction at 5 mm/day, %
  double efficiency_pct = 100;
  double initial_depletion = 0;  // mm below field capacity on the planting date
  // The whole profile's water at field capacity (its full point), mm: a day's soil_water is
  // counted down from it, as a probe reading of the profile would be.
  double full_point = 0;
  double root_max_cm = 0;  // the crop's full root depth
  // The root zone's TAW at a root depth (cm), mm; without it the root zone is `taw` all season.
  std::function<double(double)> taw_at{};
  // The root zone's water at field capacity at a root depth (cm), mm; without it the full point.
  std::function<double(double)> fp_at{};
  NewSoil new_soil = NewSoil::field_capacity;
  // The field's USDA-NRCS curve number (average antecedent moisture); nothing: no runoff.
  std::optional<double> curve_number{};
  // The rain of the five days before the planting day (the day before first), mm, for the
  // runoff's antecedent moisture.
  std::array<double, 5> rain_before{};
  Strategy strategy = Strategy::refill;
  double depth_mm = 0;                 // fixed-depth, and interval when above 0: the net of a pass
  std::optional<double> max_mm_day{};  // the system's capacity: the most net it gives in a day
  int every_days = 0;                  // interval
  double refill_to_pct = 100;          // deficit: the share of TAW the irrigation brings back
  // The trigger of each stage (initial, development, mid, late), % of TAW, instead of p.
  std::array<std::optional<double>, 4> mad_pct{};
  // No irrigation on the season's last `stop_days` days, nor after day `last_irrigation_day`.
  int stop_days = 0;
  std::optional<int> last_irrigation_day{};
  // The checkbook: up to day `today` the irrigations actually given (net mm by day) replace the
  // strategy, which plans the days after it.
  std::optional<int> today{};
  std::map<int, double> given_net{};
};

// The day's runoff, mm, by the USDA-NRCS curve number method (NEH-630 chapter 10; TR-55
// eq. 2-1 to 2-4): Q = (P - 0.2 S)^2 / (P + 0.8 S) above 0.2 S, S = 25400 / CN - 254 mm. The
// curve number is the field's for average antecedent moisture (class II), taken dry (class I)
// after less than 36 mm of rain in the five days before and wet (class III) after more than
// 53 mm, the growing season's limits (NEH-4), through CN I = CN / (2.281 - 0.01281 CN) and
// CN III = CN / (0.427 + 0.00573 CN) (Chow, Maidment & Mays 1988, eq. 5.5.4 and 5.5.5).
double curve_number_runoff(double rain, double curve_number, double rain_5_days);

// The root depth on day `day` of the season (1 is the planting day), cm: from the initial
// depth straight to the full depth at the start of the mid-season stage, as CROPWAT and
// FAO-56 grow it; the full depth throughout for a crop without an initial depth, or one that
// starts at its full depth already.
double root_depth_on(const CropStages& crop, double root_max_cm, int day);

struct WeatherDay {
  double et0 = 0;   // mm
  double rain = 0;  // mm
  // For Kc's climate adjustment (FAO-56 eq. 62), where the weather gives them: the wind at 2 m
  // (m/s) and the day's minimum relative humidity (%).
  std::optional<double> u2{}, rh_min{};
};

// FAO-56 eq. 62 (and eq. 65 for Kc end): Kc + [0.04 (u2 - 2) - 0.004 (RHmin - 45)] (h/3)^0.3,
// with u2 held within 1 and 6 m/s, RHmin within 20 and 80 % and h within 0.1 and 10 m, the
// ranges the equation is made for.
double climate_kc(double kc, double u2, double rh_min, double height_m);

// The crop's Kc mid and Kc end for the season's own climate: the mean u2 and RHmin of the
// mid-season and of the late stage's days (Kc end only where it is 0.45 or more); the crop as
// it is without a height, or where the weather gives neither on any of those days.
CropStages crop_for_climate(const CropStages& crop, std::span<const WeatherDay> season);

struct BalanceDay {
  int day = 0;
  Stage stage = Stage::initial;
  double kc = 0, et0 = 0, etc = 0, rain = 0;
  double runoff = 0;          // of the day's rain, mm
  double ks = 1;              // the water stress coefficient (eq. 84): 1 without stress
  double etc_adj = 0;         // the crop's actual evapotranspiration, Ks Kc ET0 (eq. 80), mm
  double p_pct = 0;           // the depletion fraction of the day, adjusted for its ETc
  double raw = 0;             // readily available water of the day, mm
  double depletion = 0;       // at the end of the day, mm
  double net = 0, gross = 0;  // irrigation given that morning, mm
  IrrigationRule rule = IrrigationRule::none;
  bool capped = false;  // the system's capacity held the irrigation back
  bool by_mad = false;  // the trigger was the stage's, not p
  double deep_percolation = 0;
  // The profile's water at the end of the day: its full point less the depletion, mm.
  double soil_water = 0;
  double root_depth = 0;  // cm
  double taw = 0;         // the day's root zone's total available water, mm
  // The day's root zone's water at field capacity, mm: what a probe in the root zone reads full.
  double root_fp = 0;
  double root_water() const { return root_fp - depletion; }  // at the end of the day, mm
};

// The season day by day, one day per weather day, to the end of the late stage or of the
// weather, whichever comes first. Capillary rise is 0 (eq. 85):
// Dr(i) = Dr(i-1) - (rain(i) - RO(i)) - I(i) + ETc adj(i) + DP(i), with the percolation
// DP(i) = max(0, rain - RO + I - ETc adj - Dr(i-1)) and, past the readily available water,
// Ks = (TAW - Dr) / ((1 - p) TAW) of the morning's depletion.
// Irrigation comes on the morning of the first day whose end would pass the day's readily
// available water, with the depth that brings the root zone back to field capacity. As the
// roots deepen, the day's TAW and RAW are those of the day's root zone.
std::vector<BalanceDay> water_balance(const RootZone& zone, const CropStages& crop,
                                      std::span<const WeatherDay> weather);

}  // namespace vantrel
