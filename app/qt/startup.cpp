#include "app/qt/startup.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>

#include "app/icon.h"
#include "app/identity.h"
#include "app/qt/picture.h"
#include "app/qt/text.h"

namespace norvane::qt {

void ApplyIdentity() {
  QCoreApplication::setApplicationName(ToQString(kIdentity.ExeName));
  QCoreApplication::setOrganizationName(ToQString(kIdentity.CompanyName));
  QCoreApplication::setApplicationVersion(
      QStringLiteral("%1.%2.%3").arg(kIdentity.Major).arg(kIdentity.Minor).arg(kIdentity.Revision));
  // No display name: on X11 and Wayland Qt would append it to every window
  // title that does not end with it, and the main window's caption is "Norvane".
  QGuiApplication::setDesktopFileName(QStringLiteral("com.pimbrelscomputers.Norvane"));
  QGuiApplication::setWindowIcon(QIcon(QPixmap::fromImage(ToImage(kApplicationIcon))));
  // The runtime, not Qt, decides when the program ends.
  QGuiApplication::setQuitOnLastWindowClosed(false);
}

}  // namespace norvane::qt
