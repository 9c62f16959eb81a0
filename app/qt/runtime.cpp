#include "app/qt/runtime.h"

#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLocale>
#include <QMessageBox>
#include <QSpacerItem>
#include <QStyle>
#include <algorithm>

#include "app/qt/controls.h"
#include "app/qt/form_peer.h"
#include "app/qt/text.h"
#include "app/qt/window.h"

namespace norvane::qt {

int CaptionWidth(const QString& caption) {
  // Window managers draw captions bold, mostly in the title font or larger;
  // the icon and the title bar's buttons sit beside it.
  QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
  font.setBold(true);
  font.setPointSizeF(std::max(font.pointSizeF(), kCaptionPoints));
  const int bar = QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
  return QFontMetrics(font).horizontalAdvance(caption) + kCaptionButtons * std::max(bar, 24);
}

// One face for everything also spares loading a second one before the first paint.
QtRuntime::QtRuntime() {
  QApplication::setFont(DialogFont());
  QCoreApplication::instance()->installEventFilter(&m_lateAlt);
}

char QtRuntime::LocaleDecimalSeparator() const {
  const QString point = QLocale().decimalPoint();
  return point.size() == 1 ? point[0].toLatin1() : '\0';
}

std::unique_ptr<rt::FormPeer> QtRuntime::CreatePeer(rt::Form& form) {
  return std::make_unique<FormPeer>(*this, form);
}

namespace {

// QMessageBox takes its final size only as it shows, after QDialog has placed
// it from its size without a frame: centred again then, before it maps.
class OwnedMessageBox final : public QMessageBox {
 public:
  using QMessageBox::QMessageBox;

 protected:
  void showEvent(QShowEvent* event) override {
    QMessageBox::showEvent(event);
    if (parentWidget()) CentreOver(*this, *parentWidget()->window());
  }
};

}  // namespace

void QtRuntime::ShowMessageBox(std::string_view title, std::string_view prompt,
                               rt::MsgBoxButtons buttons) {
  // Owned by the program's window, the box opens centred over it and stays with it.
  OwnedMessageBox box(QMessageBox::NoIcon, ToQString(title), ToQString(prompt),
                      buttons == rt::MsgBoxButtons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                                             : QMessageBox::Ok,
                      OwnerWindow());
  // Only a title and a close button: a window manager offers to minimise a
  // box whose window does not say otherwise, and the box would vanish alone.
  box.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                     Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  box.setTextFormat(Qt::PlainText);
  box.setWindowModality(Qt::ApplicationModal);
  // QMessageBox sizes itself to its text alone; a short text would leave the caption cut.
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    grid->addItem(new QSpacerItem(CaptionWidth(box.windowTitle()), 0), grid->rowCount(), 0, 1,
                  grid->columnCount());
  }
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
