#include "ui/main/frmMain.h"

#include <algorithm>

#include "app/icon.h"
#include "engine/conversion.h"
#include "ui/about/frmAbout.h"

namespace norvane {
namespace {
using enum rt::ControlKind;
using rt::kNoIndex;

constexpr rt::FontSpec kNumberFont{"MS Sans Serif", 9.75, 400, false, false, false, 0};
constexpr rt::Rgb kBlue{0, 0, 255};
constexpr auto kRight = rt::Alignment::Right;

constexpr std::string_view kEntryLabel = "Enter Number to Convert";
constexpr std::string_view kEntryTip = "Enter the number you wish to convert";

// The result boxes are only ever written: locked (still selectable for copying) and, being
// numbers, right-aligned. Each text box has the name a screen reader gives it: the caption of the
// label beside it.
// clang-format off
constexpr rt::ControlSpec kControls[] = {
//  name             index     kind           container    text                       left  top   width height tab font         colour  tip text
    {"txtEntry",      kNoIndex, TextBox,       "",          "",                        2400, 480,  1575, 285,  0,  &kNumberFont, {},     kEntryTip, false, rt::Alignment::Left, nullptr, kEntryLabel},
    {"frmSelect",     kNoIndex, Frame,         "",          "Entry Criteria",          4320, 240,  1455, 1815, 1,  nullptr,      {},     "Select the criteria for the number to convert you entered"},
    {"cmdCalculate",  kNoIndex, CommandButton, "",          "C&alculate",              2640, 1320, 1215, 735,  2},
    {"cmdPrintForm",  kNoIndex, CommandButton, "",          "&Print Form",             4440, 3120, 1215, 375,  3},
    {"cmdClose",      kNoIndex, CommandButton, "",          "&Close",                  4440, 3600, 1215, 495,  4},
    {"optMeasure",    0,        OptionButton,  "frmSelect", "Bytes",                   120,  240,  1095, 255,  5},
    {"optMeasure",    1,        OptionButton,  "frmSelect", "Kilobytes",               120,  600,  1095, 255,  6},
    {"optMeasure",    2,        OptionButton,  "frmSelect", "Megabytes",               120,  960,  1095, 255,  7},
    {"optMeasure",    3,        OptionButton,  "frmSelect", "Gigabytes",               120,  1320, 1095, 255,  8},
    {"txtByteResult", kNoIndex, TextBox,       "",          "",                        480,  2640, 1695, 360,  9,  &kNumberFont, kBlue,  {}, true, kRight, nullptr, "Bytes"},
    {"txtMegaResult", kNoIndex, TextBox,       "",          "",                        480,  3360, 1695, 360,  10, &kNumberFont, kBlue,  {}, true, kRight, nullptr, "Megabytes"},
    {"txtGigaResult", kNoIndex, TextBox,       "",          "",                        480,  3720, 1695, 360,  11, &kNumberFont, kBlue,  {}, true, kRight, nullptr, "Gigabytes"},
    {"lblEntry",      kNoIndex, Label,         "",          kEntryLabel,               480,  480,  1935, 285,  12},
    {"lblResults",    kNoIndex, Label,         "",          "Results",                 480,  2280, 1695, 255,  13, nullptr,      kBlue},
    {"txtKiloResult", kNoIndex, TextBox,       "",          "",                        480,  3000, 1695, 360,  14, &kNumberFont, kBlue,  {}, true, kRight, nullptr, "Kilobytes"},
    {"lblKilobytes",  kNoIndex, Label,         "",          "Kilobytes",               2280, 3120, 735,  285,  15},
    {"lblGigabytes",  kNoIndex, Label,         "",          "Gigabytes",               2280, 3840, 735,  285,  16},
    {"lblMegabytes",  kNoIndex, Label,         "",          "Megabytes",               2280, 3480, 735,  285,  17},
    {"lblBytes",      kNoIndex, Label,         "",          "Bytes",                   2280, 2760, 735,  285,  18},
};

constexpr rt::MenuSpec kMenus[] = {
    {"mnuFile",         "&File",         0},
    {"mnuCalculate",    "C&alculate",    1},
    {"mnuPrintForm",    "&Print Form",   1},
    {"mnuExit",         "&Exit",         1},
    {"mnuHelp",         "&Help",         0},
    {"mnuInstructions", "&Instructions", 1},
    {"mnuAbout",        "A&bout",        1},
};

// Six pieces, joined with nothing between them.
constexpr std::string_view kInstructions =
    "To use the Norvane, simply add a numberical value in the ENTER NUMBER TO CONVERT box."
    " Select the appropriate criteria you wish to convert, byte, kilobyte, megabyte or gigabyte."
    " Next, click the Calculate button to view the results."
    " As an example, if you wanted to see how many bytes, kilobytes and gigabytess were in 100 megabytes,"
    " simply type 100 in the ENTER NUMBER TO CONVERT field and select MEGABYTES in the CRITERIA section,"
    " then click CALCULATE.  View the results in the RESULTS section.";
// clang-format on

constexpr rt::FormLayout kLayout{
    .name = "frmMain",
    .caption = "Norvane",
    .clientWidth = 6240,
    .clientHeight = 4350,
    .border = rt::BorderStyle::Sizable,
    .icon = &kApplicationIcon,
    .controls = kControls,
    .menus = kMenus,
};

}  // namespace

frmMain::frmMain(rt::Runtime& runtime) : rt::Form(runtime, kLayout) {}

void frmMain::Calculate() {
  ResultTexts results{"0", "0", "0", "0"};
  for (int i = 0; i < optMeasure.Count(); ++i) {
    if (optMeasure[i].Value()) {
      results = CalculateResults(txtEntry.Text(), static_cast<Unit>(i), Rt().DecimalSeparator());
      break;
    }
  }
  txtByteResult.SetText(results[0]);
  txtKiloResult.SetText(results[1]);
  txtMegaResult.SetText(results[2]);
  txtGigaResult.SetText(results[3]);
}

void frmMain::Form_Load() { optMeasure[static_cast<int>(kDefaultUnit)].SetValue(true); }

void frmMain::Click(std::string_view control, int /*index*/) {
  struct Binding {
    std::string_view control;
    void (frmMain::*handler)();
  };
  static constexpr Binding kClicks[] = {
      {"cmdCalculate", &frmMain::cmdCalculate_Click},
      {"cmdPrintForm", &frmMain::cmdPrintForm_Click},
      {"cmdClose", &frmMain::cmdClose_Click},
      {"mnuCalculate", &frmMain::mnuCalculate_Click},
      {"mnuPrintForm", &frmMain::mnuPrintForm_Click},
      {"mnuExit", &frmMain::mnuExit_Click},
      {"mnuInstructions", &frmMain::mnuInstructions_Click},
      {"mnuAbout", &frmMain::mnuAbout_Click},
  };
  static_assert(std::ranges::all_of(kClicks, [](const Binding& b) {
    return kLayout.Find(b.control) || kLayout.FindMenu(b.control);
  }));
  const auto* binding = std::ranges::find(kClicks, control, &Binding::control);
  if (binding != std::end(kClicks)) (this->*binding->handler)();
}

void frmMain::KeyDown(std::string_view control, int index, int& keyCode, int shift) {
  if (control == txtEntry.Name()) {
    txtEntry_KeyDown(keyCode, shift);
  } else if (control == optMeasure[0].Name()) {
    optMeasure_KeyDown(index, keyCode, shift);
  }
}

void frmMain::cmdCalculate_Click() {
  if (IsNumericAmount(txtEntry.Text(), Rt().DecimalSeparator())) {
    Calculate();
    return;
  }
  Rt().MsgBox("You must enter a valid numeric amount .", rt::MsgBoxButtons::OkOnly);
  txtEntry.SetFocus();
  txtEntry.SetSelStart(0);
  txtEntry.SetSelLength(rt::Len(txtEntry.Text()));
}

void frmMain::cmdClose_Click() { Rt().Unload(*this); }

void frmMain::cmdPrintForm_Click() { PrintThisForm(); }

void frmMain::mnuAbout_Click() { Rt().Show(Rt().Instance<frmAbout>(), rt::Modality::Modal); }

void frmMain::mnuCalculate_Click() { cmdCalculate_Click(); }

void frmMain::mnuExit_Click() { Rt().End(); }

void frmMain::mnuInstructions_Click() { Rt().MsgBox(kInstructions, rt::MsgBoxButtons::OkOnly); }

void frmMain::mnuPrintForm_Click() { PrintThisForm(); }

void frmMain::optMeasure_KeyDown(int /*index*/, int& keyCode, int /*shift*/) {
  if (keyCode == rt::vbKeyReturn) cmdCalculate_Click();
}

void frmMain::txtEntry_KeyDown(int& keyCode, int /*shift*/) {
  if (keyCode == rt::vbKeyReturn) cmdCalculate_Click();
}

void frmMain::PrintThisForm() {
  try {
    Rt().PrintForm(*this);
  } catch (const rt::Error&) {
    Rt().MsgBox("There has been an error printing this form.", rt::MsgBoxButtons::OkCancel);
  }
}

}  // namespace norvane
