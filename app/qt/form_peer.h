// A loaded window of the Qt back end, built from its layout table.
#pragma once

#include <QPointer>

#include "app/forms.h"

class QWidget;

namespace norvane::qt {

class FormWindow;

class FormPeer final : public rt::FormPeer {
 public:
  FormPeer(rt::Runtime& runtime, rt::Form& form);
  // Safe inside the window's own events: the window is cut off from the form
  // at once and deleted later, so none of its events reaches a reloaded form.
  ~FormPeer() override;
  FormPeer(const FormPeer&) = delete;
  FormPeer& operator=(const FormPeer&) = delete;

  std::string Text(std::string_view control, int index) const override;
  void SetText(std::string_view control, int index, std::string_view text) override;
  void SetSelStart(std::string_view control, int index, int start) override;
  void SetSelLength(std::string_view control, int index, int length) override;
  void SetFocus(std::string_view control, int index) override;
  bool Value(std::string_view control, int index) const override;
  void SetValue(std::string_view control, int index, bool value) override;
  void Show(rt::Modality modality) override;
  void PrintImage() override;

 private:
  QWidget& Widget(std::string_view control, int index) const;
  template <class W>
  W& As(std::string_view control, int index) const;

  std::string_view m_formName;
  QPointer<FormWindow> m_window;
};

}  // namespace norvane::qt
