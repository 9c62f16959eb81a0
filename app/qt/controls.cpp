#include "app/qt/controls.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <algorithm>
#include <cmath>
#include <functional>

#include "app/display.h"
#include "app/qt/picture.h"
#include "app/qt/text.h"
#include "app/qt/window.h"

namespace norvane::qt {
namespace {
// The layout was drawn for the platform's bitmap dialog face, which is
// narrower than Arial and missing on Linux; fontconfig would fall back to a
// much wider face. Liberation Sans Narrow keeps every caption and result
// inside the box it was laid out for.
const QStringList kNarrowFaces{"Liberation Sans Narrow", "Nimbus Sans Narrow",
                               "DejaVu Sans Condensed"};
constexpr double kDialogFontPoints = 8;
}  // namespace

QFont DialogFont() {
  QFont font;
  font.setFamilies(kNarrowFaces);
  font.setPointSizeF(kDialogFontPoints);
  return font;
}

int Pixels(int twips) {
  return static_cast<int>(std::lround(static_cast<double>(twips) / rt::kTwipsPerPixel));
}

namespace {

QStringList Families(std::string_view name) {
  if (name == "MS Sans Serif") return kNarrowFaces;
  return {ToQString(name)};
}

QFont ToQFont(const rt::FontSpec& face) {
  QFont font;
  font.setFamilies(Families(face.name));
  font.setPointSizeF(face.points);
  // Qt 6 weighs fonts on the same 100..900 scale as the layout.
  font.setWeight(static_cast<QFont::Weight>(std::clamp(face.weight, 1, 1000)));
  font.setItalic(face.italic);
  font.setUnderline(face.underline);
  font.setStrikeOut(face.strikeout);
  return font;
}

Qt::Alignment ToQt(rt::Alignment alignment) {
  switch (alignment) {
    case rt::Alignment::Right:
      return Qt::AlignRight;
    case rt::Alignment::Center:
      return Qt::AlignHCenter;
    case rt::Alignment::Left:
      break;
  }
  return Qt::AlignLeft;
}

rt::Rgb ToRgb(const QColor& color) {
  return {static_cast<std::uint8_t>(color.red()), static_cast<std::uint8_t>(color.green()),
          static_cast<std::uint8_t>(color.blue())};
}

}  // namespace

// Makes `member` the only Tab stop among the option buttons of its
// container, or with `onlyThis` false every one of them.
void SetGroupTabStops(QRadioButton& member, bool onlyThis) {
  for (auto* option :
       member.parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly)) {
    const bool stop = !onlyThis || option == &member;
    option->setFocusPolicy(stop ? Qt::StrongFocus : Qt::ClickFocus);
  }
}

QColor ToQColor(rt::Rgb rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

bool IsDark(const QColor& background) {
  const rt::Rgb rgb = ToRgb(background);
  return rt::ContrastRatio(rgb, {255, 255, 255}) > rt::ContrastRatio(rgb, {0, 0, 0});
}

// A frame's title may stand taller in this face and style than the layout
// allowed for, its edge then running through the first option's circle: that
// option moves down just enough to leave a pixel clear below the edge.
void KeepCircleInsideFrame(QRadioButton& option) {
  auto* frame = qobject_cast<QGroupBox*>(option.parentWidget());
  if (!frame) return;
  QStyleOptionButton styleOption;
  styleOption.initFrom(&option);
  styleOption.text = option.text();
  const QRect circle =
      option.style()->subElementRect(QStyle::SE_RadioButtonIndicator, &styleOption, &option);
  constexpr int kEdgeAndGap = 2;
  const int down = frame->contentsRect().top() + kEdgeAndGap - (option.y() + circle.top());
  if (down > 0) option.move(option.x(), option.y() + down);
}

// A designed text colour, or where the control's background would make it
// hard to read (a dark palette under pure blue), the nearest readable one.
void ApplyColour(QWidget& widget, rt::Rgb wanted) {
  QPalette palette = widget.palette();
  const auto ground = qobject_cast<QLineEdit*>(&widget) ? QPalette::Base : QPalette::Window;
  const QColor colour = ToQColor(rt::ReadableOn(wanted, ToRgb(palette.color(ground))));
  constexpr QPalette::ColorRole kRoles[] = {QPalette::Text, QPalette::WindowText,
                                            QPalette::ButtonText};
  if (std::ranges::all_of(kRoles, [&](auto role) { return palette.color(role) == colour; })) {
    return;
  }
  for (auto role : kRoles) palette.setColor(role, colour);
  widget.setPalette(palette);
}

namespace {

// Qt tells assistive technology of a new focus only once the widget has taken it, and a line
// edit that takes it by Tab has selected its text by then: Orca hears the caret move first,
// moves to the box without a word and lets the focus pass unsaid. Taken by Tab, a text box
// selects its text once the focus is told, in SelectAfterTab.
class TextBox : public QLineEdit {
 public:
  using QLineEdit::QLineEdit;
  void SelectAfterTab() {
    if (m_tabbedIn && hasFocus() && !hasSelectedText()) selectAll();
    m_tabbedIn = false;
  }

 protected:
  void focusInEvent(QFocusEvent* event) override {
    m_tabbedIn = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    QFocusEvent untabbed(QEvent::FocusIn, Qt::OtherFocusReason);
    QLineEdit::focusInEvent(m_tabbedIn ? &untabbed : event);
  }

 private:
  bool m_tabbedIn = false;
};

// A result box shows its whole value as the engine wrote it: a value wider
// than the box at the design font is drawn in a smaller size of the same face,
// never scrolled or cut. The box keeps its size and place.
class ResultBox final : public TextBox {
 public:
  ResultBox(const QString& text, QWidget* parent) : TextBox(text, parent) {
    connect(this, &QLineEdit::textChanged, this, [this] { Fit(); });
  }
  void SetDesignFont(const QFont& font) {
    m_design = font;
    Fit();
  }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QLineEdit::resizeEvent(event);
    Fit();
  }
  void changeEvent(QEvent* event) override {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::StyleChange) Fit();
  }

 private:
  // The width QLineEdit draws its text in without scrolling it.
  double Room() const {
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect contents = style()
                               ->subElementRect(QStyle::SE_LineEditContents, &option, this)
                               .marginsRemoved(textMargins());
    constexpr int kInnerMargins = 2 * 2;  // QLineEdit's own, on either side
    const int cursor = style()->pixelMetric(QStyle::PM_TextCursorWidth, &option, this);
    return contents.width() - kInnerMargins - 1 - cursor;
  }
  void Fit() {
    constexpr double kStep = 0.25, kSmallest = 2;
    const double room = Room();
    QFont font = m_design;
    for (double points = m_design.pointSizeF(); points >= kSmallest; points -= kStep) {
      font.setPointSizeF(points);
      // A pixel to spare for rounding between the metrics and the laid-out line.
      if (std::ceil(QFontMetricsF(font, this).horizontalAdvance(text())) + 1 <= room) break;
    }
    if (font != this->font()) setFont(font);
  }

  QFont m_design;
};

// The entry keeps one line: a paste, by whichever means, loses the line
// breaks at its ends, and one that would not fit is refused as a whole.
class EntryBox final : public TextBox {
 public:
  EntryBox(const QString& text, QWidget* parent, std::function<void()> tooLong)
      : TextBox(text, parent), m_tooLong(std::move(tooLong)) {
    setMaxLength(rt::kEntryMaxLength);
  }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    // Alt with a key that is no access key types nothing, as on the platform the windows were
    // drawn for. AltGr is no Alt to Qt: what it types on other layouts still arrives.
    if ((event->modifiers() & Qt::AltModifier) && !event->text().isEmpty() &&
        event->text().front().isPrint()) {
      event->ignore();
      return;
    }
    if (event->matches(QKeySequence::Paste) && !isReadOnly()) {
      Paste(QClipboard::Clipboard);
      event->accept();
      return;
    }
    QLineEdit::keyPressEvent(event);
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::MiddleButton && !isReadOnly() &&
        QGuiApplication::clipboard()->supportsSelection()) {
      Paste(QClipboard::Selection);
      event->accept();
      return;
    }
    QLineEdit::mouseReleaseEvent(event);
  }
  void contextMenuEvent(QContextMenuEvent* event) override {
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // Qt names its menu's entries only by their translated texts.
    for (QAction* paste : menu->actions()) {
      if (paste->text().section('\t', 0, 0) != QLineEdit::tr("&Paste")) continue;
      disconnect(paste, &QAction::triggered, nullptr, nullptr);
      connect(paste, &QAction::triggered, this, [this] { Paste(QClipboard::Clipboard); });
    }
    menu->popup(event->globalPos());
  }

 private:
  void Paste(QClipboard::Mode mode) {
    const QString pasted =
        ToQString(rt::PastedEntryText(ToStdString(QGuiApplication::clipboard()->text(mode))));
    const qsizetype kept = text().size() - selectedText().size();
    if (kept + pasted.size() > maxLength()) {
      if (m_tooLong) m_tooLong();
      return;
    }
    if (!pasted.isEmpty() || hasSelectedText()) insert(pasted);
  }

  std::function<void()> m_tooLong;
};

}  // namespace

void SelectAfterTab(QWidget* focused) {
  if (auto* box = dynamic_cast<TextBox*>(focused)) box->SelectAfterTab();
}

QWidget* FormWindow::Build(const rt::ControlSpec& row, QWidget* parent) {
  const QString text = ToQString(row.text);
  QWidget* widget = nullptr;
  switch (row.kind) {
    case rt::ControlKind::TextBox: {
      QLineEdit* edit = nullptr;
      if (row.locked) {
        edit = new ResultBox(text, parent);
        edit->setReadOnly(true);
      } else {
        edit = new EntryBox(text, parent, [this] {
          if (m_runtime) m_runtime->MsgBox(rt::kPasteTooLong);
        });
      }
      edit->setAlignment(ToQt(row.alignment) | Qt::AlignVCenter);
      edit->installEventFilter(this);
      widget = edit;
      break;
    }
    case rt::ControlKind::Frame:
      widget = new QGroupBox(text, parent);
      break;
    case rt::ControlKind::CommandButton: {
      auto* button = new QPushButton(text, parent);
      // A focused button takes Enter for itself, as on the platform the
      // windows were drawn for; elsewhere Enter presses only a default button.
      button->setAutoDefault(true);
      if (row.name == m_layout.defaultButton) {
        button->setDefault(true);
        m_default = button;
      }
      if (row.name == m_layout.cancelButton) m_cancel = button;
      connect(button, &QPushButton::clicked, this,
              [this, &row] { RaiseClick(row.name, row.index); });
      widget = button;
      break;
    }
    case rt::ControlKind::OptionButton: {
      auto* option = new QRadioButton(text, parent);
      option->setAutoExclusive(true);
      option->installEventFilter(this);
      // Qt makes the last focused button of a group its Tab stop; the
      // platform makes the selected one.
      connect(option, &QRadioButton::toggled, option, [option](bool checked) {
        if (checked) SetGroupTabStops(*option);
      });
      widget = option;
      break;
    }
    case rt::ControlKind::Label: {
      auto* label = new QLabel(text, parent);
      label->setTextFormat(Qt::PlainText);
      label->setWordWrap(true);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      widget = label;
      break;
    }
    case rt::ControlKind::PictureBox: {
      auto* box = new QLabel(parent);
      box->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
      box->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      if (row.picture) box->setPixmap(QPixmap::fromImage(ToImage(*row.picture)));
      widget = box;
      break;
    }
  }
  widget->setObjectName(ToQString(row.name));
  if (row.index != rt::kNoIndex) widget->setProperty("Index", row.index);
  widget->setGeometry(Pixels(row.left), Pixels(row.top), Pixels(row.width), Pixels(row.height));
  if (row.font) widget->setFont(ToQFont(*row.font));
  if (auto* result = dynamic_cast<ResultBox*>(widget)) result->SetDesignFont(widget->font());
  if (row.foreColor) {
    ApplyColour(*widget, *row.foreColor);
    widget->installEventFilter(this);  // to follow a change of palette
  }
  if (!row.toolTip.empty()) {
    widget->setToolTip(ToQString(row.toolTip));
    widget->setAccessibleDescription(ToQString(row.toolTip));
  }
  if (!row.accessibleName.empty()) widget->setAccessibleName(ToQString(row.accessibleName));
  return widget;
}

}  // namespace norvane::qt
