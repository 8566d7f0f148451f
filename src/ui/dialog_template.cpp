#include "ui/dialog_template.hpp"

#include <array>
#include <string>

namespace vantrel::ui {

namespace {

using K = ControlKind;
constexpr Align C = Align::centre;

// Template 101, in creation order. Captions of the output-table cells are "." until the
// profile builder writes them.
constexpr std::array<TemplateControl, 115> kMainControls = {{
    {1, 30002, K::push_button, "Calculate", {422, 152, 86, 23}, Align::centre, false, false, true},
    {2, 30001, K::push_button, "Exit", {422, 185, 86, 22}, C},
    {3, kNoId, K::picture, "", {332, 4, 176, 141}, C, false, false, false, 102},
    {4, kNoId, K::picture, "", {332, 300, 176, 48}, C, false, false, false, 104},
    {5, kNoId, K::static_text, "horizon", {14, 13, 23, 8}},
    {6, 1008, K::edit, "", {14, 55, 30, 14}},
    {7, kNoId, K::static_text, "texture", {134, 13, 21, 8}},
    {8, 1026, K::scroll_bar, "", {45, 55, 8, 14}},
    {9, 1032, K::edit, "", {57, 25, 30, 14}},
    {10, 1038, K::scroll_bar, "", {88, 25, 8, 14}},
    {11, kNoId, K::static_text, "thickness [cm]", {59, 13, 47, 8}},
    {12, kNoId, K::static_text, "sand", {15, 43, 16, 8}, C},
    {13, 1044, K::edit, "", {102, 55, 30, 14}},
    {14, 1045, K::scroll_bar, "", {133, 55, 8, 14}},
    {15, kNoId, K::static_text, "clay", {102, 43, 14, 8}, C},
    {16, 1046, K::edit, "", {58, 55, 30, 14}, Align::left, false, true},
    {17, kNoId, K::static_text, "silt", {65, 43, 9, 8}, C},
    {18, 1048, K::edit, "", {151, 55, 30, 14}},
    {19, 1049, K::scroll_bar, "", {182, 55, 8, 14}},
    {20, kNoId, K::static_text, "stones", {152, 43, 21, 8}, C},
    {21, kNoId, K::frame, "Key to outputs", {8, 308, 320, 40}},
    {22, kNoId, K::frame, "INPUT:  Soil Horizon Properties", {8, 0, 190, 103}, C},
    {23, kNoId, K::frame, "INPUT:  Crop properties", {201, 0, 127, 103}, C},
    {24, kNoId, K::static_text, "Crop", {207, 26, 16, 8}},
    {25, 1033, K::edit, "", {14, 25, 30, 14}},
    {26, 1039, K::scroll_bar, "", {45, 25, 8, 14}},
    {27, 1010, K::check_box, "Update profile", {107, 84, 62, 10}},
    {28, 1011, K::combo_box, "", {248, 25, 74, 39}},
    {29,
     kNoId,
     K::frame,
     "OUTPUT: Texture-based soil profile (up to 5 horizons)",
     {8, 166, 320, 142},
     C},
    {30, kNoId, K::static_text, "Horizon", {19, 181, 25, 8}},
    {31, kNoId, K::static_text, "Texture", {115, 181, 25, 8}},
    {32, kNoId, K::static_text, "Top [cm]", {45, 181, 29, 8}},
    {33, kNoId, K::static_text, "Bot [cm]", {79, 181, 25, 8}},
    {34, kNoId, K::static_text, "FC%", {238, 181, 16, 8}},
    {35, kNoId, K::static_text, "WP%", {294, 181, 18, 8}},
    // Row 1: label, Top, Bot, Texture, FC%, WP%.
    {36, kNoId, K::static_text, "1", {22, 197, 19, 8}, C},
    {37, 1018, K::static_text, ".", {45, 197, 19, 8}, C},
    {38, 1019, K::static_text, ".", {79, 197, 19, 8}, C},
    {39, 1013, K::static_text, ".", {115, 197, 51, 8}},
    {40, 1020, K::static_text, ".", {234, 197, 19, 8}, C},
    {41, 1021, K::static_text, ".", {290, 197, 19, 8}, C},
    // Row 3.
    {42, kNoId, K::static_text, "3", {22, 245, 19, 8}, C},
    {43, 1024, K::static_text, ".", {44, 245, 19, 8}, C},
    {44, 1025, K::static_text, ".", {78, 245, 19, 8}, C},
    {45, 1015, K::static_text, ".", {114, 245, 51, 8}},
    {46, 1036, K::static_text, ".", {233, 245, 19, 8}, C},
    {47, 1052, K::static_text, ".", {289, 245, 19, 8}, C},
    // Row 4.
    {48, kNoId, K::static_text, "4", {22, 269, 19, 8}, C},
    {49, 1027, K::static_text, ".", {45, 269, 19, 8}, C},
    {50, 1028, K::static_text, ".", {79, 269, 19, 8}, C},
    {51, 1016, K::static_text, ".", {115, 269, 51, 8}},
    {52, 1037, K::static_text, ".", {234, 269, 19, 8}, C},
    {53, 1053, K::static_text, ".", {290, 269, 19, 8}, C},
    // Row 5.
    {54, kNoId, K::static_text, "5", {22, 293, 19, 8}, C},
    {55, 1029, K::static_text, ".", {44, 293, 19, 8}, C},
    {56, 1030, K::static_text, ".", {78, 293, 19, 8}, C},
    {57, 1017, K::static_text, ".", {114, 293, 51, 8}},
    {58, 1040, K::static_text, ".", {233, 293, 19, 8}, C},
    {59, 1054, K::static_text, ".", {289, 293, 19, 8}, C},
    // Row 2.
    {60, kNoId, K::static_text, "2", {22, 221, 19, 8}, C},
    {61, 1022, K::static_text, ".", {45, 221, 19, 8}, C},
    {62, 1023, K::static_text, ".", {79, 221, 19, 8}, C},
    {63, 1014, K::static_text, ".", {115, 221, 51, 8}},
    {64, 1034, K::static_text, ".", {234, 221, 19, 8}, C},
    {65, 1051, K::static_text, ".", {290, 221, 19, 8}, C},
    {66, 1012, K::combo_box, "", {102, 26, 90, 43}},
    {67, 1035, K::edit, "", {282, 44, 30, 14}},
    {68, 1041, K::scroll_bar, "", {314, 44, 8, 14}},
    {69, kNoId, K::static_text, "Root depth [cm]", {207, 47, 65, 8}},
    {70, kNoId, K::static_text, "Stone%", {207, 181, 25, 8}},
    // Stone% cells of rows 1, 3, 4, 5, 2.
    {71, 1031, K::static_text, ".", {208, 197, 19, 8}, C},
    {72, 1043, K::static_text, ".", {208, 245, 19, 8}, C},
    {73, 1047, K::static_text, ".", {208, 269, 19, 8}, C},
    {74, 1050, K::static_text, ".", {208, 293, 19, 8}, C},
    {75, 1042, K::static_text, ".", {208, 221, 19, 8}, C},
    {76, 1057, K::static_text, "texture", {47, 84, 53, 8}},
    {77, 1055, K::edit, "", {282, 66, 30, 14}},
    {78, 1056, K::scroll_bar, "", {314, 66, 8, 14}},
    {79, kNoId, K::static_text, "Drought tolerance [%]", {207, 69, 69, 8}},
    {80, 1063, K::static_text, "SP%", {265, 181, 13, 8}},
    // SP% cells of rows 1, 3, 4, 5, 2.
    {81, 1058, K::static_text, ".", {262, 197, 19, 8}, C},
    {82, 1059, K::static_text, ".", {261, 245, 19, 8}, C},
    {83, 1060, K::static_text, ".", {262, 269, 19, 8}, C},
    {84, 1061, K::static_text, ".", {261, 293, 19, 8}, C},
    {85, 1062, K::static_text, ".", {262, 221, 19, 8}, C},
    {86, kNoId, K::frame, "OUTPUT:  Profile available water", {161, 107, 167, 56}, C},
    {87, kNoId, K::static_text, "Total available water (TAW, mm)", {176, 124, 99, 8}},
    {88, kNoId, K::static_text, "Readily available water (RAW, mm)", {176, 144, 107, 8}},
    {89, kNoId, K::static_text, "Full point      (FP, mm)", {21, 124, 63, 8}},
    {90, kNoId, K::frame, "", {172, 173, 151, 135}},
    {91, kNoId, K::frame, "", {14, 173, 158, 135}},
    {92, 1069, K::edit, "", {286, 121, 29, 13}, Align::left, false, true},
    {93, 1070, K::edit, "", {286, 142, 29, 13}, Align::left, false, true},
    {94, 1071, K::edit, "", {110, 123, 29, 13}, Align::left, false, true},
    {95, kNoId, K::frame, "OUTPUT:   Irrigation triggers", {8, 107, 140, 56}, C},
    {96, kNoId, K::static_text, "Refill point   (RP, mm)", {21, 145, 64, 8}},
    {97, 1072, K::edit, "", {110, 144, 29, 13}, Align::left, false, true},
    {98, kNoId, K::static_text, "Stone% = stone content ", {131, 320, 72, 8}},
    {99, kNoId, K::static_text, "FC = water content at field capacity", {210, 320, 103, 8}},
    {100,
     kNoId,
     K::static_text,
     "SP = % water content at stress point ( -100 kPa) ",
     {16, 334, 140, 8}},
    {101,
     kNoId,
     K::static_text,
     "WP = water content at wilting point (-1500 kPa)",
     {179, 334, 135, 8}},
    {102, kNoId, K::picture, "", {332, 139, 86, 158}, C, false, false, false, 107},
    {103, kNoId, K::picture, "", {422, 259, 86, 36}, C, false, false, false, 108},
    {104, kNoId, K::picture, "", {422, 217, 86, 31}, C, false, false, false, 109},
    {105, 1073, K::edit, "", {281, 85, 30, 14}, Align::left, true},
    {106, 1074, K::scroll_bar, "", {314, 85, 8, 14}, Align::left, true},
    {107, kNoId, K::static_text, "Density", {180, 181, 24, 8}},
    // Density cells of rows 1, 3, 4, 5, 2.
    {108, 1075, K::static_text, ".", {181, 197, 19, 8}, C},
    {109, 1076, K::static_text, ".", {181, 245, 19, 8}, C},
    {110, 1077, K::static_text, ".", {181, 269, 19, 8}, C},
    {111, 1078, K::static_text, ".", {181, 293, 19, 8}, C},
    {112, 1079, K::static_text, ".", {181, 221, 19, 8}, C},
    {113, 1080, K::check_box, "Set bulk density [kg/L]", {206, 87, 76, 10}, Align::left, true},
    {114, kNoId, K::static_text, "Density = dry bulk density [kg/L]", {16, 320, 95, 8}},
    {115, kNoId, K::static_text, "Texture is ", {14, 84, 32, 8}},
}};

const std::string kMainCaption = std::string(111, ' ') + "Vantrel (Version 1.5.3)";

const DialogTemplate kMain = {
    kMainDialog, kMainCaption, {0, 0, 516, 353}, "MS Sans Serif", 8, kMainControls, 0};

constexpr std::array<BitmapResource, 6> kBitmaps = {{
    {102, 250, 242, 16},
    {104, 215, 75, 256},
    {106, 176, 310, 0},
    {107, 176, 310, 256},
    {108, 122, 60, 0},
    {109, 146, 35, 256},
}};

}  // namespace

const DialogTemplate* find_template(int id) {
  return id == kMainDialog ? &kMain : nullptr;
}

std::span<const BitmapResource> bitmap_resources() {
  return kBitmaps;
}

}  // namespace vantrel::ui
