#include "app/qt/qtruntime.h"

#include <QApplication>
#include <QEvent>
#include <QLocale>
#include <QMessageBox>

#include "app/qt/formpeer.h"
#include "app/qt/strings.h"

namespace norvane::qt {

// One face for everything also spares loading a second one before the first paint.
QtRuntime::QtRuntime() { QApplication::setFont(DialogFont()); }

char QtRuntime::LocaleDecimalSeparator() const {
  const QString point = QLocale().decimalPoint();
  return point.size() == 1 ? point[0].toLatin1() : '\0';
}

std::unique_ptr<rt::FormPeer> QtRuntime::CreatePeer(rt::Form& form) {
  return std::make_unique<FormPeer>(*this, form);
}

void QtRuntime::ShowMessageBox(std::string_view title, std::string_view prompt,
                               rt::MsgBoxButtons buttons) {
  QMessageBox box(QMessageBox::NoIcon, ToQString(title), ToQString(prompt),
                  buttons == rt::MsgBoxButtons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                                         : QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

void QtRuntime::RunUntil(const std::function<bool()>& done) {
  // processEvents rather than a QEventLoop: the same loop then serves the
  // program, a modal window nested in a handler, and a test driving both.
  while (!done()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void QtRuntime::Wake() {
  if (QCoreApplication* app = QCoreApplication::instance()) {
    QCoreApplication::postEvent(app, new QEvent(QEvent::User));
  }
}

}  // namespace norvane::qt
