// The Win32 window of the dialog, built and driven in this process with the messages that the
// controls and the user's keys send. It needs a display (Wine in Xvfb).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ui/control_ids.hpp"
#include "ui/dialog.hpp"
#include "ui/win32/win32_dialog_view.hpp"
#include "ui/win32/win32_platform.hpp"

namespace vantrel::ui {
namespace {

std::wstring text_of(HWND w) {
  wchar_t text[256] = {};
  GetWindowTextW(w, text, 256);
  return text;
}

std::wstring class_of(HWND w) {
  wchar_t name[64] = {};
  GetClassNameW(w, name, 64);
  return name;
}

class Win32ViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dialog_init(kMainDialog, dialog));
    dialog.set_view_factory([this](Dialog& d) {
      auto made = std::make_unique<Win32DialogView>(d, GetModuleHandleW(nullptr));
      view = made.get();
      return made;
    });
    ASSERT_TRUE(dialog_show_modeless(dialog, SW_SHOWNORMAL)) << "the window needs a display";
  }
  HWND at(int id) const { return view->control_window(id); }
  void record(int id, std::optional<int> event = std::nullopt) {
    dialog_set_callback(
        dialog, id, [this](Dialog&, int i, int e) { events.emplace_back(i, e); }, event);
  }
  // A rectangle in pixels as the dialog manager places a control: its corner and its size
  // each turned into pixels (so the far edge may differ by one from the corner's mapping).
  RECT dialog_rect(const Rect& r) const {
    RECT mapped{r.x, r.y, r.width, r.height};
    MapDialogRect(view->window(), &mapped);
    return {mapped.left, mapped.top, mapped.left + mapped.right, mapped.top + mapped.bottom};
  }
  int position(int bar) const { return dialog.control(bar)->position; }

  Dialog dialog;
  Win32DialogView* view = nullptr;
  std::vector<std::pair<int, int>> events;
};

TEST_F(Win32ViewTest, EveryControlIsMadeInItsClassPlaceAndVisibility) {
  RECT client{};
  GetClientRect(view->window(), &client);
  const RECT whole = dialog_rect({0, 0, 516, 353});
  EXPECT_EQ(client.right, whole.right);
  EXPECT_EQ(client.bottom, whole.bottom);
  EXPECT_EQ(GetWindowLongW(view->window(), GWL_STYLE) & WS_SYSMENU, 0);
  const auto& items = dialog.dialog_template()->controls;
  ASSERT_EQ(view->created(116), nullptr);
  for (const TemplateControl& item : items) {
    SCOPED_TRACE("control #" + std::to_string(item.order));
    const HWND w = view->created(item.order);
    ASSERT_NE(w, nullptr);
    const wchar_t* expected = L"Static";
    switch (item.kind) {
      case ControlKind::push_button:
      case ControlKind::check_box:
      case ControlKind::frame:
        expected = L"Button";
        break;
      case ControlKind::edit:
        expected = L"Edit";
        break;
      case ControlKind::scroll_bar:
        expected = L"ScrollBar";
        break;
      case ControlKind::combo_box:
        expected = L"ComboBox";
        break;
      default:
        break;
    }
    EXPECT_EQ(_wcsicmp(class_of(w).c_str(), expected), 0);
    EXPECT_EQ(IsWindowVisible(w) != FALSE, !item.hidden);
    if (item.kind == ControlKind::static_text || item.kind == ControlKind::check_box ||
        item.kind == ControlKind::picture || item.kind == ControlKind::combo_box) {
      continue;  // grown to fit, sized by their picture or list: not the template's box
    }
    RECT r{};
    GetWindowRect(w, &r);
    MapWindowPoints(nullptr, view->window(), reinterpret_cast<POINT*>(&r), 2);
    const RECT want = dialog_rect(item.rect);
    EXPECT_EQ(r.left, want.left);
    EXPECT_EQ(r.top, want.top);
    EXPECT_EQ(r.right, want.right);
    EXPECT_EQ(r.bottom, want.bottom);
  }
}

TEST_F(Win32ViewTest, TabOrderIsTheCreationOrderWithoutHiddenControls) {
  const std::vector<int> expected = {30002, 30001, 1008, 1032, 1044, 1046, 1048, 1033, 1010,
                                     1011,  1012,  1035, 1055, 1069, 1070, 1071, 1072, 30002};
  std::vector<int> order = {id::calculate};
  HWND at_stop = at(id::calculate);
  for (std::size_t i = 1; i < expected.size(); ++i) {
    at_stop = GetNextDlgTabItem(view->window(), at_stop, FALSE);
    order.push_back(GetDlgCtrlID(at_stop));
  }
  EXPECT_EQ(order, expected);
}

TEST_F(Win32ViewTest, PicturesShowTheirBitmapResourcesAtTheirOwnSize) {
  int pictures = 0;
  for (const TemplateControl& item : dialog.dialog_template()->controls) {
    if (item.kind != ControlKind::picture) continue;
    SCOPED_TRACE("bitmap " + std::to_string(item.bitmap));
    ++pictures;
    const auto image = reinterpret_cast<HBITMAP>(
        SendMessageW(view->created(item.order), STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(image, nullptr);
    BITMAP bitmap{};
    ASSERT_NE(GetObjectW(image, sizeof bitmap, &bitmap), 0);
    bool listed = false;
    for (const BitmapResource& resource : bitmap_resources()) {
      if (resource.id != item.bitmap) continue;
      listed = true;
      EXPECT_EQ(bitmap.bmWidth, resource.width);
      EXPECT_EQ(bitmap.bmHeight, resource.height);
    }
    EXPECT_TRUE(listed);
  }
  EXPECT_EQ(pictures, 5);
}

TEST_F(Win32ViewTest, ValuesTheProgramSetsReachTheControlsWithoutLookingLikeUsers) {
  for (const int id : {1008, 1026, 1010})
    record(id);
  for (const int event : {ev_selection_changed, ev_edit_update, ev_changed})
    record(id::crop_list, event);
  dialog_set_text(dialog, id::sand, "  12.5   ", 9);
  dialog_set_int(dialog, id::crop_list, 2, sel_list_count);
  dialog_set_text(dialog, id::crop_list, "Barley", 6, 1);
  dialog_set_text(dialog, id::crop_list, "Maize grain", 11, 2);
  dialog_set_text(dialog, id::crop_list, "Maize grain", 11);
  dialog_set_int(dialog, id::sand_bar, 37);
  dialog_set_logical(dialog, id::update_profile, true);
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(text_of(at(id::sand)), L"12.5");  // the padding is not shown
  EXPECT_EQ(text_of(at(id::crop_list)), L"Maize grain");
  EXPECT_EQ(SendMessageW(at(id::crop_list), CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageW(at(id::crop_list), CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(GetScrollPos(at(id::sand_bar), SB_CTL), 37);
  EXPECT_EQ(SendMessageW(at(id::update_profile), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(Win32ViewTest, TheUsersActionsOnEachKindOfControlReachTheDialog) {
  record(id::sand_bar);
  record(id::clay_bar);
  record(id::update_profile);
  record(id::crop_list, ev_selection_changed);
  record(id::crop_list, ev_edit_update);
  dialog_set_int(dialog, id::sand_bar, 60);
  dialog_set_int(dialog, id::crop_list, 3, sel_list_count);
  for (int i = 1; i <= 3; ++i)
    dialog_set_text(dialog, id::crop_list, std::string(1, static_cast<char>('a' + i - 1)), 1, i);

  SendMessageW(at(id::sand), EM_SETSEL, 0, -1);
  SendMessageW(at(id::sand), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L"33"));
  EXPECT_EQ(dialog.control(id::sand)->text, "33");

  // Keys in the sand box act on its spinner: Up a line up, Page Down a page down.
  SendMessageW(at(id::sand), WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(position(id::sand_bar), 59);
  SendMessageW(at(id::sand), WM_KEYDOWN, VK_NEXT, 0);
  EXPECT_EQ(position(id::sand_bar), 69);
  EXPECT_EQ(GetScrollPos(at(id::sand_bar), SB_CTL), 69);

  SendMessageW(view->window(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 42),
               reinterpret_cast<LPARAM>(at(id::clay_bar)));
  SendMessageW(view->window(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 42),
               reinterpret_cast<LPARAM>(at(id::clay_bar)));
  SendMessageW(view->window(), WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0),
               reinterpret_cast<LPARAM>(at(id::clay_bar)));
  EXPECT_EQ(position(id::clay_bar), 42);

  SendMessageW(at(id::crop_list), CB_SETCURSEL, 1, 0);
  SendMessageW(view->window(), WM_COMMAND, MAKEWPARAM(id::crop_list, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(at(id::crop_list)));
  EXPECT_EQ(dialog.control(id::crop_list)->text, "b");

  COMBOBOXINFO combo{};
  combo.cbSize = sizeof combo;
  ASSERT_TRUE(GetComboBoxInfo(at(id::crop_list), &combo));
  SendMessageW(combo.hwndItem, EM_SETSEL, 0, -1);
  SendMessageW(combo.hwndItem, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L"Oats"));
  EXPECT_EQ(dialog.control(id::crop_list)->text, "Oats");

  SendMessageW(at(id::update_profile), BM_CLICK, 0, 0);
  EXPECT_TRUE(dialog.control(id::update_profile)->checked);
  EXPECT_EQ(SendMessageW(at(id::update_profile), BM_GETCHECK, 0, 0), BST_CHECKED);

  const std::vector<std::pair<int, int>> expected = {
      {id::sand_bar, ev_changed},      {id::sand_bar, ev_changed},
      {id::clay_bar, ev_changed},      {id::crop_list, ev_selection_changed},
      {id::crop_list, ev_edit_update}, {id::update_profile, ev_clicked}};
  EXPECT_EQ(events, expected) << "one event per action: the thumb's release and end add none";
}

TEST_F(Win32ViewTest, EscapeLeavesTheWindowAndACloseDestroysItOnce) {
  record(id::dialog, ev_dialog_destroyed);
  SendMessageW(view->window(), WM_COMMAND, IDCANCEL, 0);
  SendMessageW(view->window(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
               reinterpret_cast<LPARAM>(view->window()));
  EXPECT_TRUE(events.empty());
  const HWND window = view->window();
  SendMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(dialog.destroyed());
  EXPECT_EQ(events, (std::vector<std::pair<int, int>>{{id::dialog, ev_dialog_destroyed}}));
}

TEST_F(Win32ViewTest, ExitWithoutARoutineClosesTheWindow) {
  record(id::dialog, ev_dialog_destroyed);
  const HWND window = view->window();
  SendMessageW(at(id::exit), BM_CLICK, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(events.size(), 1u);
}

TEST_F(Win32ViewTest, AScrollThatArrivesDuringACallbackIsDropped) {
  // A message box's modal loop would deliver a held arrow's repeats inside the callback.
  int calls = 0;
  dialog_set_callback(dialog, id::sand_bar, [&](Dialog&, int, int) {
    ++calls;
    SendMessageW(view->window(), WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0),
                 reinterpret_cast<LPARAM>(at(id::sand_bar)));
  });
  dialog_set_int(dialog, id::sand_bar, 50);
  SendMessageW(view->window(), WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0),
               reinterpret_cast<LPARAM>(at(id::sand_bar)));
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(position(id::sand_bar), 51);
}

TEST_F(Win32ViewTest, TheWindowDestroyedInsideACallbackIsLeftAlone) {
  record(id::dialog, ev_dialog_destroyed);
  dialog_set_callback(dialog, id::clay_bar, [](Dialog& d, int, int) {
    dialog_exit(d);
    dialog_set_text(d, id::sand, "1.0", 3);  // after the window has gone
  });
  const HWND window = view->window();
  SendMessageW(at(id::clay), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(events.size(), 1u);
  dialog_set_text(dialog, id::sand, "2.0", 3);
  EXPECT_EQ(dialog.control(id::sand)->text, "2.0");
}

TEST(Win32Platform, TheMessageLoopEndsWithTheQuitCode) {
  Dialog dialog;
  Win32Platform platform;
  platform.post_quit(3);
  EXPECT_EQ(message_loop(dialog, nullptr), 3);
  platform.post_quit(0);
  EXPECT_EQ(message_loop(dialog, nullptr), 0);
}

}  // namespace
}  // namespace vantrel::ui
