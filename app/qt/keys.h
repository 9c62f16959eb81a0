// Keys as the handlers receive them.
#pragma once

#include <QKeyEvent>
#include <QObject>
#include <QPointer>
#include <deque>

namespace norvane::qt {

// The key codes the handlers know, from their Windows virtual-key numbers;
// 0 for keys they never see.
int KeyCode(const QKeyEvent& event);

int ShiftState(Qt::KeyboardModifiers modifiers);

// With a screen reader running, Qt's accessibility bridge holds each key press and release until
// the reader has seen it, then sends it again. But a press is first tried as a shortcut, and that
// is never held: an access key acts at once, and the Alt pressed for it comes after. That late Alt
// would close the menu that Alt+H has just opened, and it arms the menu bar a second time, so
// that its release moves the focus to the menu bar or away from it. Installed on the application,
// this filter keeps a late Alt from doing again what the report of its press has done.
class LateAltFilter final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Press {
    QPointer<QObject> window;
    bool used = false;  // by an access key, which has acted already
  };
  std::deque<Press> m_held;  // Alt presses reported but not yet delivered, oldest first
  bool m_resent = false;     // a press sent again is on its way from its window to a widget
};

}  // namespace norvane::qt
