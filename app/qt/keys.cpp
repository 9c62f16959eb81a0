#include "app/qt/keys.h"

#include <QKeySequence>
#include <utility>

#include "app/forms.h"

namespace norvane::qt {

int KeyCode(const QKeyEvent& event) {
  const int key = event.key();
  if (key >= Qt::Key_0 && key <= Qt::Key_9) {
    return (event.modifiers() & Qt::KeypadModifier) ? 96 + (key - Qt::Key_0) : key;
  }
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return key;
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return rt::vbKeyReturn;
    case Qt::Key_Backspace:
      return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return 9;
    case Qt::Key_Shift:
      return 16;
    case Qt::Key_Control:
      return 17;
    case Qt::Key_Alt:
      return 18;
    case Qt::Key_Escape:
      return 27;
    case Qt::Key_Space:
      return 32;
    case Qt::Key_PageUp:
      return 33;
    case Qt::Key_PageDown:
      return 34;
    case Qt::Key_End:
      return 35;
    case Qt::Key_Home:
      return 36;
    case Qt::Key_Left:
      return 37;
    case Qt::Key_Up:
      return 38;
    case Qt::Key_Right:
      return 39;
    case Qt::Key_Down:
      return 40;
    case Qt::Key_Insert:
      return 45;
    case Qt::Key_Delete:
      return 46;
    default:
      return 0;
  }
}

int ShiftState(Qt::KeyboardModifiers modifiers) {
  return ((modifiers & Qt::ShiftModifier) ? rt::vbShiftMask : 0) |
         ((modifiers & Qt::ControlModifier) ? rt::vbCtrlMask : 0) |
         ((modifiers & Qt::AltModifier) ? rt::vbAltMask : 0);
}

bool LateAltFilter::eventFilter(QObject* watched, QEvent* event) {
  const bool resent = std::exchange(m_resent, false);
  const QEvent::Type type = event->type();
  if (type == QEvent::Shortcut) {
    const QKeySequence& keys = static_cast<const QShortcutEvent&>(*event).key();
    if (!keys.isEmpty() && (keys[0].keyboardModifiers() & Qt::AltModifier)) {
      for (Press& press : m_held) press.used = true;
    }
    return false;
  }
  if ((type != QEvent::ShortcutOverride && type != QEvent::KeyPress) ||
      static_cast<const QKeyEvent&>(*event).key() != Qt::Key_Alt) {
    return false;
  }
  if (watched->isWindowType()) {
    if (event->spontaneous()) {
      if (type == QEvent::ShortcutOverride) m_held.push_back({watched});
      return false;
    }
    // Sent again, in the order typed; the bridge drops those whose window has gone.
    while (!m_held.empty() && !m_held.front().window) m_held.pop_front();
    if (m_held.empty()) return false;
    const bool used = m_held.front().used;
    m_held.pop_front();
    m_resent = !used;
    return used;
  }
  if (event->spontaneous()) {
    if (type == QEvent::KeyPress) m_held.clear();  // delivered at once: no bridge holds keys
    return false;
  }
  if (!resent || type != QEvent::ShortcutOverride) return false;
  // Qt tries a press sent again as a shortcut once more, which would arm the menu bar again.
  event->accept();
  return true;
}

}  // namespace norvane::qt
