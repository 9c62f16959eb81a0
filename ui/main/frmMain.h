#pragma once

#include "app/forms.h"

namespace norvane {

// The main window: an amount typed in one unit, shown in all four.
class frmMain final : public rt::Form {
 public:
  explicit frmMain(rt::Runtime& runtime);

  // Converts the entry from the selected unit and fills the four result boxes, or, with no unit
  // selected, writes "0" into each. An OverflowError leaves every box as it was.
  void Calculate();

 private:
  void Form_Load() override;
  void Click(std::string_view control, int index) override;
  void KeyDown(std::string_view control, int index, int& keyCode, int shift) override;

  void cmdCalculate_Click();
  void cmdClose_Click();
  void cmdPrintForm_Click();
  void mnuAbout_Click();
  void mnuCalculate_Click();
  void mnuExit_Click();
  void mnuInstructions_Click();
  void mnuPrintForm_Click();
  void optMeasure_KeyDown(int index, int& keyCode, int shift);
  void txtEntry_KeyDown(int& keyCode, int shift);

  // The steps of Print Form, shared by its button and its menu entry.
  void PrintThisForm();

  rt::TextBox txtEntry{*this, "txtEntry"};
  rt::ControlArray<rt::OptionButton, 4> optMeasure{*this, "optMeasure"};
  rt::TextBox txtByteResult{*this, "txtByteResult"};
  rt::TextBox txtKiloResult{*this, "txtKiloResult"};
  rt::TextBox txtMegaResult{*this, "txtMegaResult"};
  rt::TextBox txtGigaResult{*this, "txtGigaResult"};
};

}  // namespace norvane
