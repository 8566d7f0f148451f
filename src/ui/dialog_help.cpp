#include "ui/dialog_help.hpp"

#include <array>

#include "data/text.hpp"
#include "ui/control_ids.hpp"

namespace vantrel::ui {

namespace {

struct Entry {
  int id;
  std::string_view name;
  std::string_view tooltip;
};

// The inputs, their spinners and lists, the buttons and the results.
constexpr std::array<Entry, 28> kControls = {{
    {1033, "horizon number", "The horizon to update, 1 (top) to 5. Up and Down change it."},
    {1039, "horizon number spinner", "Changes the horizon number."},
    {1032, "thickness, cm", "Thickness of the horizon in cm. Up and Down change it."},
    {1038, "thickness spinner", "Changes the thickness, 5 to 99 cm."},
    {1008, "sand, %", "Sand content of the horizon in % (0.05 to 2 mm)."},
    {1026, "sand spinner", "Changes the sand content; silt follows as the rest."},
    {1046, "silt, %",
     "Silt content in %: the rest of sand and clay, shown after a spinner change."},
    {1044, "clay, %", "Clay content of the horizon in % (below 0.002 mm)."},
    {1045, "clay spinner", "Changes the clay content; silt follows as the rest."},
    {1048, "stones, % by volume", "Stone content in % by volume; water contents exclude it."},
    {1049, "stones spinner", "Changes the stone content, 0 to 99 %."},
    {1073, "bulk density, kg/L", "Dry bulk density to match, kg/L."},
    {1074, "bulk density spinner", "Changes the bulk density to match."},
    {1080, "set bulk density", "Match the reference profiles on the bulk density as well."},
    {1057, "texture class", "Texture class of the horizon's sand, silt and clay."},
    {1012, "texture class list",
     "Choose a texture class to fill in its typical sand, silt and clay."},
    {1010, "update profile", "Puts the horizon into the profile table at its depth."},
    {1011, "crop", "Choose a crop to fill in its root depth and drought tolerance."},
    {1035, "root depth, cm", "Effective root depth of the crop in cm."},
    {1041, "root depth spinner", "Changes the root depth, 0 to 200 cm."},
    {1055, "drought tolerance, %",
     "Share of the root zone's available water the crop may use before stress, in %."},
    {1056, "drought tolerance spinner", "Changes the drought tolerance, 0 to 100 %."},
    {30002, "Calculate", "Computes TAW, RAW, the full point and the refill point (Enter)."},
    {30001, "Exit", "Ends the program; the profile is not kept."},
    {1069, "total available water, mm",
     "TAW: water held between field capacity and wilting point over the whole profile, mm."},
    {1070, "readily available water, mm",
     "RAW: water held between field capacity and the stress point (100 kPa) over the whole "
     "profile, mm."},
    {1071, "full point, mm", "FP: water held at field capacity over the whole profile, mm."},
    {1072, "refill point, mm",
     "RP: FP less the tolerated share of the root zone's available water, mm; irrigate "
     "FP - RP when the soil reaches it."},
}};

// The output table's columns, each with the cell it takes from a row.
struct Column {
  std::string_view name;
  std::string_view tooltip;
  int TableRow::*cell;
};
constexpr std::array<Column, 8> kTable = {{
    {"top, cm", "Depth of the horizon's top in cm.", &TableRow::top},
    {"bottom, cm", "Depth of the horizon's bottom in cm.", &TableRow::bottom},
    {"texture", "Texture class of the horizon.", &TableRow::texture},
    {"density, kg/L", "Dry bulk density in kg/L.", &TableRow::density},
    {"stones, %", "Stone content in % by volume.", &TableRow::stones},
    {"FC %", "Water content at field capacity, 10 kPa suction, % by volume, stones excluded.",
     &TableRow::fc},
    {"SP %", "Water content at the stress point, 100 kPa suction, % by volume, stones excluded.",
     &TableRow::sp},
    {"WP %", "Water content at wilting point, 1500 kPa suction, % by volume, stones excluded.",
     &TableRow::wp},
}};

struct Picture {
  int bitmap;
  std::string_view name;
};
constexpr std::array<Picture, 5> kPictures = {{
    {102, "texture triangle: the texture classes by percent sand, silt and clay"},
    {107, "drawing of a soil profile from the litter down to bedrock"},
    {104, "Vantrel logo: irrigation planning"},
    {108, "Vantrel logo"},
    {109, "Vantrel logo"},
}};

}  // namespace

ControlHelp control_help(int id) {
  for (const Entry& e : kControls) {
    if (e.id == id) return {std::string(e.name), std::string(e.tooltip)};
  }
  for (const Column& c : kTable) {
    for (std::size_t row = 0; row < kTableRows.size(); ++row) {
      if (kTableRows[row].*c.cell == id) {
        return {"horizon " + std::to_string(row + 1) + ", " + std::string(c.name),
                std::string(c.tooltip)};
      }
    }
  }
  return {};
}

std::string_view picture_name(int bitmap) {
  for (const Picture& p : kPictures) {
    if (p.bitmap == bitmap) return p.name;
  }
  return "picture";
}

ControlHelp accessible_help(const TemplateControl& item) {
  if (item.kind == ControlKind::picture) return {std::string(picture_name(item.bitmap)), {}};
  ControlHelp help = item.id == kNoId ? ControlHelp{} : control_help(item.id);
  if (help.name.empty() && item.kind == ControlKind::frame &&
      without_trailing_blanks(item.caption).empty()) {
    help.name = "output table";
  }
  return help;
}

}  // namespace vantrel::ui
