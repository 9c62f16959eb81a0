#include "app/qt/form_peer.h"

#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <algorithm>

#include "app/qt/controls.h"
#include "app/qt/print.h"
#include "app/qt/text.h"
#include "app/qt/window.h"

namespace norvane::qt {

FormPeer::FormPeer(rt::Runtime& runtime, rt::Form& form)
    : m_formName(form.Layout().name), m_window(new FormWindow(runtime, form)) {}

FormPeer::~FormPeer() {
  if (!m_window) return;
  m_window->Detach();
  m_window->hide();
  m_window->deleteLater();
}

QWidget& FormPeer::Widget(std::string_view control, int index) const {
  if (!m_window) throw rt::Error("The window " + std::string(m_formName) + " is gone.");
  QWidget* widget = m_window->Find(control, index);
  if (!widget) {
    throw rt::Error("The window " + std::string(m_formName) + " has no control " +
                    std::string(control) + ".");
  }
  return *widget;
}

template <class W>
W& FormPeer::As(std::string_view control, int index) const {
  auto* widget = qobject_cast<W*>(&Widget(control, index));
  if (!widget) {
    throw rt::Error("The control " + std::string(control) + " does not support this operation.");
  }
  return *widget;
}

std::string FormPeer::Text(std::string_view control, int index) const {
  if (control == m_formName && index == rt::kNoIndex && m_window) {
    return ToStdString(m_window->windowTitle());
  }
  QWidget& widget = Widget(control, index);
  if (auto* edit = qobject_cast<QLineEdit*>(&widget)) return ToStdString(edit->text());
  if (auto* label = qobject_cast<QLabel*>(&widget)) return ToStdString(label->text());
  if (auto* button = qobject_cast<QAbstractButton*>(&widget)) return ToStdString(button->text());
  if (auto* frame = qobject_cast<QGroupBox*>(&widget)) return ToStdString(frame->title());
  throw rt::Error("The control " + std::string(control) + " has no text.");
}

void FormPeer::SetText(std::string_view control, int index, std::string_view text) {
  const QString value = ToQString(text);
  if (control == m_formName && index == rt::kNoIndex && m_window) {
    m_window->setWindowTitle(value);
    return;
  }
  QWidget& widget = Widget(control, index);
  if (auto* edit = qobject_cast<QLineEdit*>(&widget)) {
    edit->setText(value);
  } else if (auto* label = qobject_cast<QLabel*>(&widget)) {
    label->setText(value);
  } else if (auto* button = qobject_cast<QAbstractButton*>(&widget)) {
    button->setText(value);
  } else if (auto* frame = qobject_cast<QGroupBox*>(&widget)) {
    frame->setTitle(value);
  } else {
    throw rt::Error("The control " + std::string(control) + " has no text.");
  }
}

void FormPeer::SetSelStart(std::string_view control, int index, int start) {
  auto& edit = As<QLineEdit>(control, index);
  edit.deselect();
  edit.setCursorPosition(std::clamp(start, 0, static_cast<int>(edit.text().size())));
}

void FormPeer::SetSelLength(std::string_view control, int index, int length) {
  auto& edit = As<QLineEdit>(control, index);
  const int start = edit.hasSelectedText() ? edit.selectionStart() : edit.cursorPosition();
  const int size = static_cast<int>(edit.text().size());
  edit.setSelection(start, std::clamp(length, 0, size - start));
}

void FormPeer::SetFocus(std::string_view control, int index) {
  Widget(control, index).setFocus(Qt::OtherFocusReason);
}

bool FormPeer::Value(std::string_view control, int index) const {
  return As<QRadioButton>(control, index).isChecked();
}

void FormPeer::SetValue(std::string_view control, int index, bool value) {
  auto& option = As<QRadioButton>(control, index);
  if (value) {
    option.setChecked(true);
    return;
  }
  if (!option.isChecked()) return;
  // Qt keeps one button of a group checked; the runtime may clear them all,
  // and then every button of the group is a Tab stop again.
  option.setAutoExclusive(false);
  option.setChecked(false);
  option.setAutoExclusive(true);
  SetGroupTabStops(option, false);
}

void FormPeer::Show(rt::Modality modality) {
  if (!m_window) return;
  if (!m_window->isVisible()) {
    m_window->setWindowModality(modality == rt::Modality::Modal ? Qt::ApplicationModal
                                                                : Qt::NonModal);
    // A modal window belongs to the one it was opened from: it opens over it
    // and cannot be minimised or lost behind it on its own.
    QWidget* owner = modality == rt::Modality::Modal ? OwnerWindow(m_window) : nullptr;
    if (owner && m_window->parentWidget() != owner) {
      m_window->setParent(owner, m_window->windowFlags() & ~Qt::WindowMinimizeButtonHint);
      m_window->setWindowModality(Qt::ApplicationModal);
    }
    if (owner) {
      if (m_window->layout()) m_window->layout()->activate();
      CentreOver(*m_window, *owner);
    }
  }
  if (!m_window->focusWidget()) m_window->FocusFirst();
  m_window->show();
  m_window->activateWindow();
}

void FormPeer::PrintImage() {
  if (!m_window) throw rt::Error("The window " + std::string(m_formName) + " is gone.");
  PrintWidgetImage(m_window->Client(), m_window->windowTitle());
}

}  // namespace norvane::qt
