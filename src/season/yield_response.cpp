#include "season/yield_response.hpp"

#include <algorithm>
#include <cstddef>

namespace vantrel {

namespace {

// One period's share of its maximum yield, 1 - Ky (1 - ETa/ETm), at 0 or more.
double yield_share(double ky, double eta, double etm) {
  if (!(etm > 0)) return 1;
  return std::max(0.0, 1.0 - ky * (1.0 - eta / etm));
}

}  // namespace

std::optional<double> season_yield_reduction(std::optional<double> ky,
                                             std::span<const BalanceDay> days) {
  if (!ky) return std::nullopt;
  double eta = 0, etm = 0;
  for (const BalanceDay& d : days) {
    eta += d.etc_adj;
    etm += d.etc;
  }
  if (!(etm > 0)) return std::nullopt;
  return 100.0 * (1.0 - yield_share(*ky, eta, etm));
}

std::optional<double> staged_yield_reduction(const std::array<std::optional<double>, 4>& ky,
                                             std::span<const BalanceDay> days) {
  if (std::any_of(ky.begin(), ky.end(), [](const auto& k) { return !k; })) return std::nullopt;
  std::array<double, 4> eta{}, etm{};
  for (const BalanceDay& d : days) {
    // Days after the late stage belong to no stage's yield.
    const auto stage = static_cast<std::size_t>(d.stage);
    if (stage >= ky.size()) continue;
    eta[stage] += d.etc_adj;
    etm[stage] += d.etc;
  }
  double share = 1;
  for (std::size_t i = 0; i < ky.size(); ++i)
    share *= yield_share(*ky[i], eta[i], etm[i]);
  return 100.0 * (1.0 - share);
}

}  // namespace vantrel
