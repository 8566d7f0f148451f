// The crop's yield response to water (FAO Irrigation and Drainage Paper 33, Doorenbos &
// Kassam 1979): 1 - Ya/Ym = Ky (1 - ETa/ETm), with ETa the season's ETc adj and ETm its ETc.
#pragma once

#include <array>
#include <optional>
#include <span>

#include "season/water_balance.hpp"

namespace vantrel {

// The relative yield reduction of the season, %, from its one factor; nothing without one or
// without any ETm. A reduction cannot pass the whole yield, so it stops at 100 %.
std::optional<double> season_yield_reduction(std::optional<double> ky,
                                             std::span<const BalanceDay> days);

// The same by stage, multiplied over the stages as CROPWAT does it:
// 1 - Ya/Ym = 1 - prod over the stages of (1 - Ky stage (1 - ETa stage / ETm stage)), %.
// A stage without days (the weather ends before it) loses nothing; nothing when any of the four
// factors is missing.
std::optional<double> staged_yield_reduction(const std::array<std::optional<double>, 4>& ky,
                                             std::span<const BalanceDay> days);

}  // namespace vantrel
