// The Qt Widgets back end of the forms runtime. Construct it after the
// QApplication; it runs everything on the thread that owns that application.
#pragma once

#include "app/forms.h"

namespace norvane::qt {

class QtRuntime final : public rt::Runtime {
 public:
  QtRuntime();

 protected:
  char LocaleDecimalSeparator() const override;
  std::unique_ptr<rt::FormPeer> CreatePeer(rt::Form& form) override;
  void ShowMessageBox(std::string_view title, std::string_view prompt,
                      rt::MsgBoxButtons buttons) override;
  void RunUntil(const std::function<bool()>& done) override;
  void Wake() override;
};

}  // namespace norvane::qt
