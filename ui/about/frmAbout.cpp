#include "ui/about/frmAbout.h"

#include <string>

#include "app/icon.h"
#include "ui/about/picture.h"

namespace norvane {
namespace {
using enum rt::ControlKind;
using rt::kNoIndex;

constexpr rt::Rgb kBlack{0, 0, 0};
constexpr auto kLeft = rt::Alignment::Left;

constexpr std::string_view kDescription =
    "The Norvane was developed as a simple tool to quickly and easily calculate bytes, kilobytes, "
    "megabytes and gigabytes.  Special thanks to \"Tolp\" for his mathematical assistance. ";
constexpr std::string_view kDisclaimer =
    "Norvane comes with no warranty. Write to norvane@pimbrels.example with questions. "
    "\u00A9 2026 Pimbrel's Computers.";

// lblTitle's and lblVersion's texts, like the caption, are replaced before the window first shows.
// clang-format off
constexpr rt::ControlSpec kControls[] = {
//  name              index     kind           container text                            left  top   width height tab font     colour
    {"cmdOK",          kNoIndex, CommandButton, "",       "OK",                           4245, 2880, 1260, 345,  0},
    {"picIcon",        kNoIndex, PictureBox,    "",       "",                             240,  240,  780,  780,  1,  nullptr, {},     {}, false, kLeft, &kAboutPicture},
    {"lblDescription", kNoIndex, Label,         "",       kDescription,                   1050, 1125, 3885, 930,  2,  nullptr, kBlack},
    {"lblDisclaimer",  kNoIndex, Label,         "",       kDisclaimer,                    255,  2640, 3870, 825,  3,  nullptr, kBlack},
    {"lblTitle",       kNoIndex, Label,         "",       "Pimbrel's Computers Norvane ", 1050, 240,  3885, 480,  4,  nullptr, kBlack},
    {"lblVersion",     kNoIndex, Label,         "",       "Version 1.0",                  1050, 780,  3885, 225,  5},
    {"Label1",         kNoIndex, Label,         "",       "www.pimbrels.example/norvane", 960,  2160, 4095, 255,  6},
};

// An etched rule: a gray line with a white one a pixel below it.
constexpr rt::LineSpec kLines[] = {
//  name     index x1   y1    x2    y2    colour           width in pixels
    {"Line1", 1,   90,  2445, 5654, 2445, {128, 128, 128}, 1},
    {"Line1", 0,   105, 2460, 5654, 2460, {255, 255, 255}, 2},
};
// clang-format on

constexpr rt::FormLayout kLayout{
    .name = "frmAbout",
    .caption = "About Norvane",
    .clientWidth = 5730,
    .clientHeight = 3555,
    .border = rt::BorderStyle::FixedDialog,
    .icon = &kApplicationIcon,
    .controls = kControls,
    .lines = kLines,
    .defaultButton = "cmdOK",
    .cancelButton = "cmdOK",
};
}  // namespace

frmAbout::frmAbout(rt::Runtime& runtime) : rt::Form(runtime, kLayout) {}

void frmAbout::Form_Load() {
  const ApplicationIdentity& app = Rt().App();
  SetCaption("About " + std::string(app.Title));
  lblVersion.SetCaption("Version " + std::to_string(app.Major) + "." + std::to_string(app.Minor) +
                        "." + std::to_string(app.Revision));
  lblTitle.SetCaption(app.Title);
}

void frmAbout::Click(std::string_view control, int /*index*/) {
  if (control == "cmdOK") cmdOK_Click();
}

void frmAbout::cmdOK_Click() { Rt().Unload(*this); }

}  // namespace norvane
