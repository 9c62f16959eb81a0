#include "ui/main/frmMain.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "engine/conversion.h"
#include "tests/ui/fake_runtime.h"
#include "ui/about/frmAbout.h"

namespace norvane::test {
namespace {

using rt::kNoIndex;
using rt::MsgBoxButtons;

constexpr const char* kTitle = "Pimbrel's Norvane";
constexpr const char* kResultBoxes[] = {"txtByteResult", "txtKiloResult", "txtMegaResult",
                                        "txtGigaResult"};
const ResultTexts kHundredMegabytes{"104857600", "102400", "100", "0.09766"};

class MainWindow : public ::testing::Test {
 protected:
  MainWindow() { runtime.Show(main); }

  FakePeer& Peer() { return runtime.PeerOf(main); }
  void Type(std::string_view text) { Peer().SetText("txtEntry", kNoIndex, text); }
  void Select(Unit unit) { Peer().SetValue("optMeasure", static_cast<int>(unit), true); }
  void Click(std::string_view control) { runtime.RaiseClick(main, control); }
  int KeyDown(std::string_view control, int index, int keyCode, int shift = 0) {
    runtime.RaiseKeyDown(main, control, index, keyCode, shift);
    return keyCode;
  }
  ResultTexts Results() {
    ResultTexts texts;
    for (std::size_t i = 0; i < texts.size(); ++i)
      texts[i] = Peer().Text(kResultBoxes[i], kNoIndex);
    return texts;
  }
  // Leaves 100 Megabytes converted in the boxes, and a clean journal.
  void ConvertHundredMegabytes() {
    Type("100");
    Select(Unit::Megabytes);
    Click("cmdCalculate");
    ASSERT_EQ(Results(), kHundredMegabytes);
    runtime.journal.clear();
  }

  FakeRuntime runtime;
  frmMain& main = runtime.Instance<frmMain>();
};

TEST_F(MainWindow, OpensWithKilobytesSelectedAndEmptyBoxes) {
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Peer().Value("optMeasure", i), i == 1) << i;
  EXPECT_EQ(Peer().Text("txtEntry", kNoIndex), "");
  EXPECT_EQ(Results(), ResultTexts{});
  EXPECT_EQ(Peer().Caption(), "Norvane");
  EXPECT_EQ(runtime.loads.count("frmAbout"), 0u);
}

struct Conversion {
  const char* name;
  const char* entry;
  Unit unit;
  ResultTexts results;
};

class CalculateWith : public MainWindow, public ::testing::WithParamInterface<Conversion> {};

TEST_P(CalculateWith, TheSelectedUnitFillsTheBoxesBytesFirst) {
  Type(GetParam().entry);
  Select(GetParam().unit);
  runtime.journal.clear();
  main.Calculate();
  EXPECT_EQ(Results(), GetParam().results);
  std::vector<std::string> written;
  for (std::size_t i = 0; i < 4; ++i) {
    written.push_back("SetText " + std::string(kResultBoxes[i]) + " " + GetParam().results[i]);
  }
  EXPECT_EQ(runtime.journal, written);
}

INSTANTIATE_TEST_SUITE_P(
    Units, CalculateWith,
    ::testing::Values(Conversion{"OneByte", "1", Unit::Bytes, {"1", "0.00098", "0", "0"}},
                      Conversion{
                          "OneKilobyte", "1", Unit::Kilobytes, {"1024", "1", "0.00098", "0"}},
                      Conversion{"HundredMegabytes", "100", Unit::Megabytes, kHundredMegabytes},
                      Conversion{"OneAndAHalfGigabytes",
                                 "1.5",
                                 Unit::Gigabytes,
                                 {"1610612736", "1572864", "1536", "1.5"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindow, CalculateWithNoUnitWritesZerosWithoutReadingTheEntry) {
  Type("abc");
  Peer().SetValue("optMeasure", 1, false);
  const int reads = Peer().Reads("txtEntry");
  main.Calculate();
  EXPECT_EQ(Results(), (ResultTexts{"0", "0", "0", "0"}));
  EXPECT_EQ(Peer().Reads("txtEntry"), reads);
}

TEST_F(MainWindow, ReadsAndWritesTheRuntimesDecimalSeparator) {
  runtime.decimalSeparator = ',';
  Type("1,5");
  Select(Unit::Gigabytes);
  KeyDown("txtEntry", kNoIndex, rt::vbKeyReturn);
  EXPECT_EQ(Results(), (ResultTexts{"1610612736", "1572864", "1536", "1,5"}));
  EXPECT_TRUE(runtime.messageBoxes.empty());
}

// The engine knows '.' and ','; any other regional separator falls back to the point.
TEST_F(MainWindow, AnUnknownRegionalSeparatorReadsAndWritesAPoint) {
  runtime.decimalSeparator = '\'';
  Type("1.5");
  Select(Unit::Gigabytes);
  KeyDown("txtEntry", kNoIndex, rt::vbKeyReturn);
  EXPECT_EQ(Results(), (ResultTexts{"1610612736", "1572864", "1536", "1.5"}));
  EXPECT_TRUE(runtime.messageBoxes.empty());
}

TEST_F(MainWindow, OverflowLeavesEverythingAsItWasAndReachesTheErrorReport) {
  ConvertHundredMegabytes();
  const std::string huge = "2" + std::string(299, '0');  // above the Gigabytes limit
  Type(huge);
  Select(Unit::Gigabytes);
  runtime.journal.clear();
  const FakePeer::State before = Peer().Now();

  EXPECT_THROW(main.Calculate(), OverflowError);
  Click("cmdCalculate");

  EXPECT_EQ(runtime.messageBoxes,
            std::vector<MessageBox>({{kTitle, OverflowError().what(), MsgBoxButtons::OkOnly}}));
  EXPECT_EQ(runtime.journal, std::vector<std::string>{"MsgBox"});
  EXPECT_EQ(Peer().Now(), before);
}

struct InvalidEntry {
  const char* name;
  const char* text;
  int length;  // in UTF-16 code units, as SelLength counts
};

class RefusedEntry : public MainWindow, public ::testing::WithParamInterface<InvalidEntry> {};

TEST_P(RefusedEntry, ShowsOneMessageThenSelectsTheWholeEntry) {
  ConvertHundredMegabytes();
  Type(GetParam().text);
  runtime.journal.clear();
  Click("cmdCalculate");
  EXPECT_EQ(runtime.messageBoxes,
            std::vector<MessageBox>(
                {{kTitle, "You must enter a valid numeric amount .", MsgBoxButtons::OkOnly}}));
  // In this order, and nothing else: the boxes keep the earlier results.
  EXPECT_EQ(runtime.journal, std::vector<std::string>(
                                 {"MsgBox", "SetFocus txtEntry", "SetSelStart txtEntry 0",
                                  "SetSelLength txtEntry " + std::to_string(GetParam().length)}));
  EXPECT_EQ(Results(), kHundredMegabytes);
  EXPECT_EQ(Peer().Text("txtEntry", kNoIndex), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Entries, RefusedEntry,
                         ::testing::Values(InvalidEntry{"Letters", "abc", 3},
                                           InvalidEntry{"Empty", "", 0},
                                           InvalidEntry{"Blanks", "   ", 3},
                                           InvalidEntry{"LettersAfterDigits", "12abc", 5},
                                           InvalidEntry{"TwoSeparators", "1.2.3", 5},
                                           InvalidEntry{"LoneMinus", "-", 1},
                                           InvalidEntry{"OneHalfSign", "1\u00BD", 2},
                                           InvalidEntry{"OutsideTheBasicPlane", "\U0001F4BE", 2}),
                         [](const auto& info) { return std::string(info.param.name); });

// Every way to reach the Calculate command: the button, the menu entry, and Enter with any
// modifiers in the entry box or on any unit button.
struct Way {
  std::string name;
  std::string control;
  int index;  // the key's control index; unused for a click
  int shift;  // -1 for a click
};

std::vector<Way> WaysToCalculate() {
  std::vector<Way> ways{{"cmdCalculate_Click", "cmdCalculate", kNoIndex, -1},
                        {"mnuCalculate_Click", "mnuCalculate", kNoIndex, -1}};
  for (int shift = 0; shift < 8; ++shift) {
    const std::string mods = "_Enter_Shift" + std::to_string(shift);
    ways.push_back({"txtEntry" + mods, "txtEntry", kNoIndex, shift});
    for (int i = 0; i < 4; ++i)
      ways.push_back({"optMeasure" + std::to_string(i) + mods, "optMeasure", i, shift});
  }
  return ways;
}

class CalculateCommand : public MainWindow, public ::testing::WithParamInterface<Way> {};

TEST_P(CalculateCommand, ConvertsWithTheSelectedUnitAndNothingElse) {
  Type("100");
  Select(Unit::Megabytes);
  runtime.journal.clear();
  const Way& way = GetParam();
  if (way.shift < 0) {
    Click(way.control);
  } else {
    EXPECT_EQ(KeyDown(way.control, way.index, rt::vbKeyReturn, way.shift), rt::vbKeyReturn)
        << "the key is not consumed";
  }
  EXPECT_EQ(Results(), kHundredMegabytes);
  EXPECT_TRUE(runtime.messageBoxes.empty());
  EXPECT_EQ(runtime.journal.size(), 4u) << "only the four result boxes are written";
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Peer().Value("optMeasure", i), i == 2);
}

INSTANTIATE_TEST_SUITE_P(Ways, CalculateCommand, ::testing::ValuesIn(WaysToCalculate()),
                         [](const auto& info) { return info.param.name; });

struct OtherKey {
  std::string name;
  std::string control;
  int index;
  int keyCode;
};

std::vector<OtherKey> OtherKeys() {
  std::vector<OtherKey> keys;
  const std::pair<std::string, int> sources[] = {{"txtEntry", kNoIndex},
                                                 {"optMeasure", 0},
                                                 {"optMeasure", 1},
                                                 {"optMeasure", 2},
                                                 {"optMeasure", 3}};
  for (const auto& [control, index] : sources) {
    for (int keyCode : {8, 9, 10, 27, 32, 40, 65, 112}) {
      const std::string at = index == kNoIndex ? control : control + std::to_string(index);
      keys.push_back({at + "_Key" + std::to_string(keyCode), control, index, keyCode});
    }
  }
  return keys;
}

class KeyOtherThanEnter : public MainWindow, public ::testing::WithParamInterface<OtherKey> {};

TEST_P(KeyOtherThanEnter, DoesNothing) {
  Type("100");
  const FakePeer::State before = Peer().Now();
  EXPECT_EQ(KeyDown(GetParam().control, GetParam().index, GetParam().keyCode, rt::vbShiftMask),
            GetParam().keyCode);
  EXPECT_EQ(Peer().Now(), before);
  EXPECT_TRUE(runtime.messageBoxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyOtherThanEnter, ::testing::ValuesIn(OtherKeys()),
                         [](const auto& info) { return info.param.name; });

class PrintForm : public MainWindow,
                  public ::testing::WithParamInterface<std::tuple<const char*, bool>> {};

TEST_P(PrintForm, PrintsOnceAndReportsOnlyAFailure) {
  const auto [control, fails] = GetParam();
  ConvertHundredMegabytes();
  runtime.printFails = fails;
  const FakePeer::State before = Peer().Now();
  Click(control);
  EXPECT_EQ(runtime.prints, 1);
  std::vector<MessageBox> expected;
  if (fails) {
    expected.push_back(
        {kTitle, "There has been an error printing this form.", MsgBoxButtons::OkCancel});
  }
  EXPECT_EQ(runtime.messageBoxes, expected);
  EXPECT_EQ(Peer().Now(), before);
}

INSTANTIATE_TEST_SUITE_P(ButtonAndMenu, PrintForm,
                         ::testing::Combine(::testing::Values("cmdPrintForm", "mnuPrintForm"),
                                            ::testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param)) +
                                  (std::get<1>(info.param) ? "_Fails" : "_Works");
                         });

TEST_F(MainWindow, InstructionsShowTheSixPiecesInOneBox) {
  const FakePeer::State before = Peer().Now();
  Click("mnuInstructions");
  const std::string text =
      std::string(
          "To use the Norvane, simply add a numberical value in the ENTER NUMBER TO "
          "CONVERT box.") +
      " Select the appropriate criteria you wish to convert, byte, kilobyte, megabyte or "
      "gigabyte." +
      " Next, click the Calculate button to view the results." +
      " As an example, if you wanted to see how many bytes, kilobytes and gigabytess were in 100 "
      "megabytes," +
      " simply type 100 in the ENTER NUMBER TO CONVERT field and select MEGABYTES in the CRITERIA "
      "section," +
      " then click CALCULATE.  View the results in the RESULTS section.";
  EXPECT_EQ(runtime.messageBoxes, std::vector<MessageBox>({{kTitle, text, MsgBoxButtons::OkOnly}}));
  EXPECT_EQ(Peer().Now(), before);
}

TEST_F(MainWindow, CloseUnloadsTheWindowAndEndsTheRun) {
  runtime.user.push_back([this] { Click("cmdClose"); });
  EXPECT_EQ(runtime.Run(), 0);
  EXPECT_FALSE(main.Loaded());
  EXPECT_TRUE(runtime.user.empty());
}

TEST_F(MainWindow, ExitEndsAtOnce) {
  runtime.user.push_back([this] { Click("mnuExit"); });
  EXPECT_EQ(runtime.Run(), 0);
  EXPECT_TRUE(runtime.Ended());
  EXPECT_TRUE(runtime.user.empty());
}

// The About window, closed by its OK button or by the window system (no code of ours runs).
class AboutCommand : public MainWindow, public ::testing::WithParamInterface<bool> {};

TEST_P(AboutCommand, ShowsAFreshlyLoadedModalWindowEachTime) {
  const bool byOK = GetParam();
  frmAbout& about = runtime.Instance<frmAbout>();
  const FakePeer::State before = Peer().Now();
  for (int opening = 1; opening <= 2; ++opening) {
    runtime.user.push_back([&] {
      FakePeer& peer = runtime.PeerOf(about);
      EXPECT_EQ(peer.shown, rt::Modality::Modal);
      EXPECT_EQ(peer.Caption(), "About Pimbrel's Norvane");
      EXPECT_EQ(peer.Text("lblTitle", kNoIndex), "Pimbrel's Norvane");
      EXPECT_EQ(peer.Text("lblVersion", kNoIndex), "Version 1.0.2");
      if (byOK) {
        runtime.RaiseClick(about, "cmdOK");
      } else {
        runtime.Unload(about);
      }
    });
    Click("mnuAbout");
    EXPECT_TRUE(runtime.user.empty()) << "the About window was not shown modally";
    EXPECT_FALSE(about.Loaded());
    EXPECT_EQ(runtime.loads["frmAbout"], opening);
  }
  EXPECT_TRUE(main.Loaded());
  EXPECT_EQ(Peer().Now(), before);
  EXPECT_TRUE(runtime.messageBoxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Closing, AboutCommand, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "ByOK" : "ByWindowSystem"; });

TEST_F(MainWindow, NoOtherEventRunsCode) {
  const std::set<std::string_view> clicked = {"cmdCalculate",    "cmdPrintForm", "cmdClose",
                                              "mnuCalculate",    "mnuPrintForm", "mnuExit",
                                              "mnuInstructions", "mnuAbout"};
  const rt::FormLayout& layout = main.Layout();
  for (std::string_view name : clicked) {
    EXPECT_TRUE(layout.Find(name) || layout.FindMenu(name)) << name;
  }
  Type("abc");  // the Calculate command would complain about it
  const FakePeer::State before = Peer().Now();
  for (const rt::ControlSpec& c : layout.controls) {
    SCOPED_TRACE(std::string(c.name) + "(" + std::to_string(c.index) + ")");
    if (!clicked.contains(c.name)) Click(c.name);
    if (c.name != "txtEntry" && c.name != "optMeasure") {
      KeyDown(c.name, c.index, rt::vbKeyReturn);
    }
  }
  for (const rt::MenuSpec& m : layout.menus) {
    if (!clicked.contains(m.name)) Click(m.name);
  }
  EXPECT_EQ(Peer().Now(), before);
  EXPECT_TRUE(runtime.messageBoxes.empty());
  EXPECT_EQ(runtime.prints, 0);
  EXPECT_TRUE(main.Loaded());
  EXPECT_FALSE(runtime.Ended());
}

}  // namespace
}  // namespace norvane::test
