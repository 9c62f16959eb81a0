#include "app/qt/window.h"

#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <stdexcept>

#include "app/qt/accessible.h"
#include "app/qt/controls.h"
#include "app/qt/keys.h"
#include "app/qt/picture.h"
#include "app/qt/text.h"

namespace norvane::qt {

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

QWidget& FormWindow::Client() const { return *m_client; }

FormWindow::FormWindow(rt::Runtime& runtime, rt::Form& form)
    : m_runtime(&runtime), m_form(&form), m_layout(form.Layout()) {
  InstallAccessibleObjects();
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

bool FormWindow::focusNextPrevChild(bool next) {
  if (!QWidget::focusNextPrevChild(next)) return false;
  // Qt has told assistive technology of the new focus by now.
  SelectAfterTab(focusWidget());
  return true;
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

}  // namespace norvane::qt
