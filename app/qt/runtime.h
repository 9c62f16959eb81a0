// The Qt Widgets back end of the forms runtime. Construct it after the
// QApplication; it runs everything on the thread that owns that application.
#pragma once

#include "app/forms.h"
#include "app/qt/keys.h"

class QString;

namespace norvane::qt {

// The least width of a window whose title bar shows `caption` whole.
int CaptionWidth(const QString& caption);
inline constexpr double kCaptionPoints = 11;
inline constexpr int kCaptionButtons = 4;

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

 private:
  LateAltFilter m_lateAlt;
};

}  // namespace norvane::qt
