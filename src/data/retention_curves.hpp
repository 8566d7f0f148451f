// The reference profiles with their water-retention curves (Soil_WRC.csv).
#pragma once

#include <array>
#include <cassert>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

inline constexpr int kMaxProfiles = 200;
inline constexpr int kLayers = 20;               // layers of one reference profile
inline constexpr float kLayerThickness = 10.0F;  // cm

// One value of every entry: profile k (1..200) by layer j (1..20, from the surface down).
class LayerGrid {
 public:
  float& operator()(int k, int j) { return values_[index(k, j)]; }
  float operator()(int k, int j) const { return values_[index(k, j)]; }

 private:
  static std::size_t index(int k, int j) {
    assert(k >= 1 && k <= kMaxProfiles && j >= 1 && j <= kLayers);
    return static_cast<std::size_t>(k - 1) * kLayers + static_cast<std::size_t>(j - 1);
  }
  std::array<float, std::size_t{kMaxProfiles} * kLayers> values_{};
};

// Fixed-size table: filling it never allocates. Entries no line has filled hold 0.
struct RetentionCurves {
  int profile_count = 0;
  LayerGrid density;  // dry bulk density, kg/L
  LayerGrid theta_s;  // saturated water content, % by volume
  LayerGrid theta_r;  // residual water content, % by volume
  LayerGrid alpha;    // 1/kPa
  LayerGrid n;
  LayerGrid m;
  std::array<LayerGrid, 4> further;  // file columns 8 to 11, kept for the trace lines
  LayerGrid clay;                    // %
  LayerGrid sand;                    // %

  // The grid that file column c (1 or 3..13) fills; null for column 2 and beyond 13.
  LayerGrid* column(int c);
};

inline constexpr const char* kRetentionFileName = "Soil_WRC.csv";
// The bundled set's name, in the first header line of each of its profiles: how the tools
// tell it from a user's own set.
inline constexpr std::string_view kBundledSetName =
    "UNSODA 2.0 measured soils with synthetic profiles for thin classes";
// How far an estimate from it goes, as its cross-validation against measured curves found.
inline constexpr std::string_view kBundledPrecision =
    "From texture alone a horizon's available water is good to about 50 mm/m: measure your "
    "soils.";

// Writing the file, for the tools that make reference profiles: one home for its format.
// One layer line's values.
struct ReferenceLayer {
  double density = 0;  // kg/L
  std::string label;   // the horizon's name; commas become blanks, cut to 16 characters
  double theta_s = 0, theta_r = 0, alpha = 0, n = 0, m = 0;
  std::optional<double> ks;              // cm/d
  std::optional<double> organic_matter;  // %
  double silt = 0;                       // %
  int bottom = 0;                        // cm
  double clay = 0, sand = 0;             // %
};
// A header line of a profile, cut to what a line of the file may hold.
std::string reference_text_line(std::string text);
// The third header line of a profile: the columns' names.
std::string reference_columns_line();
std::string reference_layer_line(const ReferenceLayer& layer);
// A whole profile: its first two header lines, what it is and where it comes from, and its
// layers from the surface down.
struct ReferenceProfile {
  std::string title, source;
  std::vector<ReferenceLayer> layers;
};
std::string reference_profile_text(const ReferenceProfile& profile);

// A place where the file is shorter than its form. The loading goes on as the program has
// always read such a file, but a tool that reports on its estimates names these.
struct RetentionDefect {
  int profile = 0;  // the reference profile it touches, 0 for one that was not loaded
  int line = 0;     // the line of the file
  std::string reason;
  bool file_ends = false;  // the file ends there, inside a profile: what followed is missing
};

// Loads the file into the table (which is cleared first). Each profile is 3 header lines and
// 20 layer lines; the end of the file ends loading wherever it comes. Profiles after the 200th
// are ignored with one warning line. A number that does not read is a FatalStop naming the
// file, the line and the text.
// `defects`, when given, receives the profiles that end early (their unread layers stay 0),
// a header cut short, and the layer lines with fewer than 13 columns (the missing columns keep
// the values of the line above).
void load_retention_curves(const std::filesystem::path& file, RetentionCurves& table,
                           std::ostream& warnings, std::vector<RetentionDefect>* defects = nullptr);
void load_retention_curves(const std::filesystem::path& file, RetentionCurves& table);

}  // namespace vantrel
