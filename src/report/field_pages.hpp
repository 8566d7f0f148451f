// The fields' report laid out (vantrel-batch): summary pages across the profiles, then a page
// per profile with the decision first, its horizons, its figures and two drawings.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "advice/field_advice.hpp"
#include "report/page_flow.hpp"

namespace vantrel::page {

// What the summary keeps of each profile: a row, not the profile.
struct SummaryRow {
  std::string name, crop;
  float root_depth = 0, root_zone_taw = 0, net = 0, gross = 0;
  std::optional<float> interval;
  ProfileStatus status = ProfileStatus::ok;
  int warnings = 0;
};
SummaryRow summary_row(const ProfileResult& r);

// The summary over as many pages as its rows need (one at least).
std::vector<Page> field_summary(const std::vector<SummaryRow>& rows, const Frame& frame);

Page field_page(const ProfileResult& r, const RetentionCurves& curves, double fc_suction,
                const Frame& frame);

// The sentence of the decision: when to irrigate and how much.
std::string decision_sentence(const ProfileResult& r, const Units& units);

// The window's forms: one decimal for depths, contents and water, two for density.
std::string form(double value, int decimals = 1);

}  // namespace vantrel::page
