// The batch input reader on arbitrary bytes: the header, the grouping into profiles, each
// profile's checks and replay on a small table, and its outputs.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>

#include "advice/profile_reader.hpp"
#include "batch/batch_output.hpp"

namespace {

struct Tables {
  Tables() {
    for (int k = 1; k <= 3; ++k) {
      for (int j = 1; j <= vantrel::kLayers; ++j) {
        curves->sand(k, j) = 20.0F * static_cast<float>(k);
        curves->clay(k, j) = 10.0F + static_cast<float>(j);
        curves->density(k, j) = 1.3F;
        curves->theta_s(k, j) = 45.0F;
        curves->theta_r(k, j) = 5.0F;
        curves->alpha(k, j) = 0.1F;
        curves->n(k, j) = 1.5F;
        curves->m(k, j) = 1.0F / 3.0F;
      }
    }
    curves->profile_count = 3;
    crops->row_count = 2;
    crops->rows[0] = {vantrel::FieldText("Maize"), vantrel::FieldText("100"),
                      vantrel::FieldText("55")};
    crops->rows[1] = {vantrel::FieldText("Odd"), vantrel::FieldText("x"), vantrel::FieldText("")};
  }
  std::unique_ptr<vantrel::RetentionCurves> curves = std::make_unique<vantrel::RetentionCurves>();
  std::unique_ptr<vantrel::CropTable> crops = std::make_unique<vantrel::CropTable>();
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vantrel;
  static const Tables tables;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::istringstream in(bytes);
  CsvReader reader(in, 512, kFindSeparator);  // commas, or semicolons and decimal commas
  CsvRecord header;
  if (!reader.next(header) || !header.error.empty()) return 0;
  ColumnMap columns;
  std::string error;
  std::vector<std::string> ignored;
  if (!columns.read(header.fields, error, ignored)) return 0;
  columns.decimal_comma = reader.separator() == ';';
  const CsvFormat format = columns.decimal_comma ? CsvFormat{';', ','} : CsvFormat{};
  const float suction = size % 2 == 0 ? 10.0F : 33.0F;  // the window's FC, and another
  std::istringstream again(bytes);
  CsvReader first_pass(again, 512, reader.separator());
  CsvRecord skipped;
  first_pass.next(skipped);
  SplitProfiles split;
  if (!split.find(first_pass, columns, error)) __builtin_trap();
  ProfileReader profiles(reader, columns, split);
  ProfileInput profile;
  BadLines bad_lines;
  const AdviceTables batch(*tables.curves, *tables.crops);
  while (profiles.next(profile, bad_lines)) {
    if (profile.rows.size() > static_cast<std::size_t>(kMaxRowsPerProfile)) __builtin_trap();
    const ProfileResult r = compute_profile(batch, columns, profile, {suction, true});
    if (r.status == ProfileStatus::error && r.message.empty()) __builtin_trap();
    if (r.status == ProfileStatus::error && !r.horizons.empty()) __builtin_trap();
    const std::string out =
        horizons_rows(r, format) + results_row(r, suction, format) + json_profile(r);
    if (out.empty()) __builtin_trap();
    bad_lines = BadLines{};
  }
  return 0;
}
