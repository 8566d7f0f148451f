// The dialog operations on the dialog object alone, without a window.
#include "ui/dialog.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "ui/dialog_geometry.hpp"

namespace vantrel::ui {
namespace {

using Calls = std::vector<std::pair<int, int>>;

class DialogOperations : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dialog_init(kMainDialog, dialog)); }

  Callback recorder() {
    return [this](Dialog&, int id, int event) { calls.emplace_back(id, event); };
  }

  Dialog dialog;
  Calls calls;
};

TEST(DialogTemplate, HasEveryControlOnceInCreationOrder) {
  const DialogTemplate* t = find_template(kMainDialog);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(find_template(102), nullptr);
  ASSERT_EQ(t->controls.size(), 115U);
  std::set<int> ids;
  int order = 0;
  for (const TemplateControl& c : t->controls) {
    EXPECT_EQ(c.order, ++order);
    if (c.id != kNoId) {
      EXPECT_TRUE(ids.insert(c.id).second) << "id twice: " << c.id;
    }
    EXPECT_GE(c.rect.x, 0);
    EXPECT_LE(c.rect.x + c.rect.width, t->rect.width) << c.order;
    EXPECT_LE(c.rect.y + c.rect.height, t->rect.height) << c.order;
  }
  EXPECT_EQ(ids.size(), 69U);  // 2 buttons, 13 edits, 8 bars, 2 combos, 2 boxes, 42 texts
  EXPECT_EQ(t->caption, std::string(111, ' ') + "Vantrel (Version 1.5.3)");
}

TEST(DialogTemplate, OutputCellsStartAsDots) {
  Dialog dialog;
  ASSERT_TRUE(dialog_init(kMainDialog, dialog));
  const std::vector<int> cells = {1018, 1019, 1013, 1075, 1031, 1020, 1058, 1021, 1022, 1023,
                                  1014, 1079, 1042, 1034, 1062, 1051, 1024, 1025, 1015, 1076,
                                  1043, 1036, 1059, 1052, 1027, 1028, 1016, 1077, 1047, 1037,
                                  1060, 1053, 1029, 1030, 1017, 1078, 1050, 1040, 1061, 1054};
  for (const int id : cells) {
    std::string text;
    ASSERT_TRUE(dialog_get_text(dialog, id, text)) << id;
    EXPECT_EQ(text, ".") << id;
  }
}

TEST_F(DialogOperations, UnknownTemplateAndControls) {
  Dialog other;
  EXPECT_FALSE(dialog_init(7, other));
  std::string text;
  EXPECT_FALSE(dialog_get_text(dialog, 4242, text));
  EXPECT_FALSE(dialog_set_text(dialog, 4242, "x", 1));
  int value = 0;
  EXPECT_FALSE(dialog_set_int(dialog, 1008, 5));  // an edit has no number
  EXPECT_FALSE(dialog_get_int(dialog, 1008, value));
  EXPECT_FALSE(dialog_set_logical(dialog, 1026, true));
  EXPECT_FALSE(dialog_show_modeless(dialog));  // no window to show it in
}

TEST_F(DialogOperations, TextsAreReadBlankPaddedOrCut) {
  ASSERT_TRUE(dialog_set_text(dialog, 1008, "40.0", 4));
  NumberText field;
  ASSERT_TRUE(dialog_get_text(dialog, 1008, field));
  EXPECT_EQ(field.view(), "40.0                ");
  ASSERT_TRUE(dialog_set_text(dialog, 1008, "123456789012345678901234", 24));
  ASSERT_TRUE(dialog_get_text(dialog, 1008, field));
  EXPECT_EQ(field.view(), "12345678901234567890");
  ASSERT_TRUE(dialog_set_text(dialog, 1008, "abcdef", 3));  // only `length` characters
  std::string text;
  ASSERT_TRUE(dialog_get_text(dialog, 1008, text));
  EXPECT_EQ(text, "abc");
  ASSERT_TRUE(dialog_set_text(dialog, 1069, "  60.0" + std::string(14, ' '), 20));
  ASSERT_TRUE(dialog_get_text(dialog, 1069, text));
  EXPECT_EQ(text.size(), 20U);  // trailing blanks are kept
}

TEST_F(DialogOperations, ComboListEntries) {
  int count = -1;
  ASSERT_TRUE(dialog_get_int(dialog, 1011, count));
  EXPECT_EQ(count, 0);
  ASSERT_TRUE(dialog_set_int(dialog, 1011, 2, sel_list_count));
  ASSERT_TRUE(dialog_set_text(dialog, 1011, "Grass", 5, 1));
  ASSERT_TRUE(dialog_set_text(dialog, 1011, "Maize grain", 11, 2));
  EXPECT_FALSE(dialog_set_text(dialog, 1011, "Oats", 4, 3));
  EXPECT_FALSE(dialog_set_text(dialog, 1011, "Oats", 4, 0));
  EXPECT_FALSE(dialog_set_text(dialog, 1008, "Oats", 4, 1));  // entries only on combo boxes
  EXPECT_FALSE(dialog_set_int(dialog, 1011, -1));
  EXPECT_FALSE(dialog_set_int(dialog, 1011, 3, sel_position));
  ASSERT_TRUE(dialog_get_int(dialog, 1011, count, sel_list_count));
  EXPECT_EQ(count, 2);
  EXPECT_EQ(dialog.control(1011)->entries[1], "Maize grain");
}

TEST_F(DialogOperations, ScrollBarsStartAtTheirDefaults) {
  int value = -1;
  ASSERT_TRUE(dialog_get_int(dialog, 1026, value));
  EXPECT_EQ(value, 0);
  ASSERT_TRUE(dialog_get_int(dialog, 1026, value, sel_range_min));
  EXPECT_EQ(value, 1);
  ASSERT_TRUE(dialog_get_int(dialog, 1026, value, sel_range_max));
  EXPECT_EQ(value, 100);
  EXPECT_EQ(dialog.control(1026)->line_step, 1);
  EXPECT_EQ(dialog.control(1026)->page_step, 10);
  EXPECT_FALSE(dialog_set_int(dialog, 1026, 1, sel_list_count));
}

TEST_F(DialogOperations, ScrollMovesThenClampsIntoTheRange) {
  ASSERT_TRUE(dialog_set_callback(dialog, 1026, recorder()));
  ASSERT_TRUE(dialog_set_int(dialog, 1026, 110, sel_position));
  int value = 0;
  ASSERT_TRUE(dialog_get_int(dialog, 1026, value));
  EXPECT_EQ(value, 110);  // stored as given

  dialog.notify_scroll(1026, ScrollAction::line_up);  // 109, clamped to 100
  ASSERT_TRUE(dialog_get_int(dialog, 1026, value));
  EXPECT_EQ(value, 100);
  ASSERT_TRUE(dialog_set_int(dialog, 1026, 110));
  dialog.notify_scroll(1026, ScrollAction::line_down);  // 111, clamped to 100
  ASSERT_TRUE(dialog_get_int(dialog, 1026, value));
  EXPECT_EQ(value, 100);

  const auto after = [&](ScrollAction action, int thumb = 0) {
    dialog.notify_scroll(1026, action, thumb);
    int v = 0;
    dialog_get_int(dialog, 1026, v);
    return v;
  };
  EXPECT_EQ(after(ScrollAction::page_up), 90);
  EXPECT_EQ(after(ScrollAction::line_up), 89);
  EXPECT_EQ(after(ScrollAction::page_down), 99);
  EXPECT_EQ(after(ScrollAction::page_down), 100);
  EXPECT_EQ(after(ScrollAction::thumb, 42), 42);
  EXPECT_EQ(after(ScrollAction::thumb, 500), 100);
  EXPECT_EQ(after(ScrollAction::top), 1);
  EXPECT_EQ(after(ScrollAction::line_up), 1);
  EXPECT_EQ(after(ScrollAction::bottom), 100);
  EXPECT_EQ(calls.size(), 11U);
  for (const auto& [id, event] : calls) {
    EXPECT_EQ(id, 1026);
    EXPECT_EQ(event, ev_changed);
  }
}

TEST_F(DialogOperations, ExtremePositionsDoNotOverflow) {
  ASSERT_TRUE(dialog_set_int(dialog, 1026, 2147483647));
  ASSERT_TRUE(dialog_set_int(dialog, 1026, 2147483647, sel_range_max));
  dialog.notify_scroll(1026, ScrollAction::page_down);
  EXPECT_EQ(dialog.control(1026)->position, 2147483647);
  ASSERT_TRUE(dialog_set_int(dialog, 1026, -2147483647 - 1, sel_range_min));
  ASSERT_TRUE(dialog_set_int(dialog, 1026, -2147483647 - 1));
  dialog.notify_scroll(1026, ScrollAction::page_up);
  EXPECT_EQ(dialog.control(1026)->position, -2147483647 - 1);
  ASSERT_TRUE(dialog_set_int(dialog, 1026, 50, sel_range_min));  // min above max: min wins
  ASSERT_TRUE(dialog_set_int(dialog, 1026, 10, sel_range_max));
  dialog.notify_scroll(1026, ScrollAction::line_down);
  EXPECT_EQ(dialog.control(1026)->position, 50);
}

TEST_F(DialogOperations, RangeSetInACallbackActsFromTheNextScroll) {
  ASSERT_TRUE(dialog_set_callback(dialog, 1026, [](Dialog& d, int id, int) {
    dialog_set_int(d, id, -10, sel_range_min);
    dialog_set_int(d, id, 110, sel_range_max);
  }));
  ASSERT_TRUE(dialog_set_int(dialog, 1026, 110));
  dialog.notify_scroll(1026, ScrollAction::line_down);
  EXPECT_EQ(dialog.control(1026)->position, 100);  // the first click uses 1..100
  dialog.notify_scroll(1026, ScrollAction::line_down);
  EXPECT_EQ(dialog.control(1026)->position, 101);  // the next one -10..110
  dialog.notify_scroll(1026, ScrollAction::thumb, -50);
  EXPECT_EQ(dialog.control(1026)->position, -10);
}

TEST_F(DialogOperations, CallbackRegistrationByKindAndEvent) {
  EXPECT_TRUE(dialog_set_callback(dialog, 1011, recorder(), ev_selection_changed));
  EXPECT_TRUE(dialog_set_callback(dialog, 1011, recorder(), ev_edit_update));
  for (const int accepted : {ev_double_clicked, ev_changed, ev_gained_focus, ev_lost_focus}) {
    EXPECT_TRUE(dialog_set_callback(dialog, 1012, recorder(), accepted)) << accepted;
  }
  for (const int refused : {ev_clicked, ev_dialog_init, ev_dialog_destroyed, -1, 5}) {
    EXPECT_FALSE(dialog_set_callback(dialog, 1011, recorder(), refused)) << refused;
  }
  EXPECT_TRUE(dialog_set_callback(dialog, 1010, recorder()));
  EXPECT_FALSE(dialog_set_callback(dialog, 1010, recorder(), ev_changed));
  EXPECT_FALSE(dialog_set_callback(dialog, 1008, recorder()));  // an edit sends nothing
  EXPECT_FALSE(dialog_set_callback(dialog, 1057, recorder()));
  EXPECT_FALSE(dialog_set_callback(dialog, 4242, recorder()));
  EXPECT_FALSE(dialog_set_callback(dialog, 1026, Callback{}));
  EXPECT_TRUE(dialog_set_callback(dialog, kMainDialog, recorder()));
  EXPECT_FALSE(dialog_set_callback(dialog, kMainDialog, recorder(), ev_clicked));
}

TEST_F(DialogOperations, ComboEventsAndTheNewEntryText) {
  dialog_set_int(dialog, 1012, 2);
  dialog_set_text(dialog, 1012, "loam", 4, 1);
  dialog_set_text(dialog, 1012, "sand", 4, 2);
  std::string seen;
  dialog_set_callback(
      dialog, 1012,
      [&](Dialog& d, int id, int event) {
        calls.emplace_back(id, event);
        dialog_get_text(d, id, seen);
      },
      ev_selection_changed);
  dialog_set_callback(dialog, 1012, recorder(), ev_edit_update);
  dialog.notify_selected(1012, 2);
  EXPECT_EQ(seen, "sand");
  dialog.notify_selected(1012, 3);  // no such entry: nothing happens
  dialog.notify_edited(1012, "lo");
  std::string text;
  dialog_get_text(dialog, 1012, text);
  EXPECT_EQ(text, "lo");
  dialog.notify_focus(1012, true);  // not registered: no call
  EXPECT_EQ(calls, (Calls{{1012, ev_selection_changed}, {1012, ev_edit_update}}));
}

TEST_F(DialogOperations, CheckBoxClickTogglesThenCalls) {
  bool during = false;
  dialog_set_callback(dialog, 1010,
                      [&](Dialog& d, int id, int) { dialog_get_logical(d, id, during); });
  dialog.notify_clicked(1010);
  EXPECT_TRUE(during);
  bool now = false;
  dialog_get_logical(dialog, 1010, now);
  EXPECT_TRUE(now);
  dialog.notify_clicked(1010);
  dialog_get_logical(dialog, 1010, now);
  EXPECT_FALSE(now);
}

TEST_F(DialogOperations, ExitClosesOnceAndTellsTheDialogRoutine) {
  dialog_set_callback(dialog, kMainDialog, recorder());
  dialog.notify_clicked(30001);  // "Exit" has no routine: it closes the dialog
  dialog.notify_clicked(30001);
  EXPECT_FALSE(dialog_exit(dialog));
  EXPECT_TRUE(dialog.destroyed());
  EXPECT_EQ(calls, (Calls{{kMainDialog, ev_dialog_destroyed}}));
}

TEST_F(DialogOperations, ButtonWithARoutineDoesNotClose) {
  dialog_set_callback(dialog, 30002, recorder());
  dialog.notify_clicked(30002);
  EXPECT_FALSE(dialog.destroyed());
  EXPECT_EQ(calls, (Calls{{30002, ev_clicked}}));
}

TEST_F(DialogOperations, CallbacksRunOneAtATime) {
  std::vector<std::string> log;
  dialog_set_callback(dialog, kMainDialog, [&](Dialog&, int, int event) {
    log.push_back("dialog " + std::to_string(event));
  });
  dialog_set_callback(dialog, 1026, [&](Dialog& d, int, int) {
    log.emplace_back("scroll begins");
    d.notify_clicked(1010);  // arrives during this callback: waits for its end
    dialog_exit(d);
    log.emplace_back("scroll ends");
  });
  dialog_set_callback(dialog, 1010, [&](Dialog&, int, int) { log.emplace_back("check box"); });
  dialog.notify_scroll(1026, ScrollAction::line_down);
  EXPECT_EQ(log,
            (std::vector<std::string>{"scroll begins", "scroll ends", "check box", "dialog -15"}));
}

TEST_F(DialogOperations, UninitReleasesEverything) {
  dialog_set_text(dialog, 1008, "40.0", 4);
  dialog_uninit(dialog);
  std::string text;
  EXPECT_FALSE(dialog_get_text(dialog, 1008, text));
  EXPECT_EQ(dialog.dialog_template(), nullptr);
  dialog_uninit(dialog);  // twice is harmless
}

}  // namespace
}  // namespace vantrel::ui

namespace vantrel::ui {
namespace {

// The geometry every view takes from the template, without a toolkit.
TEST(DialogGeometry, SpinnersFocusPicturesAndLists) {
  Dialog dialog;
  ASSERT_TRUE(dialog_init(kMainDialog, dialog));
  const DialogTemplate& t = *dialog.dialog_template();
  const auto pairs = spinner_edits(t);
  EXPECT_EQ(pairs.size(), 7U);  // every visible spinner beside its edit box
  for (const auto& [bar, edit] : {std::pair{1026, 1008},
                                  {1045, 1044},
                                  {1039, 1033},
                                  {1041, 1035},
                                  {1056, 1055},
                                  {1049, 1048}}) {
    EXPECT_NE(std::find(pairs.begin(), pairs.end(), std::pair{bar, edit}), pairs.end()) << bar;
  }
  int focus = 0;
  for (const TemplateControl& item : t.controls)
    focus += takes_focus(item) ? 1 : 0;
  EXPECT_EQ(focus, 17);  // the tab stops, hidden controls left out

  const DialogUnits units = DialogUnits::of_font(7.0 * 52, 14);
  EXPECT_EQ(units.pixels({422, 152, 86, 23}).x, 739);
  EXPECT_EQ(units.pixels({422, 152, 86, 23}).height, 40);

  struct Case {
    int picture_w, picture_h, shown_w, shown_h;
    Rect part;
  } cases[] = {
      {176, 310, 151, 277, {13, 17, 151, 277}},  // larger: its centre, halves taken apart
      {176, 310, 200, 400, {0, 0, 176, 310}},    // smaller: whole, for the label to centre
      {100, 50, 100, 20, {0, 15, 100, 20}},
  };
  for (const Case& c : cases) {
    const Rect part = centred_part(c.picture_w, c.picture_h, c.shown_w, c.shown_h);
    EXPECT_EQ(std::tuple(part.x, part.y, part.width, part.height),
              std::tuple(c.part.x, c.part.y, c.part.width, c.part.height));
  }
  EXPECT_EQ(dropped_rows(75, 25, 14), 4);  // the texture list, 43 dialog units
  EXPECT_EQ(dropped_rows(68, 25, 14), 3);  // the crop list, 39 dialog units
  EXPECT_EQ(dropped_rows(20, 25, 14), 1);
  EXPECT_EQ(dropped_rows(75, 25, 0), 1);
}

}  // namespace
}  // namespace vantrel::ui
