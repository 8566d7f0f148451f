// The ids of the main window's controls that code addresses by name, and the output table's
// cells: the one home of these ids besides the template's own table.
#pragma once

#include <array>
#include <cstddef>

namespace vantrel {

// Control ids of the main window.
namespace id {
inline constexpr int dialog = 101;
inline constexpr int calculate = 30002;
inline constexpr int exit = 30001;
inline constexpr int horizon = 1033, horizon_bar = 1039;
inline constexpr int thickness = 1032, thickness_bar = 1038;
inline constexpr int sand = 1008, sand_bar = 1026;
inline constexpr int silt = 1046;
inline constexpr int clay = 1044, clay_bar = 1045;
inline constexpr int stones = 1048, stones_bar = 1049;
inline constexpr int texture_label = 1057;
inline constexpr int texture_list = 1012;
inline constexpr int crop_list = 1011;
inline constexpr int root_depth = 1035, root_depth_bar = 1041;
inline constexpr int tolerance = 1055, tolerance_bar = 1056;
inline constexpr int density = 1073, density_bar = 1074;
inline constexpr int density_set = 1080;
inline constexpr int update_profile = 1010;
inline constexpr int taw = 1069, raw = 1070, fp = 1071, rp = 1072;
}  // namespace id

// The cells of one row of the output table, one per column.
struct TableRow {
  int top, bottom, texture, density, stones, fc, sp, wp;
};
inline constexpr std::array<TableRow, 5> kTableRows = {{
    {1018, 1019, 1013, 1075, 1031, 1020, 1058, 1021},
    {1022, 1023, 1014, 1079, 1042, 1034, 1062, 1051},
    {1024, 1025, 1015, 1076, 1043, 1036, 1059, 1052},
    {1027, 1028, 1016, 1077, 1047, 1037, 1060, 1053},
    {1029, 1030, 1017, 1078, 1050, 1040, 1061, 1054},
}};
// Horizon 1..5.
constexpr const TableRow& table_row(int horizon) {
  return kTableRows.at(static_cast<std::size_t>(horizon - 1));
}

}  // namespace vantrel
