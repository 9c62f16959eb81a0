// What assistive technology reads of the program's windows and text boxes, where Qt's own
// accessible objects say too little, answer wrongly or never answer.
#pragma once

#include <QAccessible>
#include <QString>

namespace norvane::qt {

// From now on, once and for the whole program: a window says whether it is a frame or a dialog
// (a dialog with the texts a screen reader passes over as its description), and a line edit
// answers every text query with PieceOf, at once.
void InstallAccessibleObjects();

enum class Side { Before, At, After };

// [start, end) of `text`: empty at the edges of the text when nothing is before or after, and
// (-1, -1) for an offset outside 0..length.
struct TextPiece {
  int start, end;
};

// The piece by `boundary` at `offset`, or the one before or after it. A character and a word are
// what Right and Ctrl+Right skip in a line edit, a word with the blanks after it; sentences are
// Unicode's; a line, a paragraph and no boundary are the whole one-line text. The caret at the
// end stands in the last piece, but at no character.
TextPiece PieceOf(const QString& text, int offset, QAccessible::TextBoundaryType boundary,
                  Side side);

}  // namespace norvane::qt
