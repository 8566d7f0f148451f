// A field's season columns read into its crop and its root zone: the starting depletion aside,
// each of the season's choices (roots, runoff, the strategy, when irrigation stops), refused
// with its reason and line when it is no field's. For season.cpp, which computes the season.
#pragma once

#include <optional>
#include <string>

#include "season/season.hpp"

namespace vantrel::season_choices {

// A field's value of a season column: the first row that gives it, with its line.
struct Cell {
  std::string text;
  int line = 0;
};
Cell cell_of(const SeasonColumns& columns, const ProfileInput& input, SeasonColumn c);

// A number of 0 or more; a decimal comma is the point in a file that semicolons separate.
std::optional<float> amount(const SeasonColumns& columns, std::string text);

// Says a reason in the season's message; an error stays an error.
void say(SeasonResult& s, const std::string& status, const std::string& reason);
std::string on_line(int line, const std::string& reason);

// A number column within [low, high] (whole when asked); nothing when blank. False with the
// reason said when it is given and no such number.
bool bounded(const SeasonColumns& columns, const ProfileInput& input, SeasonColumn column,
             double low, double high, bool whole, std::optional<double>& value, SeasonResult& s);

// Each false with the reason said.
bool take_root_ini(const SeasonColumns& columns, const ProfileInput& input, CropStages& crop,
                   SeasonResult& s);
bool take_height(const SeasonColumns& columns, const ProfileInput& input, CropStages& crop,
                 SeasonResult& s);
bool take_subsoil(const SeasonColumns& columns, const ProfileInput& input, RootZone& zone,
                  SeasonResult& s);
bool take_runoff(const SeasonColumns& columns, const ProfileInput& input, RootZone& zone,
                 SeasonResult& s);
bool take_strategy(const SeasonColumns& columns, const ProfileInput& input, RootZone& zone,
                   SeasonResult& s);
bool take_stops(const SeasonColumns& columns, const ProfileInput& input, DayNumber planting,
                RootZone& zone, SeasonResult& s);

}  // namespace vantrel::season_choices
