// The dialog as the web page receives it: every control of the template in tab order at its
// place in the page font's pixels, named as the desktop views name it, and each control's state,
// as JSON the page can read whatever the texts hold.
#include "ui/dialog_page.hpp"

#include <gtest/gtest.h>

#include <string>

#include "support/json_tree.hpp"
#include "ui/control_ids.hpp"
#include "ui/dialog_geometry.hpp"
#include "ui/dialog_help.hpp"

namespace vantrel::ui {
namespace {

using test::Json;
using test::JsonReader;

Json parsed(const std::string& text) {
  const auto json = JsonReader::parse(text);
  EXPECT_TRUE(json.has_value()) << text.substr(0, 400);
  return json.value_or(Json{});
}

TEST(DialogPage, TheTemplateReachesThePageWholeInTabOrderAtItsPixels) {
  const DialogTemplate& t = *find_template(kMainDialog);
  for (const DialogUnits units : {DialogUnits{7, 14}, DialogUnits{6, 13}, DialogUnits{14, 28}}) {
    const Json page = parsed(page_template(t, units));
    EXPECT_EQ(page["caption"].string, t.caption);
    EXPECT_EQ(page["width"].integer(), units.x(t.rect.width));
    EXPECT_EQ(page["height"].integer(), units.y(t.rect.height));
    ASSERT_EQ(page["controls"].items.size(), t.controls.size());
    for (std::size_t i = 0; i < t.controls.size(); ++i) {
      const TemplateControl& item = t.controls[i];
      const Json& c = page["controls"][i];
      SCOPED_TRACE("control " + std::to_string(item.order));
      EXPECT_EQ(c["order"].integer(), static_cast<int>(i) + 1);
      EXPECT_EQ(c["id"].integer(), item.id);
      EXPECT_EQ(c["kind"].string, kind_name(item.kind));
      EXPECT_EQ(c["x"].integer(), units.x(item.rect.x));
      EXPECT_EQ(c["y"].integer(), units.y(item.rect.y));
      EXPECT_EQ(c["width"].integer(), units.x(item.rect.width));
      const bool combo = item.kind == ControlKind::combo_box;
      // A combo box is placed by its closed field; its list drops as far as the template says.
      EXPECT_EQ(c["height"].integer(), units.y(combo ? kComboEditHeight : item.rect.height));
      if (combo) {
        EXPECT_EQ(c["rows"].integer(),
                  dropped_rows(units.y(item.rect.height), units.y(kComboEditHeight), units.base_y));
      }
      EXPECT_EQ(c["focus"].boolean, takes_focus(item));
      EXPECT_EQ(c["hidden"].boolean, item.hidden);
      EXPECT_EQ(c["defaultButton"].boolean, item.default_button);
      if (item.kind == ControlKind::picture) {
        EXPECT_EQ(c["name"].string, picture_name(item.bitmap));
      } else if (item.id != kNoId) {
        EXPECT_EQ(c["name"].string, control_help(item.id).name);
        EXPECT_EQ(c["description"].string, control_help(item.id).tooltip);
      }
    }
    EXPECT_EQ(page["spinners"].items.size(), spinner_edits(t).size());
  }
}

TEST(DialogPage, ScreenReadersHearWhatTheDesktopSays) {
  const Json page = parsed(page_template(*find_template(kMainDialog), DialogUnits{7, 14}));
  int named_inputs = 0;
  int unnamed_frames = 0;
  for (const Json& c : page["controls"].items) {
    const std::string& kind = c["kind"].string;
    if (kind == "edit" || kind == "combo_box" || kind == "scroll_bar" || kind == "push_button") {
      EXPECT_FALSE(c["name"].string.empty()) << "control " << c["id"].integer();
      ++named_inputs;
    }
    if (kind == "frame" && c["caption"].string.find_first_not_of(' ') == std::string::npos) {
      EXPECT_EQ(c["name"].string, "output table");
      ++unnamed_frames;
    }
  }
  EXPECT_GT(named_inputs, 20);
  EXPECT_GT(unnamed_frames, 0);
}

// A control of the main window with the state a test gives it.
struct StateCase {
  int id;
  std::string text;
  std::vector<std::string> entries;
  std::string shown;  // the text the control shows
};

TEST(DialogPage, EachKindSendsItsOwnStateAndAnyTextArrivesReadable) {
  Dialog dialog;
  ASSERT_TRUE(dialog_init(kMainDialog, dialog));
  const std::vector<StateCase> cases = {
      {id::sand, "  40.0              ", {}, "40.0"},  // an edit, centred: no padding shown
      {id::texture_label, "loam                ", {}, "loam"},
      {id::crop_list, "Maize \"grain\"", {"Alfalfa", "Maize \"grain\"", "line\nbreak"}, ""},
      {id::texture_list, "bad \xff byte\x01", {}, ""},
      {id::update_profile, "Update profile", {}, "Update profile"},
      {id::sand_bar, "", {}, ""},
  };
  for (const StateCase& k : cases) {
    Control* c = dialog.control(k.id);
    ASSERT_NE(c, nullptr);
    c->text = k.text;
    c->entries = k.entries;
    c->position = 61;
    c->range_min = 5;
    c->range_max = 95;
    c->checked = true;
    const Json state = parsed(page_state(*c));
    SCOPED_TRACE("control " + std::to_string(k.id));
    EXPECT_EQ(state["id"].integer(), k.id);
    const ControlKind kind = c->item->kind;
    EXPECT_EQ(state.members.count("entries"), kind == ControlKind::combo_box ? 1U : 0U);
    EXPECT_EQ(state.members.count("position"), kind == ControlKind::scroll_bar ? 1U : 0U);
    EXPECT_EQ(state.members.count("checked"), kind == ControlKind::check_box ? 1U : 0U);
    if (kind == ControlKind::scroll_bar) {
      EXPECT_EQ(state["position"].integer(), 61);
      EXPECT_EQ(state["min"].integer(), 5);
      EXPECT_EQ(state["max"].integer(), 95);
    }
    if (kind == ControlKind::combo_box) {
      ASSERT_EQ(state["entries"].items.size(), k.entries.size());
    }
    if (!k.shown.empty() || kind != ControlKind::combo_box) {
      EXPECT_EQ(state["text"].string, k.shown);
    }
  }
  // Quotes, line breaks, control characters and bytes that are not UTF-8 stay readable JSON.
  const Json crops = parsed(page_state(*dialog.control(id::crop_list)));
  EXPECT_EQ(crops["value"].string, "Maize \"grain\"");
  EXPECT_EQ(crops["entries"][2].string, "line\nbreak");
  const Json texture = parsed(page_state(*dialog.control(id::texture_list)));
  EXPECT_EQ(texture["value"].string, "bad \xef\xbf\xbd byte\x01");
}

}  // namespace
}  // namespace vantrel::ui
