// The top-level window of one loaded form, and where new windows go.
#pragma once

#include <QCloseEvent>
#include <QWidget>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "app/forms.h"

class QMenuBar;
class QPushButton;

namespace norvane::qt {

class ClientArea;

// The top-level widget of one loaded form. It forwards its events to the
// form until the peer detaches it.
class FormWindow final : public QWidget {
 public:
  FormWindow(rt::Runtime& runtime, rt::Form& form);

  void Detach() {
    m_runtime = nullptr;
    m_form = nullptr;
  }
  QWidget& Client() const;
  QWidget* Find(std::string_view name, int index) const {
    for (const auto& [row, widget] : m_controls) {
      if (row->name == name && row->index == index) return widget;
    }
    return nullptr;
  }
  void FocusFirst() {
    for (const auto& [row, widget] : m_tabOrder) {
      if ((widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled()) {
        widget->setFocus(Qt::TabFocusReason);
        return;
      }
    }
  }

 protected:
  void closeEvent(QCloseEvent* event) override {
    // The runtime's unload hides and releases the window; no program code runs.
    event->ignore();
    if (m_form) m_runtime->Unload(*m_form);
  }
  void keyPressEvent(QKeyEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  using Entry = std::pair<const rt::ControlSpec*, QWidget*>;
  QMenuBar* BuildMenus(std::span<const rt::MenuSpec> menus);
  QWidget* Build(const rt::ControlSpec& row, QWidget* parent);
  void RaiseClick(std::string_view control, int index) {
    if (m_form) m_runtime->RaiseClick(*m_form, control, index);
  }

  rt::Runtime* m_runtime;
  rt::Form* m_form;
  const rt::FormLayout& m_layout;
  ClientArea* m_client = nullptr;
  QPushButton* m_default = nullptr;
  QPushButton* m_cancel = nullptr;
  std::vector<Entry> m_controls;  // in the order built
  std::vector<Entry> m_tabOrder;  // by TabIndex
};

// The program's window a new modal box or window belongs to: the active one,
// or the top one when none is; nullptr when none is shown. Never `except`.
QWidget* OwnerWindow(const QWidget* except = nullptr);

// Places a window that is about to show so that its frame is centred on the owner's.
void CentreOver(QWidget& window, const QWidget& owner);

}  // namespace norvane::qt
