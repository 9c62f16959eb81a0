#pragma once

class QWidget;
class QString;

namespace norvane::qt {

// Prints an image of `widget` on the default printer at its physical size
// (96 device-independent pixels to the inch); throws rt::Error when it cannot.
void PrintWidgetImage(QWidget& widget, const QString& jobName);

}  // namespace norvane::qt
