#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>
#include <string>

#include "tests/ui/fake_runtime.h"
#include "ui/about/frmAbout.h"
#include "ui/main/frmMain.h"

namespace norvane::test {
namespace {

using rt::ControlKind;
using rt::ControlSpec;
using rt::kTwipsPerPixel;

// A row with just what a name is made of.
ControlSpec RowOf(ControlKind kind, std::string_view text, std::string_view accessibleName = {}) {
  ControlSpec row{"ctlTest", rt::kNoIndex, kind, "", text, 0, 0, 0, 0, 0};
  row.accessibleName = accessibleName;
  return row;
}

class EveryWindow : public ::testing::TestWithParam<std::string_view> {
 protected:
  const rt::FormLayout& Layout() {
    if (GetParam() == "frmMain") return runtime.Instance<frmMain>().Layout();
    return runtime.Instance<frmAbout>().Layout();
  }
  FakeRuntime runtime;
};

TEST_P(EveryWindow, TabIndexesRunFromZeroInTableOrder) {
  const auto& controls = Layout().controls;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    EXPECT_EQ(controls[i].tabIndex, static_cast<int>(i)) << controls[i].name;
  }
}

TEST_P(EveryWindow, NamesAreUnique) {
  std::set<std::pair<std::string_view, int>> seen;
  for (const ControlSpec& c : Layout().controls) {
    EXPECT_TRUE(seen.insert({c.name, c.index}).second) << c.name << "(" << c.index << ")";
  }
  for (const rt::MenuSpec& m : Layout().menus) {
    EXPECT_TRUE(seen.insert({m.name, rt::kNoIndex}).second) << m.name;
  }
}

// Inside the client area, or inside a frame declared before it.
TEST_P(EveryWindow, EveryControlLiesInsideItsContainer) {
  const rt::FormLayout& layout = Layout();
  for (const ControlSpec& c : layout.controls) {
    int width = layout.clientWidth, height = layout.clientHeight;
    if (!c.container.empty()) {
      const ControlSpec* frame = layout.Find(c.container);
      ASSERT_TRUE(frame && frame->kind == ControlKind::Frame && frame->tabIndex < c.tabIndex)
          << c.name;
      width = frame->width;
      height = frame->height;
    }
    EXPECT_TRUE(c.left >= 0 && c.top >= 0 && c.left + c.width <= width &&
                c.top + c.height <= height)
        << c.name << "(" << c.index << ")";
  }
  for (const rt::LineSpec& line : layout.lines) {
    EXPECT_TRUE(line.x2 <= layout.clientWidth && line.y2 <= layout.clientHeight) << line.name;
  }
}

char AccessKey(std::string_view caption) {
  const auto amp = caption.find('&');
  if (amp == std::string_view::npos || amp + 1 >= caption.size()) return 0;
  EXPECT_EQ(caption.find('&', amp + 1), std::string_view::npos) << caption;
  return static_cast<char>(std::toupper(static_cast<unsigned char>(caption[amp + 1])));
}

// Alt+key reaches the command buttons and the menu titles; a letter within an open menu its
// entries. No two may share a key, and only buttons and menus have one.
TEST_P(EveryWindow, AccessKeysAreDistinctWhereTheyMeet) {
  std::map<int, std::set<char>> scopes;  // 0: Alt on the window; n: entries of the nth menu
  auto add = [&scopes](int scope, std::string_view caption) {
    const char key = AccessKey(caption);
    ASSERT_NE(key, 0) << caption;
    EXPECT_TRUE(scopes[scope].insert(key).second) << caption;
  };
  for (const ControlSpec& c : Layout().controls) {
    if (c.kind == ControlKind::CommandButton && c.text.find('&') != std::string_view::npos) {
      add(0, c.text);
    } else if (c.kind != ControlKind::TextBox) {
      EXPECT_EQ(AccessKey(c.text), 0) << c.name;
    }
  }
  int menu = 0;
  for (const rt::MenuSpec& m : Layout().menus) {
    if (m.level == 0) ++menu;
    ASSERT_GT(menu, 0) << "an entry before the first menu title";
    add(m.level == 0 ? 0 : menu, m.caption);
  }
}

// A screen reader says a control's name; a user who hears it must find the same words on screen:
// the control's own caption, or the caption of exactly one label beside it. Tip texts, which only
// show under the mouse, are descriptions.
TEST_P(EveryWindow, ReachableControlsAreNamedByWordsOnScreen) {
  const rt::FormLayout& layout = Layout();
  for (const ControlSpec& c : layout.controls) {
    if (c.kind != ControlKind::TextBox && c.kind != ControlKind::CommandButton &&
        c.kind != ControlKind::OptionButton) {
      continue;
    }
    SCOPED_TRACE(std::string(c.name) + "(" + std::to_string(c.index) + ")");
    const std::string name = rt::AccessibleName(c);
    ASSERT_FALSE(name.empty());
    if (c.kind != ControlKind::TextBox) {
      EXPECT_EQ(name, rt::AccessibleName(RowOf(c.kind, c.text))) << "its own caption";
      continue;
    }
    int labels = 0;
    for (const ControlSpec& label : layout.controls) {
      labels +=
          label.kind == ControlKind::Label && label.container == c.container && label.text == name;
    }
    EXPECT_EQ(labels, 1) << name;
    EXPECT_NE(name, c.toolTip);
  }
}

INSTANTIATE_TEST_SUITE_P(Windows, EveryWindow, ::testing::Values("frmMain", "frmAbout"),
                         [](const auto& info) { return std::string(info.param); });

class MainLayout : public ::testing::Test {
 protected:
  const ControlSpec& Row(std::string_view name, int index = rt::kNoIndex) {
    const ControlSpec* row = layout.Find(name, index);
    if (!row) throw std::out_of_range(std::string(name));
    return *row;
  }
  FakeRuntime runtime;
  const rt::FormLayout& layout = runtime.Instance<frmMain>().Layout();
};

// Each result box has its unit's label to its right, 120 twips lower; rows are 360 apart; the
// boxes show numbers only: in the entry's font, read-only and right-aligned.
TEST_F(MainLayout, ResultRowsLineUp) {
  const std::pair<const char*, const char*> rows[] = {{"txtByteResult", "lblBytes"},
                                                      {"txtKiloResult", "lblKilobytes"},
                                                      {"txtMegaResult", "lblMegabytes"},
                                                      {"txtGigaResult", "lblGigabytes"}};
  const ControlSpec& first = Row(rows[0].first);
  const ControlSpec& entry = Row("txtEntry");
  for (int i = 0; i < 4; ++i) {
    const ControlSpec& box = Row(rows[i].first);
    const ControlSpec& label = Row(rows[i].second);
    SCOPED_TRACE(box.name);
    EXPECT_EQ(box.top, first.top + 360 * i);
    EXPECT_EQ(label.top, box.top + 120);
    EXPECT_GT(label.left, box.left + box.width);
    EXPECT_EQ(label.left, Row(rows[0].second).left);
    EXPECT_EQ(box.left, first.left);
    EXPECT_EQ(box.width, first.width);
    EXPECT_EQ(box.font, entry.font);
    EXPECT_TRUE(box.locked);
    EXPECT_EQ(box.alignment, rt::Alignment::Right);
    EXPECT_EQ(box.foreColor, Row("lblResults").foreColor);
    EXPECT_EQ(box.accessibleName, label.text);
  }
}

// The unit buttons stand in their frame in the order of their Index, which is the Unit.
TEST_F(MainLayout, UnitButtonsStandInIndexOrderInTheirFrame) {
  for (int i = 0; i < 4; ++i) {
    const ControlSpec& option = Row("optMeasure", i);
    EXPECT_EQ(option.container, "frmSelect");
    if (i > 0) {
      EXPECT_GT(option.top, Row("optMeasure", i - 1).top);
    }
  }
}

TEST(AboutLayout, PictureBoxHoldsThePictureAndItsBorder) {
  FakeRuntime runtime;
  const ControlSpec* box = runtime.Instance<frmAbout>().Layout().Find("picIcon");
  ASSERT_TRUE(box && box->picture);
  EXPECT_EQ(box->picture->width, 48);
  EXPECT_EQ(box->picture->height, 48);
  constexpr int kSunkenBorder = 2 * 2 * kTwipsPerPixel;
  EXPECT_EQ(box->width, box->picture->width * kTwipsPerPixel + kSunkenBorder);
  EXPECT_EQ(box->height, box->picture->height * kTwipsPerPixel + kSunkenBorder);
}

struct NameRow {
  const char* name;
  ControlKind kind;
  std::string_view text, accessibleName, expected;
};

class AccessibleName : public ::testing::TestWithParam<NameRow> {};

TEST_P(AccessibleName, IsTheTableNameOrTheCaptionAsShown) {
  const NameRow& row = GetParam();
  EXPECT_EQ(rt::AccessibleName(RowOf(row.kind, row.text, row.accessibleName)), row.expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Rows, AccessibleName,
    ::testing::Values(
        NameRow{"AccessKeyDropped",      ControlKind::CommandButton, "C&alculate",    "",          "Calculate"},
        NameRow{"AccessKeyFirst",        ControlKind::CommandButton, "&Close",        "",          "Close"},
        NameRow{"DoubledAmpersandShown", ControlKind::Label,         "Fish && Chips", "",          "Fish & Chips"},
        NameRow{"TrailingAmpersand",     ControlKind::OptionButton,  "Bytes&",        "",          "Bytes"},
        NameRow{"PlainCaption",          ControlKind::Frame,         "Entry Criteria", "",         "Entry Criteria"},
        NameRow{"TableNameWins",         ControlKind::OptionButton,  "&KB",           "Kilobytes", "Kilobytes"},
        NameRow{"TextOfABoxIsNoName",    ControlKind::TextBox,       "1024",          "",          ""},
        NameRow{"NamedBox",              ControlKind::TextBox,       "1024",          "Bytes",     "Bytes"},
        NameRow{"PictureUnnamed",        ControlKind::PictureBox,    "",              "",          ""}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(MainLayout, EntryIsNamedByItsLabelAndDescribedByItsTip) {
  EXPECT_EQ(rt::AccessibleName(Row("txtEntry")), Row("lblEntry").text);
  EXPECT_EQ(Row("txtEntry").toolTip, "Enter the number you wish to convert");
}

TEST(AboutLayout, OKIsTheDefaultAndCancelButton) {
  FakeRuntime runtime;
  const rt::FormLayout& layout = runtime.Instance<frmAbout>().Layout();
  for (std::string_view button : {layout.defaultButton, layout.cancelButton}) {
    const ControlSpec* row = layout.Find(button);
    ASSERT_TRUE(row) << button;
    EXPECT_EQ(row->kind, ControlKind::CommandButton);
    EXPECT_EQ(row->tabIndex, 0) << "it has the focus when the window opens";
  }
}

TEST(AboutWindow, OnlyOKRunsCode) {
  FakeRuntime runtime;
  frmAbout& about = runtime.Instance<frmAbout>();
  runtime.Load(about);
  const FakePeer::State before = runtime.PeerOf(about).Now();
  for (const ControlSpec& c : about.Layout().controls) {
    if (c.name != "cmdOK") runtime.RaiseClick(about, c.name, c.index);
    int key = rt::vbKeyReturn;
    runtime.RaiseKeyDown(about, c.name, c.index, key, 0);
  }
  ASSERT_TRUE(about.Loaded());
  EXPECT_EQ(runtime.PeerOf(about).Now(), before);
  runtime.RaiseClick(about, "cmdOK");
  EXPECT_FALSE(about.Loaded());
  EXPECT_TRUE(runtime.messageBoxes.empty());
}

}  // namespace
}  // namespace norvane::test
