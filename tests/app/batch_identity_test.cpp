// vantrel-batch gives, text for text, what the window shows for the same clicks.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "data/csv_reader.hpp"
#include "data/number_text.hpp"
#include "support/session.hpp"
#include "ui/control_ids.hpp"

namespace vantrel {
namespace {

using testing::Session;
using testing::TempDir;

struct Update {
  int horizon;
  std::string thickness, sand, clay, stones, density;  // density: blank for none
};

struct Field {
  std::string name;
  std::vector<Update> updates;
  std::string crop;                   // a crop list name, or blank
  std::string root_depth, tolerance;  // given directly when there is no crop
};

// Fields chosen to cross the texture classes, stones, overlapping and out-of-order updates,
// horizons below the reference profiles, the density match and both ways of giving a crop.
const std::vector<Field> kFields = {
    {"loam topsoil", {{1, "30", "40", "20", "0", ""}}, "Maize grain", "", ""},
    {"sandy",
     {{1, "20", "88", "4", "0", ""},
      {2, "35", "75.5", "8", "12.5", ""},
      {3, "45", "60", "15", "30", ""}},
     "Potato",
     "",
     ""},
    {"clay deep",
     {{1, "60", "15", "55", "0", ""},
      {2, "80", "10", "62", "5", ""},
      {3, "90", "8", "70", "0", ""}},
     "",
     "180",
     "35"},
    {"overlap",
     {{1, "25", "35", "30", "10", ""},
      {2, "30", "20", "40", "0", ""},
      {1, "40", "35", "30", "10", ""}},
     "Winter wheat",
     "",
     ""},
    {"out of order",
     {{3, "20", "50", "20", "0", ""}, {2, "30", "30", "12", "0", ""}},
     "",
     "60",
     "50"},
    {"silty",
     {{1, "15", "10", "8", "0", ""}, {2, "25", "20", "12.3", "40", ""}},
     "Cabbage",
     "",
     ""},
    {"with density",
     {{1, "30", "40", "20", "0", "1.45"}, {2, "30", "40", "25", "0", ""}},
     "",
     "90",
     "55"},
    {"five",
     {{1, "10", "45", "15", "0", ""},
      {2, "20", "45", "18", "0", ""},
      {3, "30", "40", "22", "0", ""},
      {4, "40", "35", "28", "0", ""},
      {5, "50", "30", "33", "0", ""}},
     "Apples and pears",
     "",
     ""},
};

// The horizon spinner's thumb position that shows each horizon number.
int thumb_for(int horizon) {
  return 93 - horizon;
}

// Replays the field in a session as a user would; the density controls are hidden from the
// user, so the session sets them directly, as the option would.
void window_session(Session& session, const Field& f) {
  for (const Update& u : f.updates) {
    session.run("type 1008 " + u.sand + "\ntype 1044 " + u.clay + "\ntype 1048 " + u.stones +
                "\ntype 1032 " + u.thickness + "\nscroll 1039 thumb " +
                std::to_string(thumb_for(u.horizon)) + "\n");
    const bool density = !u.density.empty();
    if (density) {
      ui::dialog_set_text(session.dialog(), 1073, u.density, static_cast<int>(u.density.size()));
    }
    ui::dialog_set_logical(session.dialog(), 1080, density);
    session.run("click 1010\n");
  }
  session.run(f.crop.empty() ? "type 1035 " + f.root_depth + "\ntype 1055 " + f.tolerance + "\n"
                             : "type 1011 " + f.crop + "\n");
  session.run("click 30002\n");
}

std::string batch_input() {
  std::string csv =
      "profile,horizon,thickness,sand,clay,stones,density,crop,root_depth,tolerance\n";
  for (const Field& f : kFields) {
    for (std::size_t i = 0; i < f.updates.size(); ++i) {
      const Update& u = f.updates[i];
      csv += f.name + ',' + std::to_string(u.horizon) + ',' + u.thickness + ',' + u.sand + ',' +
             u.clay + ',' + u.stones + ',' + u.density + ',' + (i == 0 ? f.crop : "") + ',' +
             (i == 0 ? f.root_depth : "") + ',' + (i == 0 ? f.tolerance : "") + '\n';
    }
  }
  return csv;
}

// Rows of a CSV output, keyed by their first columns.
std::vector<std::vector<std::string>> read_rows(const std::filesystem::path& file) {
  std::ifstream in(file);
  CsvReader reader(in);
  CsvRecord r;
  std::vector<std::vector<std::string>> rows;
  bool header = true;
  while (reader.next(r)) {
    if (!header) rows.push_back(r.fields);
    header = false;
  }
  return rows;
}

std::string trimmed(std::string text) {
  while (!text.empty() && text.back() == ' ')
    text.pop_back();
  while (!text.empty() && text.front() == ' ')
    text.erase(text.begin());
  return text;
}

std::string shown(const std::string& number, int width, int decimals) {
  float v = 0;
  std::istringstream(number) >> v;
  return trimmed(fixed_form(v, width, decimals));
}

TEST(BatchIdentity, EveryNumberTheWindowShows) {
  TempDir dir;
  dir.write("fields.csv", batch_input());
  const std::string command = std::string(VANTREL_BATCH) + " --quiet --data " +
                              testing::kBundled.string() + " --horizons " +
                              (dir / "h.csv").string() + " --results " + (dir / "r.csv").string() +
                              " " + (dir / "fields.csv").string() + " 2>&1";
  const int status = std::system(command.c_str());
  ASSERT_EQ(WEXITSTATUS(status), 0);
  const auto horizons = read_rows(dir / "h.csv");
  const auto results = read_rows(dir / "r.csv");
  ASSERT_EQ(results.size(), kFields.size());

  std::size_t compared = 0;
  for (std::size_t p = 0; p < kFields.size(); ++p) {
    const Field& f = kFields[p];
    SCOPED_TRACE(f.name);
    Session session;
    ASSERT_TRUE(session.started());
    window_session(session, f);
    ASSERT_EQ(session.status(), 0) << session.errors();

    const auto& r = results[p];
    ASSERT_EQ(r[0], f.name);
    EXPECT_NE(r[1], "error") << r.back();
    const int result_fields[4] = {1069, 1070, 1071, 1072};
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ(trimmed(session.text(result_fields[k])), shown(r[5 + k], 5, 1));
      ++compared;
    }
    for (const auto& h : horizons) {
      if (h[0] != f.name) continue;
      const int number = std::stoi(h[1]);
      const TableRow& cell = table_row(number);
      // top, bottom, texture, density, fc, sp, wp as the table shows them
      EXPECT_EQ(trimmed(session.text(cell.top)), shown(h[2], 5, 1));
      EXPECT_EQ(trimmed(session.text(cell.bottom)), shown(h[3], 5, 1));
      EXPECT_EQ(trimmed(session.text(cell.texture)), h[4]);
      EXPECT_EQ(trimmed(session.text(cell.density)), shown(h[5], 6, 2));
      EXPECT_EQ(trimmed(session.text(cell.fc)), shown(h[6], 5, 1));
      EXPECT_EQ(trimmed(session.text(cell.sp)), shown(h[7], 5, 1));
      EXPECT_EQ(trimmed(session.text(cell.wp)), shown(h[8], 5, 1));
      compared += 7;
    }
  }
  EXPECT_GT(compared, 150U);
}

// A crop file whose texts the window and the batch tool read alike: a slash ends the number,
// a text without a number or a value out of range is refused by both, with the same words.
TEST(BatchIdentity, CropFilesAndTypedTextsReadAlike) {
  TempDir data;
  testing::copy_reference_files(data.path());
  std::filesystem::remove(data / kCropFileName);
  data.write(kCropFileName,
             "h\nh\nh\nh\nSlash crop,30/60,55 %/day\nNo depth,/3,50\nToo tolerant,40,150\n");
  struct Case {
    std::string window_input;  // what the window is given before "Calculate"
    std::string batch_cells;   // crop,root_depth,tolerance of the batch row
    std::string refusal;       // empty: both compute
  } cases[] = {
      {"type 1011 Slash crop\n", "Slash crop,,", ""},
      {"type 1011 No depth\n", "No depth,,", "root depth \"/3\" is not 0 cm or more"},
      {"type 1011 Too tolerant\n", "Too tolerant,,",
       "drought tolerance \"150\" is not from 0 to 100 %"},
      {"type 1035 1,5\ntype 1055 50\n", ",\"1,5\",50", "decimals need a point, as in 1.5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.window_input);
    Session session(data.path());
    ASSERT_TRUE(session.started());
    const std::string said = session.run("click 1010\n" + c.window_input + "click 30002\n");

    TempDir dir;
    dir.write("in.csv",
              "profile,horizon,thickness,sand,clay,stones,crop,root_depth,tolerance\n"
              "p,1,10,40,20,0," +
                  c.batch_cells + "\n");
    const std::string command = std::string(VANTREL_BATCH) + " --quiet --data " +
                                data.path().string() + " --results " + (dir / "r.csv").string() +
                                " " + (dir / "in.csv").string() + " > " + (dir / "err").string() +
                                " 2>&1";
    const int status = WEXITSTATUS(std::system(command.c_str()));
    const std::string errors = testing::read_all(dir / "err");
    if (c.refusal.empty()) {
      EXPECT_EQ(said, "");
      ASSERT_EQ(status, 0) << errors;
      const auto r = read_rows(dir / "r.csv");
      ASSERT_EQ(r.size(), 1U);
      const int result_fields[4] = {1069, 1070, 1071, 1072};
      for (int k = 0; k < 4; ++k)
        EXPECT_EQ(trimmed(session.text(result_fields[k])), shown(r[0][5 + k], 5, 1));
      EXPECT_NE(session.text(1072), session.text(1071));  // the tolerance was read: RP < FP
    } else {
      EXPECT_NE(said.find(c.refusal), std::string::npos) << said;
      EXPECT_EQ(session.text(1072), "");
      EXPECT_NE(status, 0);
      EXPECT_NE(errors.find(c.refusal), std::string::npos) << errors;
    }
  }
}

}  // namespace
}  // namespace vantrel
