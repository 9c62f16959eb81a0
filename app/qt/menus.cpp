#include <QMenu>
#include <QMenuBar>

#include "app/qt/text.h"
#include "app/qt/window.h"

namespace norvane::qt {

QMenuBar* FormWindow::BuildMenus(std::span<const rt::MenuSpec> menus) {
  auto* bar = new QMenuBar(this);
  bar->setNativeMenuBar(false);  // keeps the client area where the layout puts it
  QMenu* menu = nullptr;
  for (std::size_t i = 0; i < menus.size(); ++i) {
    const rt::MenuSpec& row = menus[i];
    QAction* action = nullptr;
    if (row.level == 0) {
      const bool hasEntries = i + 1 < menus.size() && menus[i + 1].level > 0;
      if (hasEntries) {
        menu = bar->addMenu(ToQString(row.caption));
        menu->setObjectName(ToQString(row.name));
        menu->menuAction()->setObjectName(ToQString(row.name));
        continue;
      }
      menu = nullptr;
      action = bar->addAction(ToQString(row.caption));  // a title without entries is a command
    } else if (menu) {
      action = menu->addAction(ToQString(row.caption));
    } else {
      continue;
    }
    action->setObjectName(ToQString(row.name));
    connect(action, &QAction::triggered, this,
            [this, &row] { RaiseClick(row.name, rt::kNoIndex); });
  }
  return bar;
}

}  // namespace norvane::qt
