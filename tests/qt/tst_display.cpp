// What the real windows show, judged from their pixels and geometry: whole
// results, readable colours, boxes that stay with their window, the entry's
// pastes. Runs at 1x and, as a second test, under QT_SCALE_FACTOR=2.
#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QTest>
#include <QWindow>
#include <memory>

#include "app/display.h"
#include "app/qt/runtime.h"
#include "engine/conversion.h"
#include "tests/qt/test_forms.h"
#include "ui/about/frmAbout.h"
#include "ui/main/frmMain.h"

using norvane::frmAbout;
using norvane::frmMain;
using norvane::qt::QtRuntime;
using norvane::test::BoxCloser;
using norvane::test::Control;
using norvane::test::Window;
namespace rt = norvane::rt;

namespace {

constexpr const char* kResultBoxes[] = {"txtByteResult", "txtKiloResult", "txtMegaResult",
                                        "txtGigaResult"};
const QString kTitle = QStringLiteral("Pimbrel's Norvane");

QPalette DarkPalette() {
  QPalette dark(QColor(53, 53, 53));
  dark.setColor(QPalette::Base, QColor(36, 36, 36));
  dark.setColor(QPalette::AlternateBase, QColor(53, 53, 53));
  for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    dark.setColor(role, QColor(238, 238, 236));
  }
  return dark;
}

rt::Rgb ToRgb(const QColor& c) {
  return {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
          static_cast<std::uint8_t>(c.blue())};
}

// The first and last columns, in device pixels, where `image` clearly differs
// from `ground` inside `area`; {-1, -1} where it nowhere does.
std::pair<int, int> InkColumns(const QImage& image, const QRect& area, const QColor& ground) {
  std::pair<int, int> ink{-1, -1};
  for (int x = area.left(); x <= area.right(); ++x) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
      const QColor c = image.pixelColor(x, y);
      const int distance = std::abs(c.red() - ground.red()) + std::abs(c.green() - ground.green()) +
                           std::abs(c.blue() - ground.blue());
      if (distance > 120) {
        if (ink.first < 0) ink.first = x;
        ink.second = x;
        break;
      }
    }
  }
  return ink;
}

// How wide the text's ink is when drawn whole, alone, in the box's own font.
int WholeInkWidth(const QLineEdit& box, qreal ratio) {
  QImage image((QSizeF(box.width() * 4, box.height()) * ratio).toSize(), QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setFont(box.font());
  painter.setPen(Qt::black);
  painter.drawText(QRectF(4, 0, box.width() * 4 - 8, box.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, box.text());
  painter.end();
  const auto [left, right] = InkColumns(image, image.rect(), Qt::white);
  return left < 0 ? 0 : right - left + 1;
}

// An X property of a window as xprop prints it.
QString XProperty(WId window, const char* name) {
  QProcess xprop;
  xprop.start("xprop", {"-id", QString::number(window), name});
  xprop.waitForFinished(10000);
  return QString::fromLocal8Bit(xprop.readAllStandardOutput()).trimmed();
}

// Whether a window stands where Qt believes it does. Qt takes what it asked for at once, and a
// frame's size as soon as the window manager announces it; under a window manager the window is
// settled once the manager has taken it on, framed it and placed it there.
bool Settled(const QWidget& w) {
  if (QGuiApplication::platformName() != "xcb") return true;
  QProcess xwininfo;
  xwininfo.start("xwininfo", {"-id", QString::number(w.winId())});
  xwininfo.waitForFinished(10000);
  const QString info = QString::fromLocal8Bit(xwininfo.readAllStandardOutput());
  const auto absolute = [&](const char* axis) {
    const QRegularExpression line(QStringLiteral("Absolute upper-left %1: +(-?\\d+)").arg(axis));
    return line.match(info).captured(1).toInt();
  };
  const QWindow* handle = w.windowHandle();
  return XProperty(w.winId(), "WM_STATE").contains("Normal") && !handle->frameMargins().isNull() &&
         QPoint(absolute("X"), absolute("Y")) == handle->geometry().topLeft();
}

// Closes a modal window once the check that found it has run, pass or fail.
void CloseSoon(QWidget* window) {
  QTimer::singleShot(0, window, [window] { QTest::keyClick(window, Qt::Key_Escape); });
}

// Polls for the program's modal message box, hands it to `check` and presses OK.
class BoxWatcher : public QObject {
 public:
  explicit BoxWatcher(std::function<void(QMessageBox&)> check) : m_check(std::move(check)) {
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, [this] {
      if (--m_ticksLeft <= 0) m_timer.stop();
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box || !box->isVisible()) return;
      ++seen;
      m_check(*box);
      box->button(QMessageBox::Ok)->click();
    });
    m_timer.start();
  }
  int seen = 0;

 private:
  std::function<void(QMessageBox&)> m_check;
  QTimer m_timer;
  int m_ticksLeft = 500;
};

}  // namespace

class DisplayTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    m_style = QApplication::style()->name();
    m_palette = QApplication::palette();
  }
  void init() { m_rt = std::make_unique<QtRuntime>(); }
  void cleanup();

  void resultsShowTheirWholeValue_data();
  void resultsShowTheirWholeValue();
  void coloursStayReadable_data();
  void coloursStayReadable();
  void boxesAndAboutBelongToTheMainWindow();
  void messageBoxShowsItsWholeCaption();
  void firstOptionCircleInsideItsFrame();
  void everyLabelShowsItsWholeCaption_data();
  void everyLabelShowsItsWholeCaption();
  void pastesKeepTheEntryOneLine_data();
  void pastesKeepTheEntryOneLine();

 private:
  QWidget* ShowMain(const QString& style, bool dark);
  void Convert(QWidget* window, const QString& amount, int unit);

  std::unique_ptr<QtRuntime> m_rt;
  QString m_style;
  QPalette m_palette;
};

void DisplayTest::cleanup() {
  m_rt.reset();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QApplication::setStyle(m_style);
  QApplication::setPalette(m_palette);
  QApplication::clipboard()->clear();
  QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

QWidget* DisplayTest::ShowMain(const QString& style, bool dark) {
  if (!style.isEmpty()) QApplication::setStyle(style);
  if (dark) QApplication::setPalette(DarkPalette());
  m_rt->Show(m_rt->Instance<frmMain>());
  QWidget* window = Window("frmMain");
  if (!window || !QTest::qWaitForWindowExposed(window)) return nullptr;
  // Away from the screen's centre, where a window manager may place it. Moved once it is
  // mapped, so that the manager's own placement cannot undo the move.
  window->move(40, 40);
  const bool settled = QTest::qWaitFor(
      [window] {
        return Settled(*window) &&
               (window->windowHandle()->frameGeometry().topLeft() - QPoint(40, 40))
                       .manhattanLength() < 100;
      },
      10000);
  if (!settled) qWarning() << "the main window did not settle:" << window->frameGeometry();
  return settled ? window : nullptr;
}

void DisplayTest::Convert(QWidget* window, const QString& amount, int unit) {
  auto* entry = Control<QLineEdit>(window, "txtEntry");
  entry->clear();
  QTest::keyClicks(entry, amount);
  Control<QRadioButton>(window, "optMeasure", unit)->click();
  QTest::keyClick(entry, Qt::Key_Return);
}

void DisplayTest::resultsShowTheirWholeValue_data() {
  QTest::addColumn<QString>("style");
  QTest::addColumn<bool>("dark");
  QTest::addColumn<QString>("amount");
  QTest::addColumn<int>("unit");
  struct Value {
    const char* name;
    const char* amount;
    norvane::Unit unit;
  };
  constexpr Value kValues[] = {
      {"largest negative double", "-1.7976931348623157E+308", norvane::Unit::Bytes},
      {"16 digits", "1234567890123456", norvane::Unit::Bytes},
      {"short", "1", norvane::Unit::Bytes},
  };
  for (const char* style : {"Fusion", "Windows"}) {
    for (const bool dark : {false, true}) {
      for (const Value& v : kValues) {
        QTest::addRow("%s %s, %s", style, dark ? "dark" : "light", v.name)
            << style << dark << v.amount << int(v.unit);
      }
    }
  }
}

void DisplayTest::resultsShowTheirWholeValue() {
  QFETCH(QString, style);
  QFETCH(bool, dark);
  QFETCH(QString, amount);
  QFETCH(int, unit);
  QWidget* window = ShowMain(style, dark);
  QVERIFY(window);
  Convert(window, amount, unit);
  const norvane::ResultTexts expected =
      norvane::CalculateResults(amount.toStdString(), static_cast<norvane::Unit>(unit), '.');

  for (std::size_t i = 0; i < std::size(kResultBoxes); ++i) {
    const char* name = kResultBoxes[i];
    auto* box = Control<QLineEdit>(window, name);
    QVERIFY(box);
    const QString value = QString::fromStdString(expected[i]);
    QCOMPARE(box->text(), value);
    QCOMPARE(box->size(), QSize(113, 24));  // the design's size, whatever the value

    const QImage shown = box->grab().toImage();
    const qreal ratio = shown.devicePixelRatio();
    const int frame = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, box);
    const QRect inside(QPoint(frame + 1, frame + 1) * ratio,
                       QPoint(box->width() - frame - 2, box->height() - frame - 2) * ratio);
    const auto [left, right] = InkColumns(shown, inside, box->palette().color(QPalette::Base));
    QVERIFY2(left >= 0, name);
    // Nothing cut at either side: the ink keeps clear of the box's edges and
    // is as wide as the whole text drawn alone in the same font.
    const int whole = WholeInkWidth(*box, ratio);
    const QString extents = QStringLiteral("%1: ink %2..%3 of %4..%5, whole text %6 wide, font %7")
                                .arg(name)
                                .arg(left)
                                .arg(right)
                                .arg(inside.left())
                                .arg(inside.right())
                                .arg(whole)
                                .arg(box->font().pointSizeF());
    QVERIFY2(left > inside.left() + ratio && right < inside.right(), qPrintable(extents));
    QVERIFY2(right - left + 1 >= whole - 2 * ratio, qPrintable(extents));

    // The design font wherever the value fits in it.
    const QFont design = Control(window, "txtEntry")->font();
    const bool fits = QFontMetricsF(design, box).horizontalAdvance(value) <= 0.75 * box->width();
    if (fits) QCOMPARE(box->font(), design);
    QCOMPARE(box->font().family(), design.family());
  }
  // The longest results need a smaller size; the program still shows them all.
  if (expected[0].size() >= 20) {
    QVERIFY(Control(window, "txtByteResult")->font().pointSizeF() < 9.75);
  }
}

void DisplayTest::coloursStayReadable_data() {
  QTest::addColumn<bool>("dark");
  QTest::newRow("light default palette") << false;
  QTest::newRow("dark palette") << true;
}

void DisplayTest::coloursStayReadable() {
  QFETCH(bool, dark);
  QWidget* window = ShowMain({}, dark);
  QVERIFY(window);
  const QColor pureBlue(0, 0, 255);
  for (const char* name :
       {"txtByteResult", "txtKiloResult", "txtMegaResult", "txtGigaResult", "lblResults"}) {
    QWidget* control = Control(window, name);
    const bool box = qobject_cast<QLineEdit*>(control);
    const QColor ink = control->palette().color(box ? QPalette::Text : QPalette::WindowText);
    const QColor ground = control->palette().color(box ? QPalette::Base : QPalette::Window);
    const double contrast = rt::ContrastRatio(ToRgb(ink), ToRgb(ground));
    QVERIFY2(contrast >= rt::kReadableContrast, qPrintable(QStringLiteral("%1: %2 on %3, %4:1")
                                                               .arg(name, ink.name(), ground.name())
                                                               .arg(contrast)));
    if (!dark) QCOMPARE(ink, pureBlue);
    // Still a blue: the nearest readable one on the way to white.
    if (dark) QVERIFY(ink.blue() == 255 && ink.red() == ink.green() && ink.red() < 255);
  }

  // The About window's etched rule in the palette's own line colours when dark,
  // in the designed gray and white on the light default.
  QTimer::singleShot(0, [&] {
    QWidget* about = Window("frmAbout");
    QWidget* client = about ? Control(about, "cmdOK")->parentWidget() : nullptr;
    if (about) CloseSoon(about);
    if (client) {
      const QImage surface = client->grab().toImage();
      const qreal ratio = surface.devicePixelRatio();
      const QColor shadow = surface.pixelColor(QPoint(100, 163) * ratio);
      const QColor light = surface.pixelColor(QPoint(100, 165) * ratio);
      const QPalette& p = client->palette();
      QCOMPARE(shadow.rgb(), dark ? p.color(QPalette::Mid).rgb() : qRgb(128, 128, 128));
      QCOMPARE(light.rgb(), dark ? p.color(QPalette::Light).rgb() : qRgb(255, 255, 255));
      if (dark) {
        QVERIFY(rt::ContrastRatio(ToRgb(light), ToRgb(p.color(QPalette::Window))) < 3);
      }
    }
  });
  window->findChild<QAction*>("mnuAbout")->trigger();
  QVERIFY(!Window("frmAbout"));
}

void DisplayTest::boxesAndAboutBelongToTheMainWindow() {
  QWidget* window = ShowMain({}, false);
  QVERIFY(window);
  // Frames as the window system reports them, read afresh: QWidget keeps a frame it saw once
  // until the window next moves.
  const auto frameCentre = [](const QWidget& w) {
    return w.windowHandle()->frameGeometry().center();
  };
  QVERIFY2((frameCentre(*window) - window->screen()->geometry().center()).manhattanLength() > 100,
           "needs a screen larger than the window (tests/qt/offscreen-screen.json)");

  // Each: owned by the main window, over its centre, modal, and with no
  // minimise button of its own.
  QStringList seen;
  const auto belongs = [&](QWidget& w) {
    seen << w.windowTitle();
    QCOMPARE(w.parentWidget(), window);
    QVERIFY(w.windowHandle() && w.windowHandle()->transientParent() == window->windowHandle());
    QVERIFY(w.isModal());
    QVERIFY(!(w.windowFlags() & Qt::WindowMinimizeButtonHint));
    if (QGuiApplication::platformName() == "xcb") {
      // What the window manager reads: the owner, and no minimise function.
      const QString transient = XProperty(w.winId(), "WM_TRANSIENT_FOR");
      QVERIFY2(transient.endsWith(QStringLiteral("# 0x%1").arg(window->winId(), 0, 16)),
               qPrintable(transient));
      const QStringList motif = XProperty(w.winId(), "_MOTIF_WM_HINTS").section('=', 1).split(',');
      QVERIFY2(motif.size() >= 2, qPrintable(motif.join(',')));
      constexpr uint kFunctionsGiven = 1, kAllFunctions = 1, kMinimise = 8;
      const uint given = motif[0].trimmed().toUInt(nullptr, 16);
      const uint functions = motif[1].trimmed().toUInt(nullptr, 16);
      QVERIFY2((given & kFunctionsGiven) && !(functions & (kAllFunctions | kMinimise)),
               qPrintable(motif.join(',')));
    }
    // A window manager takes a box on and frames it a little after it maps, later under load.
    const auto offset = [&] { return frameCentre(w) - frameCentre(*window); };
    QTRY_VERIFY2_WITH_TIMEOUT(Settled(w) && offset().manhattanLength() <= 6,
                              qPrintable(QStringLiteral("%1 is %2,%3 off centre%4")
                                             .arg(w.windowTitle())
                                             .arg(offset().x())
                                             .arg(offset().y())
                                             .arg(Settled(w) ? "" : ", not settled")),
                              10000);
  };
  {
    BoxWatcher watcher(belongs);
    Convert(window, "not a number", 0);
    QCOMPARE(watcher.seen, 1);
  }
  {
    BoxWatcher watcher(belongs);
    window->findChild<QAction*>("mnuInstructions")->trigger();
    QCOMPARE(watcher.seen, 1);
  }
  QTimer::singleShot(0, [&] {
    if (QWidget* about = Window("frmAbout")) {
      // Closed after the checks, which wait for events, pass or fail.
      const auto close = qScopeGuard([about] { CloseSoon(about); });
      belongs(*about);
      if (QGuiApplication::platformName() == "xcb") {
        // Minimised, it takes its owner with it: nothing is left that waits unseen.
        QProcess::execute("xdotool", {"windowminimize", QString::number(about->winId())});
        QTRY_VERIFY_WITH_TIMEOUT(XProperty(window->winId(), "WM_STATE").contains("Iconic"), 5000);
      }
    }
  });
  window->findChild<QAction*>("mnuAbout")->trigger();
  QCOMPARE(seen, (QStringList{kTitle, kTitle, "About " + kTitle}));
}

void DisplayTest::messageBoxShowsItsWholeCaption() {
  QWidget* window = ShowMain({}, false);
  QVERIFY(window);
  // Room for the caption in a title bar's bold face beside three title-bar buttons.
  QFont titleFont = QFontDatabase::systemFont(QFontDatabase::TitleFont);
  titleFont.setBold(true);
  titleFont.setPointSizeF(std::max(titleFont.pointSizeF(), 10.0));
  const int needed = QFontMetrics(titleFont).horizontalAdvance(kTitle) + 3 * 24;
  int width = 0;
  BoxWatcher watcher([&](QMessageBox& box) { width = box.width(); });
  Convert(window, "x", 0);  // the shortest message of all
  QCOMPARE(watcher.seen, 1);
  QVERIFY2(width >= needed, qPrintable(QStringLiteral("%1 < %2").arg(width).arg(needed)));
}

// In the style that draws the frame's title above its edge, the one Qt uses
// on a Linux desktop that names none.
void DisplayTest::firstOptionCircleInsideItsFrame() {
  QWidget* window = ShowMain("Fusion", false);
  QVERIFY(window);
  auto* frame = Control<QGroupBox>(window, "frmSelect");
  auto* option = Control<QRadioButton>(window, "optMeasure", 0);
  // As laid out, or a few pixels lower.
  QCOMPARE(option->size(), QSize(73, 17));
  QCOMPARE(option->x(), 8);
  QVERIFY(option->y() >= 16 && option->y() <= 20);

  // From the pixels, in a column right of the title, where the frame's top
  // edge runs, and in the column through the circle's middle.
  const QImage image = frame->grab().toImage();
  const qreal ratio = image.devicePixelRatio();
  const int edgeColumn = int((frame->width() - 6) * ratio);
  const int circleColumn = int((option->x() + 7) * ratio);
  const auto differ = [&](QPoint a, QPoint b, int by) {
    const QColor x = image.pixelColor(a), y = image.pixelColor(b);
    return std::abs(x.red() - y.red()) + std::abs(x.green() - y.green()) +
               std::abs(x.blue() - y.blue()) >
           by;
  };
  int edgeTop = 0;
  while (edgeTop < image.height() && !differ({edgeColumn, edgeTop}, {edgeColumn, 0}, 30)) {
    ++edgeTop;
  }
  int edgeBottom = edgeTop;
  while (edgeBottom + 1 < image.height() &&
         differ({edgeColumn, edgeBottom + 1}, {edgeColumn, 0}, 30)) {
    ++edgeBottom;
  }
  int circleTop = edgeTop;
  while (circleTop < image.height() &&
         !differ({circleColumn, circleTop}, {edgeColumn, circleTop}, 60)) {
    ++circleTop;
  }
  QVERIFY2(edgeTop < image.height() && circleTop < image.height(), "no frame edge or circle");
  QVERIFY2(circleTop > edgeBottom + 1,
           qPrintable(QStringLiteral("frame edge on rows %1..%2, circle from row %3")
                          .arg(edgeTop)
                          .arg(edgeBottom)
                          .arg(circleTop)));
}

void DisplayTest::everyLabelShowsItsWholeCaption_data() {
  QTest::addColumn<QString>("style");
  QTest::newRow("Fusion") << "Fusion";
  QTest::newRow("Windows") << "Windows";
}

void DisplayTest::everyLabelShowsItsWholeCaption() {
  QFETCH(QString, style);
  QWidget* window = ShowMain(style, false);
  QVERIFY(window);
  const auto whole = [](QWidget* w) {
    QStringList cut;
    for (auto* label : w->findChildren<QLabel*>()) {
      if (label->text().isEmpty()) continue;
      const QRect room = label->contentsRect();
      const QFontMetrics metrics(label->font());
      const QRect needs =
          metrics.boundingRect(room, Qt::TextWordWrap | int(label->alignment()), label->text());
      if (needs.width() > room.width() || needs.height() > room.height()) {
        cut << QStringLiteral("%1 needs %2x%3 in %4x%5")
                   .arg(label->objectName())
                   .arg(needs.width())
                   .arg(needs.height())
                   .arg(room.width())
                   .arg(room.height());
      }
    }
    return cut;
  };
  QStringList cut = whole(window);
  QTimer::singleShot(0, [&] {
    if (QWidget* about = Window("frmAbout")) {
      CloseSoon(about);
      cut << whole(about);
    }
  });
  window->findChild<QAction*>("mnuAbout")->trigger();
  QVERIFY2(cut.isEmpty(), qPrintable(cut.join("; ")));
}

void DisplayTest::pastesKeepTheEntryOneLine_data() {
  QTest::addColumn<QString>("how");
  QTest::addColumn<QString>("pasted");
  QTest::addColumn<QString>("entry");    // what the entry holds afterwards
  QTest::addColumn<QString>("message");  // the box the paste or Enter brings, if any
  const QString invalid = QStringLiteral("You must enter a valid numeric amount .");
  const QString tooLong = QString::fromUtf8(rt::kPasteTooLong.data(), rt::kPasteTooLong.size());
  const QString longest = QString(rt::kEntryMaxLength, '0');
  struct Paste {
    const char* name;
    QString pasted, entry, message;
  };
  const Paste kPastes[] = {
      {"copied cell", "12\n", "12", {}},
      {"terminal line", "7\r\n", "7", {}},
      {"breaks at both ends", "\r\n\n3.5\n", "3.5", {}},
      {"break inside", "1\n2", "1\n2", invalid},
      {"too long", QString(39999, '0') + '5', "", tooLong},
      {"longest that fits", longest, longest, {}},
      {"one too many", longest + '1', "", tooLong},
  };
  for (const char* how : {"Ctrl+V", "Shift+Insert", "context menu", "middle click"}) {
    for (const Paste& p : kPastes) {
      QTest::addRow("%s, %s", how, p.name) << how << p.pasted << p.entry << p.message;
    }
  }
}

void DisplayTest::pastesKeepTheEntryOneLine() {
  QFETCH(QString, how);
  QFETCH(QString, pasted);
  QFETCH(QString, entry);
  QFETCH(QString, message);
  QWidget* window = ShowMain({}, false);
  QVERIFY(window);
  auto* edit = Control<QLineEdit>(window, "txtEntry");
  QCOMPARE(edit->maxLength(), rt::kEntryMaxLength);
  const bool selection = how == "middle click";
  if (selection && !QApplication::clipboard()->supportsSelection()) {
    QSKIP("no selection to paste on this platform; run under X (qt_display_x11)");
  }
  QApplication::clipboard()->setText(pasted,
                                     selection ? QClipboard::Selection : QClipboard::Clipboard);

  BoxCloser closer;
  if (how == "Ctrl+V") {
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
  } else if (how == "Shift+Insert") {
    QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
  } else if (selection) {
    QTest::mouseClick(edit, Qt::MiddleButton, {}, QPoint(5, 5));
  } else {
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                            edit->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(edit, &event);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu);
    QAction* paste = nullptr;
    for (QAction* action : menu->actions()) {
      if (action->text().section('\t', 0, 0) == QLineEdit::tr("&Paste")) paste = action;
    }
    QVERIFY(paste && paste->isEnabled());
    paste->trigger();
    menu->close();
  }
  QCOMPARE(edit->text(), entry);

  // Enter converts what the entry holds: a number, or a refusal.
  if (!entry.isEmpty()) QTest::keyClick(edit, Qt::Key_Return);
  QStringList messages;
  for (const auto& box : closer.seen) messages << box.text;
  QCOMPARE(messages, message.isEmpty() ? QStringList{} : QStringList{message});
  for (const auto& box : closer.seen) QCOMPARE(box.title, kTitle);
  const QString bytes = Control<QLineEdit>(window, "txtByteResult")->text();
  if (message.isEmpty()) {
    const auto results = norvane::CalculateResults(entry.toStdString(), norvane::Unit::Kilobytes);
    QCOMPARE(bytes, QString::fromStdString(results[0]));
  } else {
    QCOMPARE(bytes, QString());
  }
}

QTEST_MAIN(DisplayTest)
#include "tst_display.moc"
