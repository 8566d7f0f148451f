#include "season/et0.hpp"

#include <algorithm>
#include <cmath>

namespace vantrel {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kSolarConstant = 0.0820;      // MJ/m2/min
constexpr double kStefanBoltzmann = 4.903e-9;  // MJ/K4/m2/day
constexpr double kAlbedo = 0.23;               // the grass reference crop
constexpr double kAngstromA = 0.25, kAngstromB = 0.50;
constexpr double kRsFromTemperature = 0.16;  // kRs of an interior location

struct Sun {
  double dr, declination, sunset_angle;
};

Sun sun_of(double latitude_rad, int day_of_year) {
  const double j = day_of_year;
  const double dr = 1 + 0.033 * std::cos(2 * kPi / 365 * j);              // eq. 23
  const double declination = 0.409 * std::sin(2 * kPi / 365 * j - 1.39);  // eq. 24
  const double x = std::clamp(-std::tan(latitude_rad) * std::tan(declination), -1.0, 1.0);
  return {dr, declination, std::acos(x)};  // eq. 25, polar day and night clamped
}

double radians(double degrees) {
  return degrees * kPi / 180.0;
}

}  // namespace

double saturation_vapour_pressure(double t_c) {
  return 0.6108 * std::exp(17.27 * t_c / (t_c + 237.3));
}

double extraterrestrial_radiation(double latitude_deg, int day_of_year) {
  const double phi = radians(latitude_deg);
  const Sun s = sun_of(phi, day_of_year);
  return 24 * 60 / kPi * kSolarConstant * s.dr *
         (s.sunset_angle * std::sin(phi) * std::sin(s.declination) +
          std::cos(phi) * std::cos(s.declination) * std::sin(s.sunset_angle));  // eq. 21
}

double daylight_hours(double latitude_deg, int day_of_year) {
  return 24 / kPi * sun_of(radians(latitude_deg), day_of_year).sunset_angle;  // eq. 34
}

Et0Steps penman_monteith(const DailyWeather& d, const Station& station) {
  Et0Steps s;
  s.u2 = d.wind_height_m == 2
             ? d.wind_m_s
             : d.wind_m_s * 4.87 / std::log(67.8 * d.wind_height_m - 5.42);  // eq. 47
  s.t_mean = (d.tmax_c + d.tmin_c) / 2;
  s.delta = 4098 * saturation_vapour_pressure(s.t_mean) / std::pow(s.t_mean + 237.3, 2);
  s.pressure = 101.3 * std::pow((293 - 0.0065 * station.elevation_m) / 293, 5.26);
  s.gamma = 0.665e-3 * s.pressure;
  const double e_max = saturation_vapour_pressure(d.tmax_c);
  const double e_min = saturation_vapour_pressure(d.tmin_c);
  s.es = (e_max + e_min) / 2;
  if (d.tdew_c) {
    s.ea = saturation_vapour_pressure(*d.tdew_c);  // eq. 14
  } else if (d.rh_max && d.rh_min) {
    s.ea = (e_min * *d.rh_max / 100 + e_max * *d.rh_min / 100) / 2;  // eq. 17
  } else if (d.rh_mean) {
    s.ea = *d.rh_mean / 100 * s.es;  // eq. 19
  } else {
    s.ea = e_min;  // eq. 48: the dew point taken as the daily minimum
  }
  s.ra = extraterrestrial_radiation(station.latitude_deg, d.day_of_year);
  s.daylight_hours = daylight_hours(station.latitude_deg, d.day_of_year);
  if (d.rs_mj_m2) {
    s.rs = *d.rs_mj_m2;
  } else if (d.sunshine_h) {
    // In polar night (N = 0) there is no sun to shine: Rs is 0, as eq. 50 gives it.
    s.rs = s.daylight_hours > 0
               ? (kAngstromA + kAngstromB * *d.sunshine_h / s.daylight_hours) * s.ra  // eq. 35
               : 0.0;
  } else {
    s.rs = kRsFromTemperature * std::sqrt(std::max(d.tmax_c - d.tmin_c, 0.0)) * s.ra;  // eq. 50
    s.rs_from_temperature = true;
  }
  s.rso = (0.75 + 2e-5 * station.elevation_m) * s.ra;  // eq. 37
  s.rns = (1 - kAlbedo) * s.rs;                        // eq. 38
  const double kelvin_max = std::pow(d.tmax_c + 273.16, 4),
               kelvin_min = std::pow(d.tmin_c + 273.16, 4);
  // Rs/Rso within 0.3 and 1 (ASCE-EWRI 2005, eq. 18): below 0.3 eq. 39 would have an overcast
  // surface gain long-wave radiation; a day without sun (Rso 0) counts as the most overcast.
  const double relative = s.rso > 0 ? std::clamp(s.rs / s.rso, 0.3, 1.0) : 0.3;
  s.rnl = kStefanBoltzmann * (kelvin_max + kelvin_min) / 2 * (0.34 - 0.14 * std::sqrt(s.ea)) *
          (1.35 * relative - 0.35);  // eq. 39
  s.rn = s.rns - s.rnl;              // eq. 40
  const double g = 0;                // a day's soil heat flux (eq. 42)
  s.et0 = (0.408 * s.delta * (s.rn - g) + s.gamma * 900 / (s.t_mean + 273) * s.u2 * (s.es - s.ea)) /
          (s.delta + s.gamma * (1 + 0.34 * s.u2));  // eq. 6
  return s;
}

}  // namespace vantrel
