// Controls built from the rows of a layout table, and the helpers the window
// and the peer share with them.
#pragma once

#include <QColor>
#include <QFont>

#include "app/forms.h"

class QRadioButton;
class QWidget;

namespace norvane::qt {

// Twips of a layout to device-independent pixels: the back end's only conversion.
int Pixels(int twips);

// The face every control without a font of its own uses, and the message boxes too.
QFont DialogFont();

QColor ToQColor(rt::Rgb rgb);
bool IsDark(const QColor& background);

void SetGroupTabStops(QRadioButton& member, bool onlyThis = true);
void KeepCircleInsideFrame(QRadioButton& option);
void ApplyColour(QWidget& widget, rt::Rgb wanted);
// Ends a move of the focus by Tab: a text box that took it selects its text now.
void SelectAfterTab(QWidget* focused);

}  // namespace norvane::qt
