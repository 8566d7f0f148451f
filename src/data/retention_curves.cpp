#include "data/retention_curves.hpp"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>

#include "data/fields.hpp"
#include "data/path_text.hpp"
#include "data/reference_file.hpp"
#include "data/text.hpp"

namespace vantrel {

LayerGrid* RetentionCurves::column(int c) {
  switch (c) {
    case 1:
      return &density;
    case 3:
      return &theta_s;
    case 4:
      return &theta_r;
    case 5:
      return &alpha;
    case 6:
      return &n;
    case 7:
      return &m;
    case 8:
    case 9:
    case 10:
    case 11:
      return &further[static_cast<std::size_t>(c - 8)];
    case 12:
      return &clay;
    case 13:
      return &sand;
    default:
      return nullptr;
  }
}

namespace {

constexpr int kHeaderLines = 3;
constexpr int kNumericColumns[] = {1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};

std::string conversion_report(const ReferenceFile& unit, int column, const NumberText& text) {
  return "conversion error, unit " + std::to_string(ReferenceFile::kUnit) + ", file " +
         path_text(unit.path()) + ", line " + std::to_string(unit.line_number()) + ", column " +
         std::to_string(column) + ": \"" + std::string(text.trimmed()) + "\" is not a number";
}

constexpr int kColumns = 13;

// Reads the 3 header lines of the next profile; false at the end of the file, with `read` the
// header lines there were.
bool read_profile_header(ReferenceFile& unit, LineText& line, int& read) {
  for (read = 0; read < kHeaderLines; ++read) {
    if (unit.read_line(line) != kReadOk) return false;
  }
  return true;
}

void note(std::vector<RetentionDefect>* defects, int profile, int line, std::string reason,
          bool file_ends = false) {
  if (defects != nullptr) defects->push_back({profile, line, std::move(reason), file_ends});
}

}  // namespace

void load_retention_curves(const std::filesystem::path& file, RetentionCurves& table,
                           std::ostream& warnings, std::vector<RetentionDefect>* defects) {
  table = RetentionCurves{};
  ReferenceFile unit(file);
  LineText line;
  FieldArray fields;  // starts blank: a column no line has supplied reads as blank
  int field_count = 0;
  int header_lines = 0;

  while (read_profile_header(unit, line, header_lines) || header_lines > 0) {
    if (header_lines < kHeaderLines) {
      note(defects, 0, unit.line_number(),
           "the file ends inside the header of reference profile " +
               std::to_string(table.profile_count + 1) + ", which is not used",
           true);
      return;
    }
    if (table.profile_count == kMaxProfiles) {
      warnings << "warning: " << path_text(file) << " holds more than " << kMaxProfiles
               << " reference profiles; only the first " << kMaxProfiles << " are used\n";
      return;
    }
    const int k = ++table.profile_count;
    for (int j = 1; j <= kLayers; ++j) {
      if (unit.read_line(line) != kReadOk) {
        note(defects, k, unit.line_number(),
             "reference profile " + std::to_string(k) + " ends after " + std::to_string(j - 1) +
                 " of its " + std::to_string(kLayers) + " layers: the others hold 0",
             true);
        return;
      }
      SPLIT_STRING(line, ',', fields, field_count);
      if (field_count < kColumns) {
        note(defects, k, unit.line_number(),
             "layer " + std::to_string(j) + " of reference profile " + std::to_string(k) + " has " +
                 std::to_string(field_count) + " of its " + std::to_string(kColumns) +
                 " columns: the others keep the values of the line above");
      }
      for (const int c : kNumericColumns) {
        const NumberText number(fields[c].view().substr(0, kNumberLength));
        if (STRING_TO_REAL(number, (*table.column(c))(k, j)) == FreeFormRead::error) {
          throw FatalStop(conversion_report(unit, c, number));
        }
      }
    }
  }
}

std::string reference_text_line(std::string text) {
  if (text.size() > 250) text.resize(250);  // a line is read up to 256 characters
  return text + '\n';
}

std::string reference_columns_line() {
  return "density kg/L,horizon,theta_s %vol,theta_r %vol,alpha 1/kPa,n,m,Ks cm/d,organic "
         "matter %,silt %,layer bottom cm,clay %,sand %\n";
}

std::string reference_layer_line(const ReferenceLayer& l) {
  std::string label = l.label.substr(0, 16);
  std::replace(label.begin(), label.end(), ',', ' ');
  const auto optional = [](const std::optional<double>& v) {
    if (!v) return std::string();
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", *v);
    return std::string(text);
  };
  char line[256];
  std::snprintf(line, sizeof line, "%.3f,%s,%.2f,%.2f,%.5f,%.4f,%.4f,%s,%s,%.1f,%d,%.1f,%.1f\n",
                l.density, label.c_str(), l.theta_s, l.theta_r, l.alpha, l.n, l.m,
                optional(l.ks).c_str(), optional(l.organic_matter).c_str(), l.silt, l.bottom,
                l.clay, l.sand);
  return line;
}

std::string reference_profile_text(const ReferenceProfile& profile) {
  std::string text = reference_text_line(profile.title) + reference_text_line(profile.source) +
                     reference_columns_line();
  for (const ReferenceLayer& layer : profile.layers)
    text += reference_layer_line(layer);
  return text;
}

void load_retention_curves(const std::filesystem::path& file, RetentionCurves& table) {
  load_retention_curves(file, table, std::cerr);
}

}  // namespace vantrel
