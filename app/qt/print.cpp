#include "app/qt/print.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

#include "app/forms.h"

namespace norvane::qt {

// Kept apart from the windows: the printer plugin and the CUPS libraries it
// pulls in load only when the first print asks for the default printer.
void PrintWidgetImage(QWidget& widget, const QString& jobName) {
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) {
    throw rt::Error("There is no default printer, so the window cannot be printed.");
  }
  const QImage image = widget.grab().toImage();
  QPrinter printer(info, QPrinter::HighResolution);
  printer.setDocName(jobName);
  QPainter painter;
  if (!painter.begin(&printer)) {
    throw rt::Error("The print job for printer " + info.printerName().toStdString() +
                    " could not be started.");
  }
  constexpr double kPixelsPerInch = 96.0;
  const double scale = printer.resolution() / kPixelsPerInch;
  painter.drawImage(QRectF(0, 0, widget.width() * scale, widget.height() * scale), image,
                    QRectF(image.rect()));
  if (!painter.end() || printer.printerState() == QPrinter::Error) {
    throw rt::Error("The print job for printer " + info.printerName().toStdString() +
                    " could not be finished.");
  }
}

}  // namespace norvane::qt
