#include "unsoda/unsoda_samples.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <tuple>

#include "data/csv_reader.hpp"

namespace vantrel::unsoda {

namespace {

std::optional<double> number(std::string_view text) {
  double v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v))
    return std::nullopt;
  return v;
}

// The fraction finer than `um`; `interpolated` set when it lies between two measured sizes.
std::optional<double> finer_than(const std::vector<SizePoint>& curve, double um,
                                 bool& interpolated) {
  if (curve.empty()) return std::nullopt;
  if (um < curve.front().um) {
    if (curve.front().finer <= 0.001) return 0.0;
    return std::nullopt;
  }
  if (um > curve.back().um) {
    if (curve.back().finer >= 0.999) return 1.0;
    return std::nullopt;
  }
  for (std::size_t i = 0; i < curve.size(); ++i) {
    if (curve[i].um == um) return curve[i].finer;
    if (i + 1 < curve.size() && curve[i].um < um && um < curve[i + 1].um) {
      interpolated = true;
      const double share = std::log(um / curve[i].um) / std::log(curve[i + 1].um / curve[i].um);
      return curve[i].finer + share * (curve[i + 1].finer - curve[i].finer);
    }
  }
  return std::nullopt;
}

std::string fixed(double v, int decimals) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  return text;
}

std::map<std::string, std::vector<const JsonRow*>, std::less<>> by_code(
    const std::vector<JsonRow>& rows) {
  std::map<std::string, std::vector<const JsonRow*>, std::less<>> out;
  for (const JsonRow& r : rows)
    out[std::string(r["code"])].push_back(&r);
  return out;
}

}  // namespace

std::optional<Texture> usda_texture(std::vector<SizePoint> curve) {
  curve.erase(
      std::remove_if(curve.begin(), curve.end(), [](const SizePoint& p) { return !(p.um > 0); }),
      curve.end());
  std::sort(curve.begin(), curve.end(),
            [](const SizePoint& a, const SizePoint& b) { return a.um < b.um; });
  Texture t;
  const auto clay = finer_than(curve, 2, t.interpolated);
  const auto silt_and_clay = finer_than(curve, 50, t.interpolated);
  if (!clay || !silt_and_clay || *silt_and_clay < *clay) return std::nullopt;
  // The curves are of the fine earth: what is coarser than 50 um is sand.
  t.clay = 100 * std::clamp(*clay, 0.0, 1.0);
  t.sand = 100 * std::clamp(1 - *silt_and_clay, 0.0, 1.0);
  return t;
}

double head_to_kpa(double head_cm) {
  return head_cm > 0 ? head_cm * 0.0980665 : 0.1;
}

namespace {

using ByCode = std::map<std::string, std::vector<const JsonRow*>, std::less<>>;

// The tables looked up by sample code.
struct Lookups {
  ByCode properties, sizes, points;
  std::map<std::string, std::string, std::less<>> publications;
};

std::vector<SizePoint> curve_of(const ByCode& sizes, std::string_view code) {
  std::vector<SizePoint> curve;
  const auto found = sizes.find(code);
  if (found == sizes.end()) return curve;
  for (const JsonRow* r : found->second) {
    const auto um = number((*r)["particle_size"]), finer = number((*r)["particle_fraction"]);
    if (um && finer) curve.push_back({*um, *finer});
  }
  return curve;
}

std::vector<std::pair<double, double>> points_of(const ByCode& points, std::string_view code) {
  std::vector<std::pair<double, double>> out;
  const auto found = points.find(code);
  if (found == points.end()) return out;
  for (const JsonRow* r : found->second) {
    const auto head = number((*r)["preshead"]), theta = number((*r)["theta"]);
    if (head && theta && *head >= 0) out.emplace_back(head_to_kpa(*head), 100 * *theta);
  }
  std::sort(out.begin(), out.end());
  return out;
}

// One sample of the general table, or nothing with the reason counted.
std::optional<Sample> sample_of(const JsonRow& g, const Lookups& l, Conversion& c) {
  Sample s;
  s.code = std::string(g["code"]);
  for (const char* part : {"location", "series", "site_ID"}) {
    if (g[part].empty()) continue;
    s.profile += (s.profile.empty() ? "" : "; ") + std::string(g[part]);
  }
  s.horizon = std::string(g["horizon"]);
  const auto pub = l.publications.find(g["publication_ID"]);
  s.publication = pub == l.publications.end() ? "" : pub->second;
  const auto top = number(g["depth_upper"]), bottom = number(g["depth_lower"]);
  if (!top || !bottom || *bottom <= *top || *top < 0) {
    ++c.no_depth;
    return std::nullopt;
  }
  s.top = *top;
  s.bottom = *bottom;
  const auto texture = usda_texture(curve_of(l.sizes, s.code));
  if (!texture) {
    ++c.no_texture;
    return std::nullopt;
  }
  s.texture = *texture;
  const auto prop = l.properties.find(s.code);
  const auto density =
      prop == l.properties.end() ? std::nullopt : number((*prop->second.front())["bulk_density"]);
  if (!density || !(*density > 0)) {
    ++c.no_density;
    return std::nullopt;
  }
  s.density = *density;
  s.points = points_of(l.points, s.code);
  if (s.points.empty()) {
    ++c.no_points;
    return std::nullopt;
  }
  if (s.points.front().first > 33 || s.points.back().first < 500) {
    ++c.no_wet_or_dry;
    return std::nullopt;
  }
  return s;
}

}  // namespace

Conversion convert(const Tables& tables) {
  Conversion c;
  Lookups l{by_code(tables.properties), by_code(tables.sizes), by_code(tables.lab_points), {}};
  for (const JsonRow& p : tables.publications)
    l.publications[std::string(p["publication_ID"])] = std::string(p["publication"]);
  for (const JsonRow& g : tables.general) {
    ++c.read;
    auto s = sample_of(g, l, c);
    if (!s) continue;
    c.interpolated += s->texture.interpolated;
    c.samples.push_back(std::move(*s));
  }
  std::stable_sort(c.samples.begin(), c.samples.end(), [](const Sample& a, const Sample& b) {
    return std::tie(a.profile, a.top, a.bottom, a.code) <
           std::tie(b.profile, b.top, b.bottom, b.code);
  });
  return c;
}

std::string reference_input(const Conversion& c) {
  std::string out =
      "# UNSODA 2.0 (Nemes, Schaap, Leij & Wosten 2001; Leij, Alves, van Genuchten & Williams "
      "1996; U.S. public domain), converted by tools/unsoda: one profile per site (location; "
      "series; site ID), USDA texture from each sample's particle-size curve, laboratory "
      "drying points (a head of h cm is h x 0.0980665 kPa, a head of 0 is 0.1 kPa).\n"
      "profile,top_cm,bottom_cm,sand,clay,density,suction_kpa,theta_pct,horizon,sample,source\n";
  std::string profile;
  for (const Sample& s : c.samples) {
    if (s.profile != profile) {
      profile = s.profile;
      out += "# " + profile + "\n";
    }
    out += "#   sample " + s.code + ", " + fixed(s.top, 0) + "-" + fixed(s.bottom, 0) + " cm" +
           (s.texture.interpolated ? ", texture interpolated" : "") +
           (s.publication.empty() ? "" : ": " + s.publication) + "\n";
    const std::string source =
        csv_field("UNSODA 2.0" + (s.publication.empty() ? std::string() : ", " + s.publication));
    for (const auto& [kpa, theta] : s.points) {
      out += csv_field(s.profile) + "," + fixed(s.top, 1) + "," + fixed(s.bottom, 1) + "," +
             fixed(s.texture.sand, 1) + "," + fixed(s.texture.clay, 1) + "," + fixed(s.density, 3) +
             "," + fixed(kpa, 3) + "," + fixed(theta, 2) + "," + csv_field(s.horizon) + "," +
             s.code + "," + source + "\n";
    }
  }
  return out;
}

}  // namespace vantrel::unsoda
