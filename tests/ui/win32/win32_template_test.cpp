// The extended dialog template made from the template table, read back word by word as the
// dialog manager reads it: every control's id, class, place, caption and styles.
#include "ui/win32/win32_template.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/win32/win32_text.hpp"

namespace vantrel::ui {
namespace {

class Reader {
 public:
  explicit Reader(const std::vector<WORD>& words) : words_(words) {}
  WORD word() { return at_ < words_.size() ? words_[at_++] : 0xDEAD; }
  DWORD dword() {
    const WORD low = word();
    return MAKELONG(low, word());
  }
  std::string text() {
    std::wstring wide;
    for (WORD w = word(); w != 0 && at_ <= words_.size(); w = word())
      wide.push_back(static_cast<wchar_t>(w));
    return utf8_text(wide);
  }
  bool at_dword_boundary() const { return at_ % 2 == 0; }
  void align() {
    if (!at_dword_boundary()) ++at_;
  }
  bool at_end() const { return at_ == words_.size(); }

 private:
  const std::vector<WORD>& words_;
  std::size_t at_ = 0;
};

const DialogTemplate& main_template() {
  return *find_template(kMainDialog);
}

TEST(Win32Template, TheWindowIsAFixedPopupWithoutSystemMenuInItsFont) {
  const std::vector<WORD> words = extended_template(main_template(), true);
  Reader r(words);
  EXPECT_EQ(r.word(), 1);       // version
  EXPECT_EQ(r.word(), 0xFFFF);  // extended
  EXPECT_EQ(r.dword(), 0u);
  EXPECT_EQ(r.dword(), static_cast<DWORD>(WS_EX_APPWINDOW));
  const DWORD style = r.dword();
  for (const DWORD wanted : {DWORD{WS_POPUP}, DWORD{WS_VISIBLE}, DWORD{WS_CAPTION},
                             DWORD{DS_MODALFRAME}, DWORD{DS_CENTER}, DWORD{DS_SETFONT}})
    EXPECT_EQ(style & wanted, wanted) << std::hex << wanted;
  for (const DWORD refused :
       {DWORD{WS_SYSMENU}, DWORD{WS_THICKFRAME}, DWORD{WS_MINIMIZEBOX}, DWORD{WS_MAXIMIZEBOX}})
    EXPECT_EQ(style & refused, 0u) << std::hex << refused;
  EXPECT_EQ(r.word(), 115);
  r.word();
  r.word();
  EXPECT_EQ(r.word(), 516);
  EXPECT_EQ(r.word(), 353);
  EXPECT_EQ(r.word(), 0);  // menu
  EXPECT_EQ(r.word(), 0);  // class
  EXPECT_EQ(r.text(), std::string(111, ' ') + "Vantrel (Version 1.5.3)");
  EXPECT_EQ(r.word(), 8);
  EXPECT_EQ(r.word(), FW_NORMAL);
  EXPECT_EQ(r.word(), MAKEWORD(FALSE, DEFAULT_CHARSET));
  EXPECT_EQ(r.text(), "MS Sans Serif");

  const DWORD hidden_style = window_styles(false).style;
  EXPECT_EQ(hidden_style & WS_VISIBLE, 0u);
  EXPECT_EQ(hidden_style | WS_VISIBLE, style);
}

TEST(Win32Template, EveryControlIsReadBackAsTheTableGivesIt) {
  const DialogTemplate& t = main_template();
  const std::vector<WORD> words = extended_template(t, true);
  Reader r(words);
  for (int i = 0; i < 15; ++i)
    r.word();  // the header's fixed part, up to the menu and the class
  r.text();
  r.word();
  r.word();
  r.word();
  r.text();
  for (const TemplateControl& item : t.controls) {
    SCOPED_TRACE("control #" + std::to_string(item.order));
    r.align();
    EXPECT_EQ(r.dword(), 0u);  // help id
    const DWORD ex_style = r.dword();
    const DWORD style = r.dword();
    EXPECT_EQ(ex_style, control_styles(item).ex_style);
    EXPECT_EQ(style, control_styles(item).style);
    EXPECT_EQ(static_cast<short>(r.word()), item.rect.x);
    EXPECT_EQ(static_cast<short>(r.word()), item.rect.y);
    EXPECT_EQ(static_cast<short>(r.word()), item.rect.width);
    EXPECT_EQ(static_cast<short>(r.word()), item.rect.height);
    EXPECT_EQ(static_cast<int>(r.dword()), item.id);
    EXPECT_EQ(r.word(), 0xFFFF);
    EXPECT_EQ(r.word(), control_class(item.kind));
    if (item.kind == ControlKind::picture) {
      EXPECT_EQ(r.word(), 0xFFFF);
      EXPECT_EQ(r.word(), item.bitmap);
    } else {
      EXPECT_EQ(r.text(), std::string(item.caption));
    }
    EXPECT_EQ(r.word(), 0);  // no creation data
  }
  EXPECT_TRUE(r.at_end());
}

// What each kind of control must have and must not have.
struct KindStyles {
  ControlKind kind;
  DWORD has;
  DWORD lacks;
};

TEST(Win32Template, EachKindHasTheStylesThatMatter) {
  const KindStyles table[] = {
      {ControlKind::edit, WS_BORDER | WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL, WS_GROUP},
      {ControlKind::scroll_bar, SBS_VERT, WS_TABSTOP},
      {ControlKind::combo_box, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN, CBS_SIMPLE},
      {ControlKind::check_box, WS_TABSTOP | BS_AUTOCHECKBOX, 0},
      {ControlKind::static_text, WS_GROUP | SS_NOPREFIX, WS_TABSTOP},
      {ControlKind::picture, SS_BITMAP | SS_CENTERIMAGE | SS_SUNKEN, WS_TABSTOP},
      {ControlKind::frame, BS_GROUPBOX, WS_TABSTOP},
  };
  for (const KindStyles& k : table) {
    for (const TemplateControl& item : main_template().controls) {
      if (item.kind != k.kind || item.hidden) continue;
      SCOPED_TRACE("control #" + std::to_string(item.order));
      const DWORD style = control_styles(item).style;
      EXPECT_EQ(style & k.has, k.has);
      EXPECT_EQ(style & k.lacks, 0u);
      EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE), DWORD{WS_CHILD | WS_VISIBLE});
    }
  }
}

TEST(Win32Template, AlignmentReadOnlyDefaultAndHiddenFollowTheTable) {
  for (const TemplateControl& item : main_template().controls) {
    SCOPED_TRACE("control #" + std::to_string(item.order));
    const DWORD style = control_styles(item).style;
    if (item.hidden) {
      EXPECT_EQ(style & (WS_VISIBLE | WS_TABSTOP), 0u) << "hidden controls are never reached";
    }
    if (item.kind == ControlKind::edit) {
      EXPECT_EQ((style & ES_READONLY) != 0, item.read_only);
    }
    if (item.kind == ControlKind::push_button) {
      EXPECT_EQ(style & 0x0F, DWORD(item.default_button ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON));
    }
    if (item.kind == ControlKind::static_text) {
      EXPECT_EQ(style & 0x0F, DWORD(item.align == Align::centre ? SS_CENTER : SS_LEFT));
    }
    if (item.kind == ControlKind::frame) {
      EXPECT_EQ(style & BS_CENTER, DWORD(item.align == Align::centre ? BS_CENTER : BS_LEFT));
    }
  }
}

TEST(Win32Text, Utf8AndWideTextRoundTripAndBadBytesBecomeReplacements) {
  EXPECT_EQ(utf8_text(wide_text("sandy loam")), "sandy loam");
  EXPECT_EQ(utf8_text(wide_text("Kohlr\xC3\xBC"
                                "bi")),
            "Kohlr\xC3\xBC"
            "bi");
  EXPECT_EQ(wide_text(""), L"");
  EXPECT_EQ(wide_text("a\xFF"
                      "b"),
            L"a\xFFFD"
            L"b");
  EXPECT_EQ(command_id(kNoId), 0xFFFF);
  EXPECT_EQ(command_id(30002), 30002);
}

}  // namespace
}  // namespace vantrel::ui
