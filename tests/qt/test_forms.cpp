#include "tests/qt/test_forms.h"

#include <QAbstractButton>

#include "app/icon.h"

namespace norvane::test {
namespace {
using enum rt::ControlKind;
using rt::kNoIndex;

constexpr rt::FontSpec kNumberFont{"MS Sans Serif", 9.75, 400, false, false, false, 0};
constexpr rt::Rgb kBlue{0, 0, 255};

// clang-format off
constexpr rt::ControlSpec kTestControls[] = {
    {"txtEntry",  kNoIndex, TextBox,       "",         "",             2400, 480,  1575, 285,  0, &kNumberFont, {},    "Type here"},
    {"frmGroup",  kNoIndex, Frame,         "",         "Units",        4320, 240,  1455, 1815, 1, nullptr,      {},    "Pick one"},
    {"cmdGo",     kNoIndex, CommandButton, "",         "&Go",          2640, 1320, 1215, 735,  2},
    {"cmdClose",  kNoIndex, CommandButton, "",         "&Close",       4440, 3600, 1215, 495,  3},
    {"optUnit",   0,        OptionButton,  "frmGroup", "Bytes",        120,  240,  1095, 255,  4},
    {"optUnit",   1,        OptionButton,  "frmGroup", "Kilobytes",    120,  600,  1095, 255,  5},
    {"optUnit",   2,        OptionButton,  "frmGroup", "Megabytes",    120,  960,  1095, 255,  6},
    {"txtResult", kNoIndex, TextBox,       "",         "",             480,  2640, 1695, 360,  7, &kNumberFont, kBlue, {}, true, rt::Alignment::Right, nullptr, "Result in bytes"},
    {"lblNote",   kNoIndex, Label,         "",         "Fish & Chips", 480,  2280, 1695, 255,  8, nullptr,      kBlue},
};
constexpr rt::MenuSpec kTestMenus[] = {
    {"mnuFile", "&File", 0},
    {"mnuGo",   "&Go",   1},
    {"mnuExit", "E&xit", 1},
};
constexpr rt::FormLayout kTestLayout{
    .name = "frmTest", .caption = "Test", .clientWidth = 6240, .clientHeight = 4350,
    .border = rt::BorderStyle::Sizable, .icon = &kApplicationIcon,
    .controls = kTestControls, .menus = kTestMenus,
};

constexpr rt::ControlSpec kDialogControls[] = {
    {"cmdOK",     kNoIndex, CommandButton, "", "OK",     4245, 2880, 1260, 345, 0},
    {"cmdCancel", kNoIndex, CommandButton, "", "Cancel", 2880, 2880, 1260, 345, 1},
    {"txtName",   kNoIndex, TextBox,       "", "",       240,  240,  2000, 285, 2},
    {"picIcon",   kNoIndex, PictureBox,    "", "",       240,  1200, 540,  540, 3, nullptr, {}, {}, false, rt::Alignment::Left, &kApplicationIcon},
};
constexpr rt::LineSpec kDialogLines[] = {
    {"Line1", 1, 90,  2445, 5654, 2445, {128, 128, 128}, 1},
    {"Line1", 0, 105, 2460, 5654, 2460, {255, 255, 255}, 2},
};
constexpr rt::FormLayout kDialogLayout{
    .name = "frmDialog", .caption = "Dialog", .clientWidth = 5730, .clientHeight = 3555,
    .border = rt::BorderStyle::FixedDialog, .icon = &kApplicationIcon,
    .controls = kDialogControls, .lines = kDialogLines,
    .defaultButton = "cmdOK", .cancelButton = "cmdCancel",
};
// clang-format on
}  // namespace

frmTest::frmTest(rt::Runtime& runtime) : RecordingForm(runtime, kTestLayout) {}
frmDialog::frmDialog(rt::Runtime& runtime) : RecordingForm(runtime, kDialogLayout) {}

QWidget* Window(const char* name) {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    // A window on its way out is hidden; a loaded one is shown, or not yet shown ever.
    if (widget->objectName() == QLatin1String(name) &&
        (widget->isVisible() || !widget->testAttribute(Qt::WA_WState_ExplicitShowHide))) {
      return widget;
    }
  }
  return nullptr;
}

BoxCloser::BoxCloser(QMessageBox::StandardButton button) {
  m_timer.setInterval(10);
  connect(&m_timer, &QTimer::timeout, this, [this, button] {
    if (--m_ticksLeft <= 0) m_timer.stop();
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    seen.push_back(
        {box->windowTitle(), box->text(), box->standardButtons(), box->icon(), box->isModal()});
    QAbstractButton* press =
        box->button(button) ? box->button(button) : box->button(QMessageBox::Ok);
    if (press) press->click();
  });
  m_timer.start();
}

}  // namespace norvane::test
