// The floor of the Linux program: a bare Qt window with the same menus and widgets.
#include <QApplication>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cstddef>

#include "controls.h"

namespace {

template <std::size_t N>
void AddMenu(QMenuBar& bar, const char* const (&rows)[N]) {
  QMenu* menu = bar.addMenu(QString::fromLatin1(rows[0]));
  for (std::size_t i = 1; i < N; ++i) menu->addAction(QString::fromLatin1(rows[i]));
}

QWidget* Make(const bare::Control& row, QWidget* client) {
  const QString text = QString::fromLatin1(row.text);
  switch (row.kind) {
    case bare::Kind::Entry:
      return new QLineEdit(text, client);
    case bare::Kind::Frame:
      return new QGroupBox(text, client);
    case bare::Kind::Button:
      return new QPushButton(text, client);
    case bare::Kind::Option:
      return new QRadioButton(text, client);
    case bare::Kind::Label:
      break;
  }
  return new QLabel(text, client);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Qt floor"));
  auto* bar = new QMenuBar(&window);
  AddMenu(*bar, bare::kFileMenu);
  AddMenu(*bar, bare::kHelpMenu);
  auto* client = new QWidget(&window);
  client->setFixedSize(bare::kClientWidth, bare::kClientHeight);
  auto* frame = new QVBoxLayout(&window);
  frame->setContentsMargins(0, 0, 0, 0);
  frame->setMenuBar(bar);
  frame->addWidget(client);
  // The faces a Linux desktop has for these: narrow ones, "MS Sans Serif" being missing.
  const QStringList faces{"Liberation Sans Narrow", "Nimbus Sans Narrow", "DejaVu Sans Condensed"};
  QFont dialogFont;
  dialogFont.setFamilies(faces);
  dialogFont.setPointSizeF(8);
  QApplication::setFont(dialogFont);
  QFont boxFont = dialogFont;
  boxFont.setPointSizeF(9.75);
  for (const bare::Control& row : bare::kControls) {
    QWidget* widget = Make(row, client);
    widget->setGeometry(row.x, row.y, row.width, row.height);
    if (row.boxFont) widget->setFont(boxFont);
  }
  window.show();
  return application.exec();
}
