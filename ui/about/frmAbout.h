#pragma once

#include "app/forms.h"

namespace norvane {

// The About window: the application's title and version, a picture and a few notices.
class frmAbout final : public rt::Form {
 public:
  explicit frmAbout(rt::Runtime& runtime);

 private:
  void Form_Load() override;
  void Click(std::string_view control, int index) override;

  void cmdOK_Click();

  rt::Label lblTitle{*this, "lblTitle"};
  rt::Label lblVersion{*this, "lblVersion"};
};

}  // namespace norvane
