#include "app/qt/form_peer.h"

#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <functional>
#include <span>
#include <vector>

#include "app/display.h"
#include "app/qt/picture.h"
#include "app/qt/print.h"
#include "app/qt/text.h"

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

// The key codes the handlers know, from their Windows virtual-key numbers;
// 0 for keys they never see.
int KeyCode(const QKeyEvent& event) {
  const int key = event.key();
  if (key >= Qt::Key_0 && key <= Qt::Key_9) {
    return (event.modifiers() & Qt::KeypadModifier) ? 96 + (key - Qt::Key_0) : key;
  }
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return key;
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return rt::vbKeyReturn;
    case Qt::Key_Backspace:
      return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return 9;
    case Qt::Key_Shift:
      return 16;
    case Qt::Key_Control:
      return 17;
    case Qt::Key_Alt:
      return 18;
    case Qt::Key_Escape:
      return 27;
    case Qt::Key_Space:
      return 32;
    case Qt::Key_PageUp:
      return 33;
    case Qt::Key_PageDown:
      return 34;
    case Qt::Key_End:
      return 35;
    case Qt::Key_Home:
      return 36;
    case Qt::Key_Left:
      return 37;
    case Qt::Key_Up:
      return 38;
    case Qt::Key_Right:
      return 39;
    case Qt::Key_Down:
      return 40;
    case Qt::Key_Insert:
      return 45;
    case Qt::Key_Delete:
      return 46;
    default:
      return 0;
  }
}

int ShiftState(Qt::KeyboardModifiers modifiers) {
  return ((modifiers & Qt::ShiftModifier) ? rt::vbShiftMask : 0) |
         ((modifiers & Qt::ControlModifier) ? rt::vbCtrlMask : 0) |
         ((modifiers & Qt::AltModifier) ? rt::vbAltMask : 0);
}

// Makes `member` the only Tab stop among the option buttons of its
// container, or with `onlyThis` false every one of them.
void SetGroupTabStops(QRadioButton& member, bool onlyThis = true) {
  for (auto* option :
       member.parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly)) {
    const bool stop = !onlyThis || option == &member;
    option->setFocusPolicy(stop ? Qt::StrongFocus : Qt::ClickFocus);
  }
}

QColor ToQColor(rt::Rgb rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

rt::Rgb ToRgb(const QColor& color) {
  return {static_cast<std::uint8_t>(color.red()), static_cast<std::uint8_t>(color.green()),
          static_cast<std::uint8_t>(color.blue())};
}

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

// A result box shows its whole value as the engine wrote it: a value wider
// than the box at the design font is drawn in a smaller size of the same face,
// never scrolled or cut. The box keeps its size and place.
class ResultBox final : public QLineEdit {
 public:
  ResultBox(const QString& text, QWidget* parent) : QLineEdit(text, parent) {
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
class EntryBox final : public QLineEdit {
 public:
  EntryBox(const QString& text, QWidget* parent, std::function<void()> tooLong)
      : QLineEdit(text, parent), m_tooLong(std::move(tooLong)) {
    setMaxLength(rt::kEntryMaxLength);
  }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
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

// The client area: the window below its menu bar, where the controls stand
// and the layout's lines are drawn.
class ClientArea final : public QWidget {
 public:
  ClientArea(std::span<const rt::LineSpec> lines, QWidget* parent)
      : QWidget(parent), m_lines(lines) {}

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    QPainter painter(this);
    // On a dark palette the designed gray and white would be a glaring bar:
    // the palette's own shadow and light colours draw the same etched rule.
    const bool dark = IsDark(palette().color(QPalette::Window));
    for (const rt::LineSpec& line : m_lines) {
      QColor color = ToQColor(line.color);
      if (dark) color = palette().color(color.lightness() > 128 ? QPalette::Light : QPalette::Mid);
      const int width = std::max(1, line.widthPixels);
      const int x1 = Pixels(line.x1), y1 = Pixels(line.y1);
      const int x2 = Pixels(line.x2), y2 = Pixels(line.y2);
      // Like the platform's pens: the end point is left out and a wide
      // horizontal line grows downwards, a wide vertical one to the right.
      if (y1 == y2) {
        painter.fillRect(
            QRect(QPoint(std::min(x1, x2), y1), QPoint(std::max(x1, x2) - 1, y1 + width - 1)),
            color);
      } else if (x1 == x2) {
        painter.fillRect(
            QRect(QPoint(x1, std::min(y1, y2)), QPoint(x1 + width - 1, std::max(y1, y2) - 1)),
            color);
      } else {
        painter.setPen(QPen(color, width));
        painter.drawLine(x1, y1, x2, y2);
      }
    }
  }

 private:
  std::span<const rt::LineSpec> m_lines;
};

}  // namespace

// The top-level widget of one loaded form. It forwards its events to the
// form until the peer detaches it.
class FormWindow final : public QWidget {
 public:
  FormWindow(rt::Runtime& runtime, rt::Form& form);

  void Detach() {
    m_runtime = nullptr;
    m_form = nullptr;
  }
  QWidget& Client() const { return *m_client; }
  QWidget* Find(std::string_view name, int index) const {
    for (const auto& [row, widget] : m_controls) {
      if (row->name == name && row->index == index) return widget;
    }
    return nullptr;
  }
  void FocusFirst() {
    for (const auto& [row, widget] : m_tabOrder) {
      if ((widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled()) {
        widget->setFocus(Qt::TabFocusReason);
        return;
      }
    }
  }

 protected:
  void closeEvent(QCloseEvent* event) override {
    // The runtime's unload hides and releases the window; no program code runs.
    event->ignore();
    if (m_form) m_runtime->Unload(*m_form);
  }
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  using Entry = std::pair<const rt::ControlSpec*, QWidget*>;
  QMenuBar* BuildMenus(std::span<const rt::MenuSpec> menus);
  QWidget* Build(const rt::ControlSpec& row, QWidget* parent);
  void RaiseClick(std::string_view control, int index) {
    if (m_form) m_runtime->RaiseClick(*m_form, control, index);
  }

  rt::Runtime* m_runtime;
  rt::Form* m_form;
  const rt::FormLayout& m_layout;
  ClientArea* m_client = nullptr;
  QPushButton* m_default = nullptr;
  QPushButton* m_cancel = nullptr;
  std::vector<Entry> m_controls;  // in the order built
  std::vector<Entry> m_tabOrder;  // by TabIndex
};

namespace {
// A plain top-level widget reaches a screen reader as a mere filler; say
// which windows are the program's frame and which its dialogs.
QAccessibleInterface* AccessibleWindow(const QString& /*className*/, QObject* object) {
  auto* window = object && object->isWidgetType() ? dynamic_cast<FormWindow*>(object) : nullptr;
  if (!window) return nullptr;
  const bool dialog = window->windowType() == Qt::Dialog;
  return new QAccessibleWidget(window, dialog ? QAccessible::Dialog : QAccessible::Window);
}
}  // namespace

FormWindow::FormWindow(rt::Runtime& runtime, rt::Form& form)
    : m_runtime(&runtime), m_form(&form), m_layout(form.Layout()) {
  [[maybe_unused]] static const bool kFactory =
      (QAccessible::installFactory(AccessibleWindow), true);
  setObjectName(ToQString(m_layout.name));
  setWindowTitle(ToQString(m_layout.caption));
  if (m_layout.icon) setWindowIcon(QIcon(QPixmap::fromImage(ToImage(*m_layout.icon))));

  auto* frame = new QVBoxLayout(this);
  frame->setContentsMargins(0, 0, 0, 0);
  frame->setSpacing(0);
  QMenuBar* bar = m_layout.menus.empty() ? nullptr : BuildMenus(m_layout.menus);
  if (bar) frame->setMenuBar(bar);
  m_client = new ClientArea(m_layout.lines, this);
  frame->addWidget(m_client);

  // Containers first: a control may name a frame that comes later in the table.
  std::vector<const rt::ControlSpec*> pending;
  for (const rt::ControlSpec& row : m_layout.controls) pending.push_back(&row);
  while (!pending.empty()) {
    const std::size_t before = pending.size();
    std::erase_if(pending, [this](const rt::ControlSpec* row) {
      QWidget* parent = row->container.empty() ? m_client : Find(row->container, rt::kNoIndex);
      if (!parent) return false;
      m_controls.emplace_back(row, Build(*row, parent));
      return true;
    });
    if (pending.size() == before) {
      throw std::logic_error("no container " + std::string(pending.front()->container) + " in " +
                             std::string(m_layout.name));
    }
  }

  m_tabOrder = m_controls;
  std::stable_sort(m_tabOrder.begin(), m_tabOrder.end(), [](const Entry& a, const Entry& b) {
    return a.first->tabIndex < b.first->tabIndex;
  });
  QWidget* previous = nullptr;
  for (const auto& [row, widget] : m_tabOrder) {
    if (widget->focusPolicy() == Qt::NoFocus) continue;
    if (previous) QWidget::setTabOrder(previous, widget);
    previous = widget;
  }

  for (const auto& [row, widget] : m_controls) {
    if (auto* option = qobject_cast<QRadioButton*>(widget)) KeepCircleInsideFrame(*option);
  }

  const QSize client(Pixels(m_layout.clientWidth), Pixels(m_layout.clientHeight));
  if (m_layout.border == rt::BorderStyle::FixedDialog) {
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    m_client->setFixedSize(client);
    frame->setSizeConstraint(QLayout::SetFixedSize);
  } else {
    int menuHeight = 0;
    if (bar) {
      menuHeight = bar->heightForWidth(client.width());
      if (menuHeight < 0) menuHeight = bar->sizeHint().height();
    }
    resize(client.width(), client.height() + menuHeight);
  }
}

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

void FormWindow::keyPressEvent(QKeyEvent* event) {
  // Keys the focused control left alone reach the window: Enter presses the
  // default button and Esc the cancel button, wherever the focus is.
  const bool plain = !event->modifiers() ||
                     (event->modifiers() == Qt::KeypadModifier && event->key() == Qt::Key_Enter);
  QPushButton* button = nullptr;
  if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
    button = m_default;
  } else if (plain && event->key() == Qt::Key_Escape) {
    button = m_cancel;
  }
  if (m_form && button && button->isEnabled()) {
    event->accept();
    button->click();
    return;
  }
  QWidget::keyPressEvent(event);
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::PaletteChange) {
    for (const auto& [row, widget] : m_controls) {
      if (widget == watched && row->foreColor) ApplyColour(*widget, *row->foreColor);
    }
    return false;
  }
  if (event->type() != QEvent::KeyPress || !m_form) return false;
  for (const auto& [row, widget] : m_controls) {
    if (widget != watched) continue;
    const auto& key = static_cast<const QKeyEvent&>(*event);
    int keyCode = KeyCode(key);
    // Raised before the control sees the key, which it then gets as usual.
    if (keyCode != 0) {
      m_runtime->RaiseKeyDown(*m_form, row->name, row->index, keyCode, ShiftState(key.modifiers()));
    }
    break;
  }
  return false;
}

void CentreOver(QWidget& window, const QWidget& owner) {
  // A window not yet shown has no frame: it will get one like its owner's.
  const QRect inner = owner.geometry(), outer = owner.frameGeometry();
  const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                       outer.right() - inner.right(), outer.bottom() - inner.bottom());
  QRect placed = QRect(QPoint(), window.size()).marginsAdded(frame);
  placed.moveCenter(outer.center());
  // The window's own area, which is the same before and after it is mapped.
  window.setGeometry(QRect(placed.topLeft() + QPoint(frame.left(), frame.top()), window.size()));
}

QWidget* OwnerWindow(const QWidget* except) {
  const auto shown = [except](QWidget* w) { return w && w != except && w->isVisible(); };
  for (QWidget* w : {QApplication::activeModalWidget(), QApplication::activeWindow()}) {
    if (shown(w)) return w->window();
  }
  // With none of the program's windows active, a modal one is still on top.
  QWidget* found = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (!shown(w) || !dynamic_cast<FormWindow*>(w)) continue;
    if (!found || w->isModal()) found = w;
  }
  return found;
}

FormPeer::FormPeer(rt::Runtime& runtime, rt::Form& form)
    : m_formName(form.Layout().name), m_window(new FormWindow(runtime, form)) {}

FormPeer::~FormPeer() {
  if (!m_window) return;
  m_window->Detach();
  m_window->hide();
  m_window->deleteLater();
}

QWidget& FormPeer::Widget(std::string_view control, int index) const {
  if (!m_window) throw rt::Error("The window " + std::string(m_formName) + " is gone.");
  QWidget* widget = m_window->Find(control, index);
  if (!widget) {
    throw rt::Error("The window " + std::string(m_formName) + " has no control " +
                    std::string(control) + ".");
  }
  return *widget;
}

template <class W>
W& FormPeer::As(std::string_view control, int index) const {
  auto* widget = qobject_cast<W*>(&Widget(control, index));
  if (!widget) {
    throw rt::Error("The control " + std::string(control) + " does not support this operation.");
  }
  return *widget;
}

std::string FormPeer::Text(std::string_view control, int index) const {
  if (control == m_formName && index == rt::kNoIndex && m_window) {
    return ToStdString(m_window->windowTitle());
  }
  QWidget& widget = Widget(control, index);
  if (auto* edit = qobject_cast<QLineEdit*>(&widget)) return ToStdString(edit->text());
  if (auto* label = qobject_cast<QLabel*>(&widget)) return ToStdString(label->text());
  if (auto* button = qobject_cast<QAbstractButton*>(&widget)) return ToStdString(button->text());
  if (auto* frame = qobject_cast<QGroupBox*>(&widget)) return ToStdString(frame->title());
  throw rt::Error("The control " + std::string(control) + " has no text.");
}

void FormPeer::SetText(std::string_view control, int index, std::string_view text) {
  const QString value = ToQString(text);
  if (control == m_formName && index == rt::kNoIndex && m_window) {
    m_window->setWindowTitle(value);
    return;
  }
  QWidget& widget = Widget(control, index);
  if (auto* edit = qobject_cast<QLineEdit*>(&widget)) {
    edit->setText(value);
  } else if (auto* label = qobject_cast<QLabel*>(&widget)) {
    label->setText(value);
  } else if (auto* button = qobject_cast<QAbstractButton*>(&widget)) {
    button->setText(value);
  } else if (auto* frame = qobject_cast<QGroupBox*>(&widget)) {
    frame->setTitle(value);
  } else {
    throw rt::Error("The control " + std::string(control) + " has no text.");
  }
}

void FormPeer::SetSelStart(std::string_view control, int index, int start) {
  auto& edit = As<QLineEdit>(control, index);
  edit.deselect();
  edit.setCursorPosition(std::clamp(start, 0, static_cast<int>(edit.text().size())));
}

void FormPeer::SetSelLength(std::string_view control, int index, int length) {
  auto& edit = As<QLineEdit>(control, index);
  const int start = edit.hasSelectedText() ? edit.selectionStart() : edit.cursorPosition();
  const int size = static_cast<int>(edit.text().size());
  edit.setSelection(start, std::clamp(length, 0, size - start));
}

void FormPeer::SetFocus(std::string_view control, int index) {
  Widget(control, index).setFocus(Qt::OtherFocusReason);
}

bool FormPeer::Value(std::string_view control, int index) const {
  return As<QRadioButton>(control, index).isChecked();
}

void FormPeer::SetValue(std::string_view control, int index, bool value) {
  auto& option = As<QRadioButton>(control, index);
  if (value) {
    option.setChecked(true);
    return;
  }
  if (!option.isChecked()) return;
  // Qt keeps one button of a group checked; the runtime may clear them all,
  // and then every button of the group is a Tab stop again.
  option.setAutoExclusive(false);
  option.setChecked(false);
  option.setAutoExclusive(true);
  SetGroupTabStops(option, false);
}

void FormPeer::Show(rt::Modality modality) {
  if (!m_window) return;
  if (!m_window->isVisible()) {
    m_window->setWindowModality(modality == rt::Modality::Modal ? Qt::ApplicationModal
                                                                : Qt::NonModal);
    // A modal window belongs to the one it was opened from: it opens over it
    // and cannot be minimised or lost behind it on its own.
    QWidget* owner = modality == rt::Modality::Modal ? OwnerWindow(m_window) : nullptr;
    if (owner && m_window->parentWidget() != owner) {
      m_window->setParent(owner, m_window->windowFlags() & ~Qt::WindowMinimizeButtonHint);
      m_window->setWindowModality(Qt::ApplicationModal);
    }
    if (owner) {
      if (m_window->layout()) m_window->layout()->activate();
      CentreOver(*m_window, *owner);
    }
  }
  if (!m_window->focusWidget()) m_window->FocusFirst();
  m_window->show();
  m_window->activateWindow();
}

void FormPeer::PrintImage() {
  if (!m_window) throw rt::Error("The window " + std::string(m_formName) + " is gone.");
  PrintWidgetImage(m_window->Client(), m_window->windowTitle());
}

}  // namespace norvane::qt
