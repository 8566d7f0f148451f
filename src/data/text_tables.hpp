// The crop list (fao-crop_databse.csv) and the texture defaults (Soil_texture_default.csv):
// tables of texts, kept exactly as they stand in their files.
#pragma once

#include <array>
#include <filesystem>
#include <iosfwd>

#include "data/fields.hpp"
#include "data/text.hpp"

namespace vantrel {

inline constexpr int kMaxTableRows = 100;

struct TextureRow {
  FieldText name;
  FieldText sand;  // %, as text
  FieldText clay;  // %, as text
  FieldText silt;  // %, as text

  static constexpr int kColumns = 4;
  static TextureRow from_fields(const FieldArray& f) { return {f[1], f[2], f[3], f[4]}; }
};

struct CropRow {
  FieldText name;
  FieldText root_depth;         // cm, as text
  FieldText drought_tolerance;  // %, as text

  static constexpr int kColumns = 3;
  static CropRow from_fields(const FieldArray& f) { return {f[1], f[2], f[3]}; }
};

// Up to 100 rows in file order, numbered from 1.
template <class Row>
struct TextTable {
  int row_count = 0;
  std::array<Row, kMaxTableRows> rows{};

  const Row& row(int i) const { return rows.at(static_cast<std::size_t>(i - 1)); }
};

using TextureDefaults = TextTable<TextureRow>;
using CropTable = TextTable<CropRow>;

inline constexpr const char* kCropFileName = "fao-crop_databse.csv";
inline constexpr const char* kTextureFileName = "Soil_texture_default.csv";
inline constexpr int kCropHeaderLines = 4;
inline constexpr int kTextureHeaderLines = 5;

// Loading skips the header lines (a file shorter than its header is a FatalStop), then takes
// every line as a row: a short line keeps the previous line's later columns, a blank line
// repeats the row above, columns that no line has supplied yet are blank. Rows after the
// 100th are ignored with one warning line.
void load_crop_table(const std::filesystem::path& file, CropTable& table, std::ostream& warnings);
void load_crop_table(const std::filesystem::path& file, CropTable& table);
void load_texture_defaults(const std::filesystem::path& file, TextureDefaults& table,
                           std::ostream& warnings);
void load_texture_defaults(const std::filesystem::path& file, TextureDefaults& table);

}  // namespace vantrel
