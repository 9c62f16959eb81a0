// Small windows for the back end's tests, with their own layout tables. Each
// records the events that reach it and runs what a test hands it.
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "app/forms.h"

namespace norvane::test {

class RecordingForm : public rt::Form {
 public:
  using rt::Form::Form;
  std::vector<std::string> log;
  std::function<void()> onLoad;
  std::function<void(std::string_view control, int index)> onClick;
  std::function<void(int& keyCode)> onKeyDown;

 private:
  void Form_Load() override {
    log.push_back("Load");
    if (onLoad) onLoad();
  }
  void Click(std::string_view control, int index) override {
    log.push_back(Entry("Click", control, index));
    if (onClick) onClick(control, index);
  }
  void KeyDown(std::string_view control, int index, int& keyCode, int shift) override {
    std::string entry = Entry("KeyDown", control, index);
    entry.append(" ").append(std::to_string(keyCode)).append(" ").append(std::to_string(shift));
    log.push_back(entry);
    if (onKeyDown) onKeyDown(keyCode);
  }
  // Built by appending: GCC 12 warns falsely about "literal" + std::string at -O3.
  static std::string Entry(std::string_view event, std::string_view control, int index) {
    std::string entry(event);
    entry.append(" ").append(control);
    if (index != rt::kNoIndex) entry.append("(").append(std::to_string(index)).append(")");
    return entry;
  }
};

// A sizable window with a menu bar, a frame of option buttons, text boxes and a label.
class frmTest final : public RecordingForm {
 public:
  explicit frmTest(rt::Runtime& runtime);
};

// A fixed dialog with default and cancel buttons, a picture and an etched rule.
class frmDialog final : public RecordingForm {
 public:
  explicit frmDialog(rt::Runtime& runtime);
};

// The window whose top-level widget has this objectName and is not being deleted.
QWidget* Window(const char* name);

template <class W = QWidget>
W* Control(QWidget* window, const char* name, int index = rt::kNoIndex) {
  if (!window) return nullptr;
  for (W* widget : window->findChildren<W*>(QString::fromLatin1(name))) {
    const QVariant value = widget->property("Index");
    if ((value.isValid() ? value.toInt() : rt::kNoIndex) == index) return widget;
  }
  return nullptr;
}

// What one message box showed.
struct SeenBox {
  QString title, text;
  QMessageBox::StandardButtons buttons;
  QMessageBox::Icon icon;
  bool modal;
};

// Watches for modal message boxes and closes each with `button`, noting what
// it showed; gives up after a few seconds so that a missing box fails, not hangs.
class BoxCloser : public QObject {
 public:
  explicit BoxCloser(QMessageBox::StandardButton button = QMessageBox::Ok);
  std::vector<SeenBox> seen;

 private:
  QTimer m_timer;
  int m_ticksLeft = 500;
};

}  // namespace norvane::test
