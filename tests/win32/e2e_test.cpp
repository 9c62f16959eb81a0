// End-to-end checks of Norvane.exe under Wine: what a person sees and does.
#include <gtest/gtest.h>
#include <oleacc.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "app/display.h"
#include "tests/win32/driver.h"

namespace norvane::e2e {
namespace {

constexpr wchar_t kTitle[] = L"Pimbrel's Norvane";
constexpr wchar_t kInvalidEntry[] = L"You must enter a valid numeric amount .";
constexpr wchar_t kPrintFailed[] = L"There has been an error printing this form.";

// The main window's controls as the layout places them, in twips of its client area.
struct ControlRow {
  const char* name;
  const wchar_t* kind;  // window class
  const wchar_t* text;
  int left, top, width, height;
};
// clang-format off
constexpr ControlRow kMainControls[] = {
    {"txtEntry", L"Edit", L"", 2400, 480, 1575, 285},
    {"frmSelect", L"Button", L"Entry Criteria", 4320, 240, 1455, 1815},
    {"cmdCalculate", L"Button", L"C&alculate", 2640, 1320, 1215, 735},
    {"cmdPrintForm", L"Button", L"&Print Form", 4440, 3120, 1215, 375},
    {"cmdClose", L"Button", L"&Close", 4440, 3600, 1215, 495},
    {"optMeasure0", L"Button", L"Bytes", 4440, 480, 1095, 255},
    {"optMeasure1", L"Button", L"Kilobytes", 4440, 840, 1095, 255},
    {"optMeasure2", L"Button", L"Megabytes", 4440, 1200, 1095, 255},
    {"optMeasure3", L"Button", L"Gigabytes", 4440, 1560, 1095, 255},
    {"txtByteResult", L"Edit", L"", 480, 2640, 1695, 360},
    {"txtMegaResult", L"Edit", L"", 480, 3360, 1695, 360},
    {"txtGigaResult", L"Edit", L"", 480, 3720, 1695, 360},
    {"lblEntry", L"Static", L"Enter Number to Convert", 480, 480, 1935, 285},
    {"lblResults", L"Static", L"Results", 480, 2280, 1695, 255},
    {"txtKiloResult", L"Edit", L"", 480, 3000, 1695, 360},
    {"lblKilobytes", L"Static", L"Kilobytes", 2280, 3120, 735, 285},
    {"lblGigabytes", L"Static", L"Gigabytes", 2280, 3840, 735, 285},
    {"lblMegabytes", L"Static", L"Megabytes", 2280, 3480, 735, 285},
    {"lblBytes", L"Static", L"Bytes", 2280, 2760, 735, 285},
};
// clang-format on

const ControlRow& Row(std::string_view name) {
  for (const ControlRow& row : kMainControls) {
    if (row.name == name) return row;
  }
  throw std::logic_error("no row " + std::string(name));
}

bool SameClass(const std::wstring& a, const wchar_t* b) {
  return CompareStringOrdinal(a.c_str(), -1, b, -1, TRUE) == CSTR_EQUAL;
}

// A running program with its main window's controls at hand.
class MainWindow : public ::testing::Test {
 protected:
  HWND Get(std::string_view name) const {
    const ControlRow& row = Row(name);
    return program.ControlAt(row.left, row.top);
  }
  HWND Entry() const { return Get("txtEntry"); }
  HWND Unit(int index) const { return Get("optMeasure" + std::to_string(index)); }
  std::array<std::wstring, 4> Results() const {
    return {TextOf(Get("txtByteResult")), TextOf(Get("txtKiloResult")),
            TextOf(Get("txtMegaResult")), TextOf(Get("txtGigaResult"))};
  }
  bool Checked(int index) const {
    return SendMessageW(Unit(index), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  void SetEntry(const std::wstring& text) const {
    SendMessageW(Entry(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  // Converts "1" kilobyte by the button, so that the result boxes have something to keep.
  void ConvertOneKilobyte() const {
    SetEntry(L"1");
    SendMessageW(Unit(1), BM_CLICK, 0, 0);
    SendMessageW(Get("cmdCalculate"), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([this] { return Results()[0] == L"1024"; }));
  }
  HWND WaitForMessageBox() const {
    HWND box = nullptr;
    WaitFor([&] { return (box = program.MessageBoxWindow()) != nullptr; });
    return box;
  }
  std::pair<DWORD, DWORD> Selection() const {
    DWORD start = 0, end = 0;
    SendMessageW(Entry(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    return {start, end};
  }

  Program program;
};

// The suite may be run at another scale than 100 %; NORVANE_DPI says which.
TEST(Screen, HasTheScaleAskedFor) {
  const char* dpi = std::getenv("NORVANE_DPI");
  EXPECT_EQ(Dpi(), dpi ? std::atoi(dpi) : 96);
}

TEST_F(MainWindow, OpensWithItsLayout) {
  EXPECT_EQ(TextOf(program.Main()), L"Norvane");
  RECT client;
  GetClientRect(program.Main(), &client);
  EXPECT_EQ(client.right, Pixels(6240));
  EXPECT_EQ(client.bottom, Pixels(4350));
  int children = 0;
  for (HWND c = GetWindow(program.Main(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ++children;
  EXPECT_EQ(children, 19);
  for (const ControlRow& row : kMainControls) {
    SCOPED_TRACE(row.name);
    HWND control = program.ControlAt(row.left, row.top);
    ASSERT_NE(control, nullptr) << "nothing at its place";
    const RECT rect = RectIn(control, program.Main());
    EXPECT_EQ(rect.right, Pixels(row.left + row.width));
    EXPECT_EQ(rect.bottom, Pixels(row.top + row.height));
    EXPECT_TRUE(SameClass(ClassOf(control), row.kind)) << ClassOf(control).c_str();
    EXPECT_EQ(TextOf(control), row.text);
  }
}

TEST_F(MainWindow, StartsWithKilobytesAndTheFocusInTheEmptyEntry) {
  EXPECT_EQ(program.Focus(), Entry());
  EXPECT_EQ(TextOf(Entry()), L"");
  EXPECT_EQ(Results(), (std::array<std::wstring, 4>{}));
  EXPECT_FALSE(Checked(0));
  EXPECT_TRUE(Checked(1));
  EXPECT_FALSE(Checked(2));
  EXPECT_FALSE(Checked(3));
  EXPECT_EQ(program.Windows().size(), 1u) << "only the main window is open";
}

TEST_F(MainWindow, KeepsControlsInPlaceWhenEnlarged) {
  RECT frame;
  GetWindowRect(program.Main(), &frame);
  SetWindowPos(program.Main(), nullptr, 0, 0, frame.right - frame.left + 200,
               frame.bottom - frame.top + 150, SWP_NOMOVE | SWP_NOZORDER);
  ASSERT_TRUE(WaitFor([&] {
    RECT client;
    GetClientRect(program.Main(), &client);
    return client.right > Pixels(6240);
  }));
  for (const ControlRow& row : kMainControls) {
    EXPECT_NE(program.ControlAt(row.left, row.top), nullptr) << row.name;
  }
}

enum class Trigger {
  Button,
  Menu,
  AltA,
  Enter,
  ShiftEnter,
  CtrlEnter,
  CtrlShiftEnter,
  EnterOnUnit
};

struct ConversionRow {
  const char* name;
  const wchar_t* entry;
  int unit;
  Trigger trigger;
  std::array<std::wstring, 4> results;
};

class Conversion : public MainWindow, public ::testing::WithParamInterface<ConversionRow> {};

TEST_P(Conversion, FillsTheFourResultBoxes) {
  const ConversionRow& row = GetParam();
  SetEntry(row.entry);
  ClickAt(Unit(row.unit));
  ASSERT_TRUE(WaitFor([&] { return Checked(row.unit); }));
  if (row.trigger != Trigger::EnterOnUnit) {
    ClickAt(Entry());
    ASSERT_TRUE(WaitFor([&] { return program.Focus() == Entry(); }));
  }
  switch (row.trigger) {
    case Trigger::Button:
      ClickAt(Get("cmdCalculate"));
      break;
    case Trigger::Menu:
      Press({VK_MENU, 'F'});
      Press({'A'});
      break;
    case Trigger::AltA:
      Press({VK_MENU, 'A'});
      break;
    case Trigger::Enter:
      Press({VK_RETURN});
      break;
    case Trigger::ShiftEnter:
      Press({VK_SHIFT, VK_RETURN});
      break;
    case Trigger::CtrlEnter:
      Press({VK_CONTROL, VK_RETURN});
      break;
    case Trigger::CtrlShiftEnter:
      Press({VK_CONTROL, VK_SHIFT, VK_RETURN});
      break;
    case Trigger::EnterOnUnit:
      Press({VK_RETURN});
      break;
  }
  WaitFor([&] { return Results() == row.results; });
  EXPECT_EQ(Results(), row.results);
  EXPECT_EQ(program.MessageBoxWindow(), nullptr);
  EXPECT_TRUE(Checked(row.unit)) << "the unit stays selected";
  if (row.trigger != Trigger::Button && row.trigger != Trigger::Menu &&
      row.trigger != Trigger::AltA) {
    EXPECT_EQ(program.Focus(), row.trigger == Trigger::EnterOnUnit ? Unit(row.unit) : Entry());
  }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    ByEveryWay, Conversion,
    ::testing::Values(
        ConversionRow{"Button", L"100", 2, Trigger::Button, {L"104857600", L"102400", L"100", L"0.09766"}},
        ConversionRow{"FileMenu", L"1", 3, Trigger::Menu, {L"1073741824", L"1048576", L"1024", L"1"}},
        ConversionRow{"AltA", L"2048", 0, Trigger::AltA, {L"2048", L"2", L"0.00195", L"0"}},
        ConversionRow{"EnterInEntry", L"0.5", 1, Trigger::Enter, {L"512", L"0.5", L"0.00049", L"0"}},
        ConversionRow{"ShiftEnter", L"3", 2, Trigger::ShiftEnter, {L"3145728", L"3072", L"3", L"0.00293"}},
        ConversionRow{"CtrlEnter", L"7", 0, Trigger::CtrlEnter, {L"7", L"0.00684", L"0.00001", L"0"}},
        ConversionRow{"CtrlShiftEnter", L"1", 1, Trigger::CtrlShiftEnter, {L"1024", L"1", L"0.00098", L"0"}},
        ConversionRow{"EnterOnUnit", L"10", 1, Trigger::EnterOnUnit, {L"10240", L"10", L"0.00977", L"0.00001"}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// Double clicks as slow as anyone makes them, for the program started after this: a click on
// the spot of the last one then counts as the second of a double click, however busy the machine.
class SlowDoubleClicks {
 protected:
  SlowDoubleClicks() { SystemParametersInfoW(SPI_SETDOUBLECLICKTIME, 5000, nullptr, kStore); }
  ~SlowDoubleClicks() { SystemParametersInfoW(SPI_SETDOUBLECLICKTIME, m_time, nullptr, kStore); }

 private:
  static constexpr UINT kStore = SPIF_UPDATEINIFILE | SPIF_SENDCHANGE;
  UINT m_time = GetDoubleClickTime();
};

class ClickAfterKey : private SlowDoubleClicks, public MainWindow {};

// A key that moves the focus leaves the window as a click elsewhere would: the next click in
// the entry puts the focus there, also on the spot of the click before the key.
TEST_F(ClickAfterKey, PutsTheFocusInTheEntry) {
  SetEntry(L"1");
  for (const wchar_t* keys : {L"alt+a", L"Tab"}) {
    SCOPED_TRACE(keys);
    ASSERT_TRUE(XInput(XClickAt(Entry())));
    ASSERT_TRUE(WaitFor([&] { return program.Focus() == Entry(); }));
    ASSERT_TRUE(XInput(std::wstring(L"key ") + keys));
    ASSERT_TRUE(WaitFor([&] { return program.Focus() == Get("cmdCalculate"); }));
    ASSERT_TRUE(XInput(L"click 1"));
    EXPECT_TRUE(WaitFor([&] { return program.Focus() == Entry(); }));
  }
  EXPECT_EQ(Results()[0], L"1024") << "Alt+A pressed Calculate";
}

struct InvalidRow {
  const char* name;
  const wchar_t* entry;
  bool byEnter;
};

class InvalidEntry : public MainWindow, public ::testing::WithParamInterface<InvalidRow> {};

TEST_P(InvalidEntry, IsRefusedAndSelectedForRetyping) {
  const InvalidRow& row = GetParam();
  ConvertOneKilobyte();
  const auto before = Results();
  SetEntry(row.entry);
  if (row.byEnter) {
    ClickAt(Entry());
    ASSERT_TRUE(WaitFor([&] { return program.Focus() == Entry(); }));
    Press({VK_RETURN});
  } else {
    PostMessageW(Get("cmdCalculate"), BM_CLICK, 0, 0);  // posted: the box is modal
  }
  HWND box = WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  const MessageBoxContents shown = Read(box);
  EXPECT_EQ(shown.caption, kTitle);
  EXPECT_EQ(shown.text, kInvalidEntry);
  EXPECT_EQ(shown.buttons, std::vector<std::wstring>{L"OK"});
  EXPECT_FALSE(IsWindowEnabled(program.Main())) << "the box is modal";
  ASSERT_TRUE(PressButton(box, L"OK"));
  const DWORD length = static_cast<DWORD>(std::wstring(row.entry).size());
  EXPECT_TRUE(WaitFor([&] {
    return program.Focus() == Entry() && Selection() == std::make_pair(DWORD{0}, length);
  })) << "selection "
      << Selection().first << ".." << Selection().second;
  EXPECT_EQ(TextOf(Entry()), row.entry);
  EXPECT_EQ(Results(), before);
  EXPECT_EQ(program.MessageBoxWindow(), nullptr) << "exactly one message";
}

INSTANTIATE_TEST_SUITE_P(
    Entries, InvalidEntry,
    ::testing::Values(InvalidRow{"LettersByButton", L"abc", false},
                      InvalidRow{"LettersByEnter", L"abc", true}, InvalidRow{"Empty", L"", false},
                      InvalidRow{"TwoPoints", L"1.2.3", true},
                      InvalidRow{"LineBreakInside", L"1\n2", true},
                      InvalidRow{"BeyondTheLargest", L"1.79769313486232E+308", false},
                      InvalidRow{"Exponent309", L"1e309", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindow, ReportsAnOverflowAndKeepsTheResults) {
  ConvertOneKilobyte();
  const auto before = Results();
  SetEntry(L"1e308");
  SendMessageW(Unit(3), BM_CLICK, 0, 0);
  PostMessageW(Get("cmdCalculate"), BM_CLICK, 0, 0);
  HWND box = WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  const MessageBoxContents shown = Read(box);
  EXPECT_EQ(shown.caption, kTitle);
  EXPECT_FALSE(shown.text.empty());
  EXPECT_NE(shown.text, kInvalidEntry);
  ASSERT_TRUE(PressButton(box, L"OK"));
  EXPECT_EQ(Results(), before);
  EXPECT_TRUE(program.Running());
}

TEST_F(MainWindow, ShowsResultsInBlue) {
  ConvertOneKilobyte();
  HWND box = Get("txtByteResult");
  UpdateWindow(box);
  RECT rect;
  GetWindowRect(box, &rect);
  HDC screen = GetDC(nullptr);
  int blue = 0;
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x) {
      if (GetPixel(screen, x, y) == RGB(0, 0, 255)) ++blue;
    }
  }
  ReleaseDC(nullptr, screen);
  EXPECT_GT(blue, 10);
}

TEST_F(MainWindow, TabFollowsTheTabIndexBothWays) {
  // The unit group is one stop, at its selected button, after Close.
  const char* order[] = {"cmdCalculate",  "cmdPrintForm",  "cmdClose",
                         "optMeasure1",   "txtByteResult", "txtMegaResult",
                         "txtGigaResult", "txtKiloResult", "txtEntry"};
  ASSERT_EQ(program.Focus(), Entry());
  for (const char* name : order) {
    Press({VK_TAB});
    EXPECT_TRUE(WaitFor([&] { return program.Focus() == Get(name); })) << "Tab to " << name;
  }
  for (int i = static_cast<int>(std::size(order)) - 2; i >= -1; --i) {
    const char* name = i >= 0 ? order[i] : "txtEntry";
    Press({VK_SHIFT, VK_TAB});
    EXPECT_TRUE(WaitFor([&] { return program.Focus() == Get(name); })) << "Shift+Tab to " << name;
  }
}

TEST_F(MainWindow, ArrowsMoveTheUnitSelectionAndEnterUsesIt) {
  SetEntry(L"100");
  for (int i = 0; i < 4; ++i) Press({VK_TAB});
  ASSERT_TRUE(WaitFor([&] { return program.Focus() == Unit(1); }));
  Press({VK_DOWN});
  EXPECT_TRUE(WaitFor([&] { return program.Focus() == Unit(2) && Checked(2); }));
  EXPECT_FALSE(Checked(1));
  Press({VK_DOWN});
  Press({VK_UP});
  Press({VK_UP});
  Press({VK_UP});
  EXPECT_TRUE(WaitFor([&] { return program.Focus() == Unit(0) && Checked(0); }));
  Press({VK_DOWN});
  Press({VK_DOWN});
  ASSERT_TRUE(WaitFor([&] { return Checked(2); }));
  Press({VK_RETURN});
  EXPECT_TRUE(WaitFor([&] { return Results()[0] == L"104857600"; }));
  // After the group, Tab goes on to the result boxes.
  Press({VK_TAB});
  EXPECT_TRUE(WaitFor([&] { return program.Focus() == Get("txtByteResult"); }));
}

TEST_F(MainWindow, InstructionsShowTheSixPiecesJoined) {
  Press({VK_MENU, 'H'});
  Press({'I'});
  HWND box = WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  const MessageBoxContents shown = Read(box);
  EXPECT_EQ(shown.caption, kTitle);
  EXPECT_EQ(shown.text,
            L"To use the Norvane, simply add a numberical value in the ENTER NUMBER TO CONVERT box."
            L" Select the appropriate criteria you wish to convert, byte, kilobyte, megabyte or "
            L"gigabyte. Next, click the Calculate button to view the results. As an example, if "
            L"you wanted to see how many bytes, kilobytes and gigabytess were in 100 megabytes, "
            L"simply type 100 in the ENTER NUMBER TO CONVERT field and select MEGABYTES in the "
            L"CRITERIA section, then click CALCULATE.  View the results in the RESULTS section.");
  EXPECT_EQ(shown.buttons, std::vector<std::wstring>{L"OK"});
  ASSERT_TRUE(PressButton(box, L"OK"));
  EXPECT_TRUE(program.Running());
}

TEST_F(MainWindow, ShowsTipTexts) {
  struct Tip {
    const char* control;
    int x, y;  // where the mouse rests, in twips of the control
    const wchar_t* text;
  };
  const Tip tips[] = {
      {"txtEntry", 300, 140, L"Enter the number you wish to convert"},
      {"frmSelect", 1300, 1700, L"Select the criteria for the number to convert you entered"},
  };
  for (const Tip& tip : tips) {
    const ControlRow& row = Row(tip.control);
    MoveMouseTo(program.Main(), Pixels(row.left + tip.x), Pixels(row.top + tip.y));
    EXPECT_TRUE(WaitFor([&] {
      for (HWND window : program.Windows()) {
        if (SameClass(ClassOf(window), L"tooltips_class32") && TextOf(window) == tip.text) {
          return true;
        }
      }
      return false;
    })) << tip.control;
  }
}

enum class AboutClose { Escape, Enter, OkButton, AltF4, CloseBox };

struct AboutRow {
  const char* name;
  AboutClose close;
};

class AboutWindow : public MainWindow, public ::testing::WithParamInterface<AboutRow> {
 protected:
  HWND Open() const {
    Press({VK_MENU, 'H'});
    Press({'B'});
    HWND about = nullptr;
    WaitFor(
        [&] { return (about = program.FindWindowTitled(L"About Pimbrel's Norvane")) != nullptr; });
    return about;
  }
  static std::vector<std::wstring> Labels(HWND about) {
    std::vector<std::wstring> labels;
    for (HWND c = GetWindow(about, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      if (SameClass(ClassOf(c), L"Static")) labels.push_back(TextOf(c));
    }
    return labels;
  }
  static HWND OkButton(HWND about) {
    for (HWND c = GetWindow(about, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      if (TextOf(c) == L"OK") return c;
    }
    return nullptr;
  }
};

TEST_P(AboutWindow, IsModalShowsTheIdentityAndCloses) {
  SetEntry(L"5");
  for (int opening = 0; opening < 2; ++opening) {
    SCOPED_TRACE(opening == 0 ? "first opening" : "second opening");
    HWND about = Open();
    ASSERT_NE(about, nullptr);
    const auto labels = Labels(about);
    auto shows = [&](std::wstring_view text) {
      return std::find(labels.begin(), labels.end(), text) != labels.end();
    };
    EXPECT_TRUE(shows(L"Pimbrel's Norvane"));
    EXPECT_TRUE(shows(L"Version 1.0.2"));
    EXPECT_FALSE(shows(L"Version 1.0"));
    EXPECT_FALSE(shows(L"Pimbrel's Computers Norvane "));
    RECT client;
    GetClientRect(about, &client);
    EXPECT_EQ(client.right, Pixels(5730));
    EXPECT_EQ(client.bottom, Pixels(3555));
    HWND ok = OkButton(about);
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(WaitFor([&] { return program.Focus() == ok; }));
    EXPECT_FALSE(IsWindowEnabled(program.Main()));

    // Keys meant for the main window reach the About window only. (A posted close
    // overtakes keys still queued, so that way out is tried without them.)
    const bool keysFirst = GetParam().close != AboutClose::CloseBox;
    if (keysFirst) Press({VK_MENU, 'A'});
    switch (GetParam().close) {
      case AboutClose::Escape:
        Press({VK_ESCAPE});
        break;
      case AboutClose::Enter:
        Press({VK_RETURN});
        break;
      case AboutClose::OkButton:
        ClickAt(ok);
        break;
      case AboutClose::AltF4:
        Press({VK_MENU, VK_F4});
        break;
      case AboutClose::CloseBox:
        PostMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(about); }));
    EXPECT_TRUE(IsWindowEnabled(program.Main()));
    EXPECT_TRUE(WaitFor([&] { return program.Focus() == Entry(); }));
    EXPECT_EQ(Results()[0], L"") << "Alt+A did not reach the main window";
  }
  EXPECT_TRUE(program.Running());
}

INSTANTIATE_TEST_SUITE_P(EveryWayOut, AboutWindow,
                         ::testing::Values(AboutRow{"Escape", AboutClose::Escape},
                                           AboutRow{"Enter", AboutClose::Enter},
                                           AboutRow{"OkButton", AboutClose::OkButton},
                                           AboutRow{"AltF4", AboutClose::AltF4},
                                           AboutRow{"CloseBox", AboutClose::CloseBox}),
                         [](const auto& info) { return std::string(info.param.name); });

enum class Way { Button, AccessKey, Menu, CloseBox };

struct EndRow {
  const char* name;
  Way way;
};

class Ending : public MainWindow, public ::testing::WithParamInterface<EndRow> {};

TEST_P(Ending, EndsTheProgram) {
  switch (GetParam().way) {
    case Way::Button:
      PostMessageW(Get("cmdClose"), BM_CLICK, 0, 0);
      break;
    case Way::AccessKey:
      Press({VK_MENU, 'C'});
      break;
    case Way::Menu:
      Press({VK_MENU, 'F'});
      Press({'E'});
      break;
    case Way::CloseBox:
      PostMessageW(program.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
  }
  EXPECT_TRUE(program.WaitForExit());
}

INSTANTIATE_TEST_SUITE_P(Close, Ending,
                         ::testing::Values(EndRow{"CloseButton", Way::Button},
                                           EndRow{"AltC", Way::AccessKey},
                                           EndRow{"FileExit", Way::Menu},
                                           EndRow{"CloseBox", Way::CloseBox}),
                         [](const auto& info) { return std::string(info.param.name); });

// Print Form runs with the printer the test session provides: NORVANE_PDF_DIR names where
// the default queue puts its PDFs; without it there is no default printer.
struct PrintRow {
  const char* name;
  bool byMenu;
};

class PrintForm : public MainWindow, public ::testing::WithParamInterface<PrintRow> {
 protected:
  static std::filesystem::path PdfDir() {
    const char* dir = std::getenv("NORVANE_PDF_DIR");
    return dir ? std::filesystem::path("Z:" + std::string(dir)) : std::filesystem::path();
  }
  static int Pdfs(const std::filesystem::path& dir) {
    int count = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir, error)) {
      if (entry.path().extension() == ".pdf") ++count;
    }
    return count;
  }
  void Print() const {
    if (GetParam().byMenu) {
      Press({VK_MENU, 'F'});
      Press({'P'});
    } else {
      Press({VK_MENU, 'P'});
    }
  }
};

// The session may also make the default queue refuse jobs (NORVANE_QUEUE_STATE=rejecting) or
// hold them (paused): a held job prints once the queue resumes, so it is no failure.
TEST_P(PrintForm, PrintsTheWindowOrSaysItCannot) {
  ConvertOneKilobyte();
  const auto before = Results();
  const std::filesystem::path dir = PdfDir();
  const char* env = std::getenv("NORVANE_QUEUE_STATE");
  const std::string state = env ? env : "";
  if (!dir.empty() && state == "paused") {
    const int pdfs = Pdfs(dir);
    SetEntry(L"2");
    Print();
    // Queued behind the print: converts only if no message box took the keys.
    Press({VK_MENU, 'A'});
    EXPECT_TRUE(WaitFor([&] { return Results()[0] == L"2048" || program.MessageBoxWindow(); }));
    EXPECT_EQ(program.MessageBoxWindow(), nullptr) << "a held job is no failure";
    EXPECT_EQ(Results()[0], L"2048");
    EXPECT_EQ(Pdfs(dir), pdfs) << "the paused queue printed";
  } else if (!dir.empty() && state.empty()) {
    const int pdfs = Pdfs(dir);
    Print();
    EXPECT_TRUE(WaitFor([&] { return Pdfs(dir) > pdfs || program.MessageBoxWindow(); }, 60s));
    EXPECT_EQ(Pdfs(dir), pdfs + 1);
    EXPECT_EQ(program.MessageBoxWindow(), nullptr) << "no message when printing works";
    EXPECT_EQ(Results(), before);
  } else {
    Print();
    HWND box = WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    const MessageBoxContents shown = Read(box);
    EXPECT_EQ(shown.caption, kTitle);
    EXPECT_EQ(shown.text, kPrintFailed);
    EXPECT_EQ(shown.buttons, (std::vector<std::wstring>{L"OK", L"Cancel"}));
    EXPECT_EQ(GetWindow(box, GW_OWNER), program.Main());
    ASSERT_TRUE(PressButton(box, GetParam().byMenu ? L"Cancel" : L"OK"));
    EXPECT_EQ(program.MessageBoxWindow(), nullptr) << "one message per failed print";
    if (!dir.empty()) {
      EXPECT_EQ(Pdfs(dir), 0) << "a refused job printed";
    }
    EXPECT_EQ(Results(), before);
  }
  EXPECT_TRUE(program.Running());
}

INSTANTIATE_TEST_SUITE_P(BothWays, PrintForm,
                         ::testing::Values(PrintRow{"ButtonAltP", false},
                                           PrintRow{"FileMenu", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// The name of the control's object, as a client reads it that asks the control (as screen
// readers do); empty when there is none.
std::wstring AskedName(HWND control) {
  const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  std::wstring name;
  IAccessible* object = nullptr;
  if (SUCCEEDED(AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible),
                                           reinterpret_cast<void**>(&object)))) {
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    if (object->get_accName(self, &text) == S_OK && text) name.assign(text, SysStringLen(text));
    SysFreeString(text);
    object->Release();
  }
  if (com) CoUninitialize();
  return name;
}

// Printing and accessibility cost a start nothing: their libraries load at the first use.
// (Wine's X11 driver loads ole32 itself.) The stack guard is seeded without a crypto provider.
TEST_F(MainWindow, LoadsPrintingAndAccessibilityWhenFirstUsed) {
  for (const wchar_t* file : {L"comdlg32.dll", L"oleacc.dll", L"oleaut32.dll", L"rsaenh.dll"}) {
    EXPECT_FALSE(program.Loaded(file)) << "at start: " << file;
  }
  EXPECT_EQ(AskedName(Entry()), L"Enter Number to Convert");
  EXPECT_TRUE(program.Loaded(L"oleacc.dll"));
  EXPECT_FALSE(program.Loaded(L"comdlg32.dll"));
  PostMessageW(Get("cmdPrintForm"), BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return program.Loaded(L"comdlg32.dll"); }));
}

// The program started after this cannot load its print dialog or accessibility library: Wine's
// overrides for it disable both.
class LibrariesDisabled {
 protected:
  LibrariesDisabled() {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kOverrides, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                    nullptr);
    for (const wchar_t* library : {L"comdlg32", L"oleacc"}) {
      RegSetValueExW(key, library, 0, REG_SZ, reinterpret_cast<const BYTE*>(L""), sizeof(L""));
    }
    RegCloseKey(key);
  }
  ~LibrariesDisabled() { RegDeleteTreeW(HKEY_CURRENT_USER, kProgram); }

 private:
  static constexpr wchar_t kProgram[] = L"Software\\Wine\\AppDefaults\\Norvane.exe";
  static constexpr wchar_t kOverrides[] = L"Software\\Wine\\AppDefaults\\Norvane.exe\\DllOverrides";
};

class WithoutLibraries : private LibrariesDisabled, public MainWindow {};

// A print says that it failed; a client reads the controls from the objects it makes itself.
TEST_F(WithoutLibraries, TheProgramSaysSoAndRunsOn) {
  PostMessageW(Get("cmdPrintForm"), BM_CLICK, 0, 0);
  HWND box = WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(Read(box).text, kPrintFailed);
  ASSERT_TRUE(PressButton(box, L"OK"));
  EXPECT_EQ(AskedName(Entry()), L"Enter Number to Convert");
  EXPECT_FALSE(program.Loaded(L"comdlg32.dll"));
  EXPECT_FALSE(program.Loaded(L"oleacc.dll"));
  EXPECT_TRUE(program.Running());
}

// A font as the program makes it from its layout, at this screen's scale.
HFONT DesignFont(const wchar_t* face, double points) {
  LOGFONTW font{};
  font.lfHeight = -std::lround(points * Dpi() / 72.0);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = face == std::wstring_view(L"MS Shell Dlg") ? DEFAULT_CHARSET : 0;
  std::wstring_view(face).copy(font.lfFaceName, LF_FACESIZE - 1);
  return CreateFontIndirectW(&font);
}

int TextWidth(HFONT font, std::wstring_view text) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE extent{};
  GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &extent);
  SelectObject(dc, old);
  DeleteDC(dc);
  return extent.cx;
}

// Where the box draws a character, in its client coordinates (left edge of the glyph).
int CharX(HWND box, int index) {
  return static_cast<short>(LOWORD(SendMessageW(box, EM_POSFROMCHAR, index, 0)));
}

struct LongResultRow {
  const char* name;
  const wchar_t* entry;
  int unit;
  std::array<const wchar_t*, 4> results;
};

class LongResult : public MainWindow, public ::testing::WithParamInterface<LongResultRow> {};

// Each box shows every character of its value between its margins: the design font where the
// value fits in it, a smaller one where it does not; the box itself keeps its place and size.
TEST_P(LongResult, ShowsEveryCharacterInsideTheBox) {
  const LongResultRow& row = GetParam();
  SetEntry(row.entry);
  SendMessageW(Unit(row.unit), BM_CLICK, 0, 0);
  SendMessageW(Get("cmdCalculate"), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return Results()[0] == row.results[0]; })) << Results()[0].c_str();
  HFONT design = DesignFont(L"MS Sans Serif", 9.75);
  const char* boxes[] = {"txtByteResult", "txtKiloResult", "txtMegaResult", "txtGigaResult"};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(boxes[i]);
    HWND box = Get(boxes[i]);
    ASSERT_NE(box, nullptr) << "the box left its place";
    const std::wstring text = TextOf(box);
    EXPECT_EQ(text, row.results[static_cast<std::size_t>(i)]);
    const ControlRow& layout = Row(boxes[i]);
    const RECT rect = RectIn(box, program.Main());
    EXPECT_EQ(rect.right - rect.left, Pixels(layout.width));
    EXPECT_EQ(rect.bottom - rect.top, Pixels(layout.height));
    RECT area{};
    SendMessageW(box, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
    ASSERT_GT(area.right - area.left, 0);
    const int n = static_cast<int>(text.size());
    ASSERT_GE(n, 2);
    // The values end in two digits, and digits are all as wide.
    const int first = CharX(box, 0);
    const int last = CharX(box, n - 1);
    const int right = last + (last - CharX(box, n - 2));
    EXPECT_GE(first, area.left) << "cut on the left";
    EXPECT_LE(right, area.right) << "cut on the right";
    const int designWidth = TextWidth(design, text.substr(0, text.size() - 1));
    if (TextWidth(design, text) < area.right - area.left) {
      EXPECT_EQ(last - first, designWidth) << "not at the design font";
    } else {
      EXPECT_LT(last - first, designWidth);
    }
  }
  DeleteObject(design);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Values, LongResult,
    ::testing::Values(
        LongResultRow{"LargestNegative", L"-1.7976931348623157E+308", 0,
                      {L"-1.79769313486232E+308", L"-1.75555970201398E+305", L"-1.71441377149803E+302", L"-1.67423219872854E+299"}},
        LongResultRow{"SixteenDigits", L"1234567890123456", 0,
                      {L"1.23456789012346E+15", L"1205632705198.69", L"1177375688.67059", L"1149780.94597"}},
        LongResultRow{"Short", L"100", 2, {L"104857600", L"102400", L"100", L"0.09766"}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// The first and last columns of a bitmap's rows that hold other than `background`.
std::pair<int, int> InkColumns(HDC dc, int width, int height, COLORREF background) {
  int left = -1, right = -1;
  for (int x = 0; x < width; ++x) {
    for (int y = 0; y < height; ++y) {
      if (GetPixel(dc, x, y) != background) {
        if (left < 0) left = x;
        right = x;
        break;
      }
    }
  }
  return {left, right};
}

// The same, of what a window shows on the screen.
std::pair<int, int> ScreenInk(HWND window, COLORREF background) {
  RECT rect;
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC copy = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(copy, bitmap);
  BitBlt(copy, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  const auto ink = InkColumns(copy, width, height, background);
  SelectObject(copy, old);
  DeleteObject(bitmap);
  DeleteDC(copy);
  return ink;
}

// The same, of a caption drawn whole with `font` where nothing can cut it.
std::pair<int, int> CaptionInk(HFONT font, std::wstring_view caption, COLORREF background) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  const int width = 1000, height = 200;
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  ReleaseDC(nullptr, screen);
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  HGDIOBJ oldFont = SelectObject(dc, font);
  HBRUSH brush = CreateSolidBrush(background);
  RECT all{0, 0, width, height};
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  SetBkColor(dc, background);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  DrawTextW(dc, caption.data(), static_cast<int>(caption.size()), &all, DT_LEFT | DT_NOPREFIX);
  const auto ink = InkColumns(dc, width, height, background);
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return ink;
}

// Each label's caption ends inside its rectangle, at its design font where that fits.
TEST_F(MainWindow, LabelsShowTheirWholeCaption) {
  HFONT design = DesignFont(L"MS Shell Dlg", 8);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  for (const ControlRow& row : kMainControls) {
    if (!SameClass(row.kind, L"Static")) continue;
    SCOPED_TRACE(row.name);
    HWND label = Get(row.name);
    ASSERT_NE(label, nullptr);
    UpdateWindow(label);
    RECT client;
    GetClientRect(label, &client);
    const auto [left, right] = ScreenInk(label, face);
    ASSERT_GE(left, 0) << "nothing drawn";
    EXPECT_LT(right, client.right - 1) << "the caption reaches the right edge";
    const auto [wholeLeft, wholeRight] = CaptionInk(design, row.text, face);
    if (TextWidth(design, row.text) < client.right) {
      EXPECT_EQ(right - left, wholeRight - wholeLeft) << "cut or made smaller";
    } else {
      EXPECT_LT(right - left, wholeRight - wholeLeft) << "drawn at a size that does not fit";
    }
  }
  DeleteObject(design);
}

// A dark palette for the text boxes and the window, set before the program starts and
// put back after it has gone.
class DarkColours {
 protected:
  DarkColours() {
    for (std::size_t i = 0; i < kElements.size(); ++i) m_saved[i] = GetSysColor(kElements[i]);
    const std::array<COLORREF, 4> dark{RGB(30, 30, 30), RGB(45, 45, 45), RGB(230, 230, 230),
                                       RGB(230, 230, 230)};
    SetSysColors(static_cast<int>(kElements.size()), kElements.data(), dark.data());
  }
  ~DarkColours() {
    SetSysColors(static_cast<int>(kElements.size()), kElements.data(), m_saved.data());
  }
  DarkColours(const DarkColours&) = delete;
  DarkColours& operator=(const DarkColours&) = delete;

 private:
  static constexpr std::array<int, 4> kElements{COLOR_WINDOW, COLOR_BTNFACE, COLOR_WINDOWTEXT,
                                                COLOR_BTNTEXT};
  std::array<COLORREF, 4> m_saved{};
};

class DarkPalette : protected DarkColours, public MainWindow {};

rt::Rgb ToRgb(COLORREF c) { return {GetRValue(c), GetGValue(c), GetBValue(c)}; }

// The colour most pixels of a window have other than `background`: its text's.
COLORREF TextColour(HWND window, COLORREF background) {
  RECT rect;
  GetWindowRect(window, &rect);
  HDC screen = GetDC(nullptr);
  std::map<COLORREF, int> counts;
  for (int y = rect.top + 2; y < rect.bottom - 2; ++y) {
    for (int x = rect.left + 2; x < rect.right - 2; ++x) {
      const COLORREF c = GetPixel(screen, x, y);
      if (c != background) ++counts[c];
    }
  }
  ReleaseDC(nullptr, screen);
  COLORREF most = background;
  int best = 0;
  for (const auto& [colour, count] : counts) {
    if (count > best) most = colour, best = count;
  }
  return most;
}

// Results are blue, but never so dark on a dark background that they cannot be read.
TEST_F(DarkPalette, ResultsStayBlueAndReadable) {
  const COLORREF background = GetSysColor(COLOR_WINDOW);
  ASSERT_EQ(background, RGB(30, 30, 30));
  ConvertOneKilobyte();
  for (const char* name : {"txtByteResult", "lblResults"}) {
    SCOPED_TRACE(name);
    HWND window = Get(name);
    UpdateWindow(window);
    const COLORREF under =
        std::string_view(name) == "lblResults" ? GetSysColor(COLOR_BTNFACE) : background;
    const rt::Rgb text = ToRgb(TextColour(window, under));
    EXPECT_GE(rt::ContrastRatio(text, ToRgb(under)), rt::kReadableContrast)
        << int(text.red) << "," << int(text.green) << "," << int(text.blue);
    EXPECT_EQ(text.blue, 255) << "still blue";
    EXPECT_LT(text.red, 255);
  }
}

bool CentredOver(HWND window, HWND owner) {
  RECT a, b;
  GetWindowRect(window, &a);
  GetWindowRect(owner, &b);
  return std::abs((a.left + a.right) - (b.left + b.right)) <= 2 &&
         std::abs((a.top + a.bottom) - (b.top + b.bottom)) <= 2;
}

enum class Dialog { InvalidEntry, Instructions, About };

struct DialogRow {
  const char* name;
  Dialog dialog;
};

class DialogPlace : public MainWindow, public ::testing::WithParamInterface<DialogRow> {};

// Away from the screen's centre, where the system would put a message box of its own.
TEST_P(DialogPlace, OpensCentredOverTheMainWindow) {
  RECT frame;
  GetWindowRect(program.Main(), &frame);
  const int x = 40, y = 30;
  SetWindowPos(program.Main(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ASSERT_TRUE(WaitFor([&] {
    RECT now;
    GetWindowRect(program.Main(), &now);
    return now.left != frame.left || now.top != frame.top;
  }));
  HWND dialog = nullptr;
  switch (GetParam().dialog) {
    case Dialog::InvalidEntry:
      SetEntry(L"abc");
      PostMessageW(Get("cmdCalculate"), BM_CLICK, 0, 0);
      dialog = WaitForMessageBox();
      break;
    case Dialog::Instructions:
      Press({VK_MENU, 'H'});
      Press({'I'});
      dialog = WaitForMessageBox();
      break;
    case Dialog::About:
      Press({VK_MENU, 'H'});
      Press({'B'});
      WaitFor([&] {
        return (dialog = program.FindWindowTitled(L"About Pimbrel's Norvane")) != nullptr;
      });
      break;
  }
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), program.Main());
  EXPECT_TRUE(WaitFor([&] { return CentredOver(dialog, program.Main()); }, 3s));
  RECT box, main;
  GetWindowRect(dialog, &box);
  GetWindowRect(program.Main(), &main);
  EXPECT_TRUE(CentredOver(dialog, program.Main()))
      << "box " << box.left << "," << box.top << " " << box.right << "," << box.bottom << "; main "
      << main.left << "," << main.top << " " << main.right << "," << main.bottom;
  if (GetParam().dialog == Dialog::About) {
    Press({VK_ESCAPE});
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
  } else {
    EXPECT_TRUE(PressButton(dialog, L"OK"));
  }
  EXPECT_TRUE(program.Running());
}

INSTANTIATE_TEST_SUITE_P(Each, DialogPlace,
                         ::testing::Values(DialogRow{"InvalidEntry", Dialog::InvalidEntry},
                                           DialogRow{"Instructions", Dialog::Instructions},
                                           DialogRow{"About", Dialog::About}),
                         [](const auto& info) { return std::string(info.param.name); });

enum class PasteBy { Message, CtrlV, ShiftInsert };

struct PasteRow {
  const char* name;
  std::wstring clipboard;
  PasteBy by;
  std::wstring before;   // in the entry, selected whole, when the paste comes
  std::wstring after;    // in the entry afterwards
  const wchar_t* shown;  // what Enter then shows: a Bytes result, or the message box's text
};

class Paste : public MainWindow, public ::testing::WithParamInterface<PasteRow> {};

const std::wstring kTooLong = std::wstring(39999, L'0') + L"5";
const std::wstring kFull = std::wstring(32766, L'0') + L"5";

TEST_P(Paste, KeepsOneLineAndRefusesWhatDoesNotFit) {
  const PasteRow& row = GetParam();
  EXPECT_EQ(SendMessageW(Entry(), EM_GETLIMITTEXT, 0, 0), 32767);
  SetEntry(row.before);
  SendMessageW(Entry(), EM_SETSEL, 0, -1);
  ASSERT_TRUE(SetClipboardText(row.clipboard));
  switch (row.by) {
    case PasteBy::Message:
      PostMessageW(Entry(), WM_PASTE, 0, 0);
      break;
    case PasteBy::CtrlV:
      Press({VK_CONTROL, 'V'});
      break;
    case PasteBy::ShiftInsert:
      Press({VK_SHIFT, VK_INSERT});
      break;
  }
  if (row.before == row.after) {
    HWND box = WaitForMessageBox();
    ASSERT_NE(box, nullptr) << "a paste that does not fit is refused with a message";
    const MessageBoxContents shown = Read(box);
    EXPECT_EQ(shown.caption, kTitle);
    EXPECT_EQ(shown.text, L"The pasted text is too long for the entry box. Nothing was pasted.");
    EXPECT_EQ(GetWindow(box, GW_OWNER), program.Main());
    ASSERT_TRUE(PressButton(box, L"OK"));
  }
  EXPECT_TRUE(WaitFor([&] { return TextOf(Entry()) == row.after; }))
      << "entry has " << TextOf(Entry()).size() << " characters";
  SendMessageW(Unit(0), BM_CLICK, 0, 0);
  PostMessageW(Get("cmdCalculate"), BM_CLICK, 0, 0);
  const std::wstring shown = row.shown;
  if (shown == kInvalidEntry) {
    HWND box = WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Read(box).text, kInvalidEntry);
    ASSERT_TRUE(PressButton(box, L"OK"));
  } else {
    EXPECT_TRUE(WaitFor([&] { return Results()[0] == shown; })) << Results()[0].c_str();
    EXPECT_EQ(program.MessageBoxWindow(), nullptr);
  }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Clipboard, Paste,
    ::testing::Values(
        PasteRow{"CellWithNewline", L"12\n", PasteBy::CtrlV, L"", L"12", L"12"},
        PasteRow{"LineWithCrLf", L"7\r\n", PasteBy::ShiftInsert, L"", L"7", L"7"},
        PasteRow{"BreaksAtBothEnds", L"\r\n\r\n5\n", PasteBy::Message, L"9", L"5", L"5"},
        PasteRow{"BreakInsideKeptWhole", L"1\n2", PasteBy::CtrlV, L"", L"1\n2", kInvalidEntry},
        PasteRow{"CrLfInsideKeptWhole", L"1\r\n2", PasteBy::Message, L"3", L"1\r\n2", kInvalidEntry},
        PasteRow{"ExactlyTheLimit", kFull + L"\n", PasteBy::Message, L"", kFull, L"5"},
        PasteRow{"TooLongRefusedWhole", kTooLong, PasteBy::CtrlV, L"3", L"3", L"3"},
        PasteRow{"TooLongByMessage", L"1" + std::wstring(32767, L'0'), PasteBy::Message, L"4", L"4", L"4"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

}  // namespace
}  // namespace norvane::e2e
