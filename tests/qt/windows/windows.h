// What the window tests share: finding the program's widgets, reaching
// commands the ways a person does, and reading what a window shows.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>

#include "tests/qt/test_forms.h"

namespace norvane::test {

// The name of a control as the layout tables write it: "optMeasure(2)".
inline QString NameOf(const QWidget* widget) {
  if (!widget) return QStringLiteral("(none)");
  const QVariant index = widget->property("Index");
  return widget->objectName() +
         (index.isValid() ? QStringLiteral("(%1)").arg(index.toInt()) : QString());
}

// Reaches a command of `window` one way a person would:
//   "click NAME"          a mouse click on a button
//   "Alt K"               an access key, pressed where the focus is
//   "keys T E"            Alt+T opens a menu, E chooses its entry
//   "mouse MENU ENTRY"    the same with the mouse
//   "close"               the title bar's close button
inline void Reach(QWidget* window, const QString& way) {
  const QStringList parts = way.split(' ');
  auto key = [](const QString& letter) { return Qt::Key(letter.at(0).toUpper().unicode()); };
  auto focus = [window] {
    return QApplication::focusWidget() ? QApplication::focusWidget() : window;
  };
  if (parts[0] == "click") {
    QTest::mouseClick(Control<QAbstractButton>(window, qPrintable(parts[1])), Qt::LeftButton);
  } else if (parts[0] == "Alt") {
    // The access key presses its button as the platform does, and releases it a moment later:
    // only then does the click run.
    QTest::keyClick(focus(), key(parts[1]), Qt::AltModifier);
    QList<QPointer<QAbstractButton>> buttons;
    for (auto* button : window->findChildren<QAbstractButton*>()) buttons << button;
    QTRY_VERIFY(std::ranges::none_of(buttons, [](const auto& b) { return b && b->isDown(); }));
  } else if (parts[0] == "keys") {
    QTest::keyClick(focus(), key(parts[1]), Qt::AltModifier);
    QTRY_VERIFY(QApplication::activePopupWidget());
    QTest::keyClick(QApplication::activePopupWidget(), key(parts[2]));
  } else if (parts[0] == "mouse") {
    auto* bar = window->findChild<QMenuBar*>();
    auto* menu = window->findChild<QMenu*>(parts[1]);
    QVERIFY(bar && menu);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    QTRY_VERIFY(menu->isVisible());
    auto* entry = window->findChild<QAction*>(parts[2]);
    QVERIFY(entry);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
  } else if (parts[0] == "close") {
    window->close();
  } else {
    QFAIL(qPrintable("unknown way " + way));
  }
}

// Runs `body` once `name` is the visible, active modal window; then, should `body` have left it
// open, closes it so that the modal wait that opened it ends. Call before opening the window.
class WhenModal : public QObject {
 public:
  WhenModal(const char* name, std::function<void(QWidget*)> body) {
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, [this, name, body] {
      QWidget* window = Window(name);
      if (--m_ticksLeft <= 0) m_timer.stop();
      if (!window || QApplication::activeModalWidget() != window || !window->isActiveWindow()) {
        return;
      }
      m_timer.stop();
      ++ran;
      body(window);
      if (Window(name) == window) window->close();
    });
    m_timer.start();
  }
  int ran = 0;

 private:
  QTimer m_timer;
  int m_ticksLeft = 500;
};

// Qt's default locale, restored when the test ends.
struct LocaleGuard {
  QLocale saved;
  ~LocaleGuard() { QLocale::setDefault(saved); }
};

}  // namespace norvane::test
