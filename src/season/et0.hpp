// Reference evapotranspiration by the FAO Penman-Monteith equation, daily (FAO Irrigation and
// Drainage Paper 56, Allen et al. 1998, chapter 3 and its equation 6), with the intermediate
// values the paper's examples give, so that each can be checked against them.
#pragma once

#include <optional>

namespace vantrel {

// One day of a station's weather. Humidity: rh_max and rh_min, or rh_mean, or the dew point;
// radiation: solar radiation, or sunshine hours, or neither (then from the temperature range).
struct DailyWeather {
  int day_of_year = 1;  // 1..366
  double tmax_c = 0, tmin_c = 0;
  std::optional<double> rh_max, rh_min, rh_mean, tdew_c;  // %, °C
  double wind_m_s = 2;
  double wind_height_m = 2;
  std::optional<double> rs_mj_m2;    // solar radiation, MJ/m2/day
  std::optional<double> sunshine_h;  // actual hours of bright sunshine
};

struct Station {
  double latitude_deg = 0;  // north positive
  double elevation_m = 0;
};

// The steps of one day's computation, named as in FAO-56.
struct Et0Steps {
  double u2 = 0;                    // wind speed at 2 m, m/s (eq. 47)
  double t_mean = 0;                // °C
  double delta = 0;                 // slope of the vapour pressure curve, kPa/°C (eq. 13)
  double pressure = 0;              // kPa (eq. 7)
  double gamma = 0;                 // psychrometric constant, kPa/°C (eq. 8)
  double es = 0, ea = 0;            // saturation and actual vapour pressure, kPa (eq. 11-12, 17-19)
  double ra = 0;                    // extraterrestrial radiation, MJ/m2/day (eq. 21)
  double daylight_hours = 0;        // N (eq. 34)
  double rs = 0, rso = 0;           // solar and clear-sky radiation (eq. 35 or 50, eq. 37)
  double rns = 0, rnl = 0, rn = 0;  // net shortwave, net longwave, net radiation (eq. 38-40)
  double et0 = 0;                   // mm/day (eq. 6)
  bool rs_from_temperature = false;  // eq. 50, kRs 0.16: no radiation or sunshine given
};

// The day's ET0 with its steps; soil heat flux G is 0 for a day.
Et0Steps penman_monteith(const DailyWeather& day, const Station& station);

// Saturation vapour pressure at a temperature, kPa (eq. 11).
double saturation_vapour_pressure(double t_c);

// Extraterrestrial radiation, MJ/m2/day, and the daylight hours of a day of the year at a
// latitude (eq. 21-25, 34).
double extraterrestrial_radiation(double latitude_deg, int day_of_year);
double daylight_hours(double latitude_deg, int day_of_year);

}  // namespace vantrel
