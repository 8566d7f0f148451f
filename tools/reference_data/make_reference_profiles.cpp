// Writes the synthetic reference profiles alone, in the format of Soil_WRC.csv: the profiles the
// bundled set takes for its thin classes, and the synthetic-only set the validation compares.
//   make_reference_profiles [N] > synthetic.csv
// With N, only the first N profiles (the same as the full set's).
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "reference_data/synthetic_profiles.hpp"

int main(int argc, char** argv) {
  using namespace vantrel::reference_data;
  const int count = argc > 1 ? std::atoi(argv[1]) : kSyntheticProfiles;
  Misfits misfits;
  const auto profiles = synthetic_profiles(count, misfits);
  if (!profiles) return 1;
  for (const SyntheticProfile& p : *profiles)
    std::cout << vantrel::reference_profile_text(p.reference);
  std::fprintf(stderr,
               "largest misfit to Saxton & Rawls at 33, 100 and 1500 kPa: %.2f %%vol "
               "(profile %d, layer %d, at %.0f kPa)\n"
               "at 10 kPa the curves lie %.1f to %.1f %%vol below their straight wet segment\n",
               misfits.misfit, misfits.profile, misfits.layer, misfits.at, misfits.segment_low,
               misfits.segment_high);
  return std::cout ? 0 : 1;
}
