#include "data/text_tables.hpp"

#include <iostream>

#include "data/path_text.hpp"
#include "data/reference_file.hpp"

namespace vantrel {

namespace {

template <class Row>
void load_text_table(const std::filesystem::path& file, int header_lines, TextTable<Row>& table,
                     std::ostream& warnings) {
  table = TextTable<Row>{};
  ReferenceFile unit(file);
  INLINE(unit, header_lines, false);
  LineText line;
  FieldArray fields;  // starts blank: a column no line has supplied yet is blank
  int field_count = 0;
  while (unit.read_line(line) == kReadOk) {
    if (table.row_count == kMaxTableRows) {
      warnings << "warning: " << path_text(file) << " holds more than " << kMaxTableRows
               << " rows; only the first " << kMaxTableRows << " are used\n";
      return;
    }
    SPLIT_STRING(line, ',', fields, field_count);
    table.rows[static_cast<std::size_t>(table.row_count++)] = Row::from_fields(fields);
  }
}

}  // namespace

void load_crop_table(const std::filesystem::path& file, CropTable& table, std::ostream& warnings) {
  load_text_table(file, kCropHeaderLines, table, warnings);
}

void load_crop_table(const std::filesystem::path& file, CropTable& table) {
  load_crop_table(file, table, std::cerr);
}

void load_texture_defaults(const std::filesystem::path& file, TextureDefaults& table,
                           std::ostream& warnings) {
  load_text_table(file, kTextureHeaderLines, table, warnings);
}

void load_texture_defaults(const std::filesystem::path& file, TextureDefaults& table) {
  load_texture_defaults(file, table, std::cerr);
}

}  // namespace vantrel
