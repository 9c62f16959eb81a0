#include "app/qt/accessible.h"

#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <algorithm>
#include <vector>

#include "app/qt/window.h"

namespace norvane::qt {
namespace {

// Where the pieces of `text` start, ascending from 0, and its length.
std::vector<int> Stops(const QString& text, QAccessible::TextBoundaryType boundary) {
  const int length = static_cast<int>(text.size());
  std::vector<int> stops{0};
  if (boundary == QAccessible::CharBoundary || boundary == QAccessible::WordBoundary) {
    // The caret's own steps, which also keep a character's combining marks with it.
    const QTextLayout layout(text);
    const auto mode = boundary == QAccessible::CharBoundary ? QTextLayout::SkipCharacters
                                                            : QTextLayout::SkipWords;
    for (int at = 0; at < length;) {
      const int next = layout.nextCursorPosition(at, mode);
      at = next > at ? next : length;
      stops.push_back(at);
    }
  } else if (boundary == QAccessible::SentenceBoundary) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Sentence, text);
    for (qsizetype at = finder.toNextBoundary(); at > 0; at = finder.toNextBoundary()) {
      stops.push_back(static_cast<int>(at));
    }
  } else if (length > 0) {
    stops.push_back(length);
  }
  return stops;
}

}  // namespace

TextPiece PieceOf(const QString& text, int offset, QAccessible::TextBoundaryType boundary,
                  Side side) {
  const int length = static_cast<int>(text.size());
  if (offset < 0 || offset > length) return {-1, -1};
  const std::vector<int> stops = Stops(text, boundary);
  const int pieces = static_cast<int>(stops.size()) - 1;
  int index = static_cast<int>(std::ranges::upper_bound(stops, offset) - stops.begin()) - 1;
  if (index == pieces && pieces > 0 && boundary != QAccessible::CharBoundary) --index;
  index += (side == Side::After) - (side == Side::Before);
  if (index < 0) return {0, 0};
  if (index >= pieces) return {length, length};
  return {stops[index], stops[index + 1]};
}

namespace {

// A line edit as assistive technology reads it: Qt's own object, as of 6.4, spins for ever on
// some text queries at the end of the text and answers others wrongly.
class TextBoxObject final : public QAccessibleWidget,
                            public QAccessibleTextInterface,
                            public QAccessibleEditableTextInterface {
 public:
  explicit TextBoxObject(QLineEdit* box) : QAccessibleWidget(box, QAccessible::EditableText) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    if (type == QAccessible::EditableTextInterface) {
      return static_cast<QAccessibleEditableTextInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
  }
  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = true;
    state.readOnly = Box()->isReadOnly();
    state.selectableText = true;
    return state;
  }
  QString text(QAccessible::Text kind) const override {
    return kind == QAccessible::Value ? Box()->text() : QAccessibleWidget::text(kind);
  }
  void setText(QAccessible::Text kind, const QString& text) override {
    if (kind != QAccessible::Value) {
      QAccessibleWidget::setText(kind, text);
    } else if (!Box()->isReadOnly()) {
      Box()->setText(text);
    }
  }

  // Offsets -1 and -2 are Qt's for the end of the text and the caret.
  QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                       int* end) const override {
    return Answer(offset, boundary, Side::At, start, end);
  }
  QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                           int* end) const override {
    return Answer(offset, boundary, Side::Before, start, end);
  }
  QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                          int* end) const override {
    return Answer(offset, boundary, Side::After, start, end);
  }
  QString text(int start, int end) const override {
    return start > end ? QString() : Box()->text().mid(start, end - start);
  }
  int characterCount() const override { return static_cast<int>(Box()->text().size()); }
  int cursorPosition() const override { return Box()->cursorPosition(); }
  void setCursorPosition(int position) override { Box()->setCursorPosition(position); }
  int selectionCount() const override { return Box()->hasSelectedText() ? 1 : 0; }
  void selection(int index, int* start, int* end) const override {
    *start = *end = -1;
    if (index != 0 || !Box()->hasSelectedText()) return;
    *start = Box()->selectionStart();
    *end = Box()->selectionEnd();
  }
  void addSelection(int start, int end) override { setSelection(0, start, end); }
  void removeSelection(int index) override {
    if (index == 0) Box()->deselect();
  }
  void setSelection(int index, int start, int end) override {
    if (index == 0) Box()->setSelection(start, end - start);
  }
  QString attributes(int /*offset*/, int* start, int* end) const override {
    // One run, in the box's one font and colour.
    *start = 0;
    *end = characterCount();
    return {};
  }
  QRect characterRect(int offset) const override {
    const QString text = Box()->text();
    if (offset < 0 || offset >= text.size()) return {};
    // Measured from the caret, which Qt places with the box's scrolling and alignment.
    const QFontMetrics metrics(Box()->font());
    const QRect caret = Box()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const int x = caret.x() + metrics.horizontalAdvance(text.left(offset)) -
                  metrics.horizontalAdvance(text.left(Box()->cursorPosition()));
    const QRect box(x, caret.y(), metrics.horizontalAdvance(text.mid(offset, 1)), caret.height());
    return box.translated(Box()->mapToGlobal(QPoint(0, 0)));
  }
  int offsetAtPoint(const QPoint& point) const override {
    return Box()->cursorPositionAt(Box()->mapFromGlobal(point));
  }
  void scrollToSubstring(int start, int end) override {
    Box()->setCursorPosition(end);
    Box()->setCursorPosition(start);
  }

  void deleteText(int start, int end) override { replaceText(start, end, {}); }
  void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }
  void replaceText(int start, int end, const QString& text) override {
    if (Box()->isReadOnly()) return;
    Box()->setSelection(start, end - start);
    Box()->insert(text);
  }

 private:
  QLineEdit* Box() const { return static_cast<QLineEdit*>(widget()); }
  QString Answer(int offset, QAccessible::TextBoundaryType boundary, Side side, int* start,
                 int* end) const {
    if (offset == -1) offset = characterCount();
    if (offset == -2) offset = cursorPosition();
    const TextPiece piece = PieceOf(Box()->text(), offset, boundary, side);
    *start = piece.start;
    *end = piece.end;
    return text(piece.start, piece.end);
  }
};

// A window is a frame or a dialog. As a dialog opens, Orca 43 reads its name and those of its
// labels that hold three words or more and are no part of the name; the others, such as a
// title, a version or an address, reach it as the dialog's description.
class WindowObject final : public QAccessibleWidget {
 public:
  using QAccessibleWidget::QAccessibleWidget;

  QString text(QAccessible::Text kind) const override {
    QString text = QAccessibleWidget::text(kind);
    if (kind != QAccessible::Description || role() != QAccessible::Dialog) return text;
    QStringList passedOver;
    if (!text.isEmpty()) passedOver << text;
    for (const QLabel* label : widget()->findChildren<QLabel*>()) {
      const QString shown = label->text().simplified();
      if (shown.isEmpty() || !label->isVisibleTo(widget())) continue;
      if (shown.count(u' ') < 2 || widget()->windowTitle().contains(shown)) passedOver << shown;
    }
    return passedOver.join(u", ");
  }
};

QAccessibleInterface* Factory(const QString& /*className*/, QObject* object) {
  if (!object || !object->isWidgetType()) return nullptr;
  if (auto* box = qobject_cast<QLineEdit*>(object)) {
    return box->echoMode() == QLineEdit::Normal ? new TextBoxObject(box) : nullptr;
  }
  // A plain top-level widget reaches a screen reader as a mere filler.
  if (auto* window = dynamic_cast<FormWindow*>(object)) {
    const bool dialog = window->windowType() == Qt::Dialog;
    return new WindowObject(window, dialog ? QAccessible::Dialog : QAccessible::Window);
  }
  return nullptr;
}

}  // namespace

void InstallAccessibleObjects() {
  [[maybe_unused]] static const bool kInstalled = (QAccessible::installFactory(Factory), true);
}

}  // namespace norvane::qt
