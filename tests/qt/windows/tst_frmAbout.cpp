// The About window on the Qt back end, opened from the main window the ways a
// person does, with real key and mouse events.
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <memory>

#include "app/qt/runtime.h"
#include "tests/qt/windows/windows.h"
#include "ui/about/frmAbout.h"
#include "ui/about/picture.h"
#include "ui/main/frmMain.h"

using norvane::qt::QtRuntime;
using namespace norvane::test;

namespace {
// The texts of the layout that Form_Load replaces: never to be seen.
const QStringList kLayoutTexts{"About Norvane", "Pimbrel's Computers Norvane ", "Version 1.0"};

// Notes every text that a paint shows: window titles and label texts.
class PaintSpy : public QObject {
 public:
  QSet<QString> shown;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint || event->type() == QEvent::Show) {
      if (auto* label = qobject_cast<QLabel*>(watched)) shown << label->text();
      if (auto* widget = qobject_cast<QWidget*>(watched); widget && widget->isWindow()) {
        shown << widget->windowTitle();
      }
    }
    return false;
  }
};
}  // namespace

class AboutWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void opensFromTheHelpMenu_data();
  void opensFromTheHelpMenu();
  void showsTheApplicationsTitleAndVersionOnly();
  void geometryMatchesTheDesign_data();
  void geometryMatchesTheDesign();
  void textsWrapInsideTheirLabels();
  void showsItsPicture();
  void closes_data();
  void closes();
  void secondOpeningIsFreshlyLoaded();
  void mainWindowTakesNoInputMeanwhile();

 private:
  // Opens About the given way, runs `body` while it is open, and returns once it has closed.
  void Open(const QString& way, const std::function<void(QWidget*)>& body);

  std::unique_ptr<QtRuntime> m_rt;
  QWidget* m_main = nullptr;
};

void AboutWindowTest::init() {
  m_rt = std::make_unique<QtRuntime>();
  m_rt->Show(m_rt->Instance<norvane::frmMain>());
  m_main = Window("frmMain");
  QVERIFY(m_main);
  QVERIFY(QTest::qWaitForWindowActive(m_main));
}

void AboutWindowTest::cleanup() {
  m_rt.reset();
  m_main = nullptr;
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QStringList left;
  for (QWidget* widget : QApplication::topLevelWidgets()) left << NameOf(widget);
  QVERIFY2(left.isEmpty(), qPrintable(left.join(", ")));
}

void AboutWindowTest::Open(const QString& way, const std::function<void(QWidget*)>& body) {
  WhenModal about("frmAbout", body);
  Reach(m_main, way);
  QCOMPARE(about.ran, 1);
  QVERIFY(!Window("frmAbout"));
  QVERIFY(!m_rt->Instance<norvane::frmAbout>().Loaded());
  // What a window manager does once the modal window has gone; the offscreen platform does not.
  m_main->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(m_main));
}

void AboutWindowTest::opensFromTheHelpMenu_data() {
  QTest::addColumn<QString>("way");
  QTest::newRow("Alt+H, B") << "keys H B";
  QTest::newRow("Help menu by mouse") << "mouse mnuHelp mnuAbout";
}

void AboutWindowTest::opensFromTheHelpMenu() {
  QFETCH(QString, way);
  Open(way, [](QWidget* about) {
    QCOMPARE(about->windowModality(), Qt::ApplicationModal);
    QCOMPARE(QApplication::focusWidget(), Control(about, "cmdOK"));
    QCOMPARE(Control<QPushButton>(about, "cmdOK")->text(), QStringLiteral("OK"));
    QVERIFY(Control<QPushButton>(about, "cmdOK")->isDefault());
    QCOMPARE(about->windowFlags() & Qt::WindowMaximizeButtonHint, Qt::WindowFlags());
  });
}

void AboutWindowTest::showsTheApplicationsTitleAndVersionOnly() {
  PaintSpy spy;
  qApp->installEventFilter(&spy);
  QStringList shown;
  Open("keys H B", [&](QWidget* about) {
    QTRY_VERIFY(spy.shown.contains("Pimbrel's Norvane"));  // the spy sees the paints
    shown << about->windowTitle();
    for (const char* label : {"lblTitle", "lblVersion", "lblDescription", "Label1"}) {
      shown << Control<QLabel>(about, label)->text();
    }
    // Orca reads the sentences of a dialog that opens, and its description.
    shown << QAccessible::queryAccessibleInterface(about)->text(QAccessible::Description);
  });
  qApp->removeEventFilter(&spy);
  QCOMPARE(shown, QStringList({"About Pimbrel's Norvane", "Pimbrel's Norvane", "Version 1.0.2",
                               "The Norvane was developed as a simple tool to quickly and easily "
                               "calculate bytes, kilobytes, megabytes and gigabytes.  Special "
                               "thanks to \"Tolp\" for his mathematical assistance. ",
                               "www.pimbrels.example/norvane",
                               "Pimbrel's Norvane, Version 1.0.2, www.pimbrels.example/norvane"}));
  for (const QString& text : kLayoutTexts) QVERIFY2(!spy.shown.contains(text), qPrintable(text));
}

void AboutWindowTest::geometryMatchesTheDesign_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QRect>("rect");  // pixels at 96 dpi
  QTest::newRow("cmdOK") << "cmdOK" << QRect(283, 192, 84, 23);
  QTest::newRow("picIcon") << "picIcon" << QRect(16, 16, 52, 52);
  QTest::newRow("lblDescription") << "lblDescription" << QRect(70, 75, 259, 62);
  QTest::newRow("lblDisclaimer") << "lblDisclaimer" << QRect(17, 176, 258, 55);
  QTest::newRow("lblTitle") << "lblTitle" << QRect(70, 16, 259, 32);
  QTest::newRow("lblVersion") << "lblVersion" << QRect(70, 52, 259, 15);
  QTest::newRow("Label1") << "Label1" << QRect(64, 144, 273, 17);
}

void AboutWindowTest::geometryMatchesTheDesign() {
  QFETCH(QString, name);
  QFETCH(QRect, rect);
  Open("keys H B", [&](QWidget* about) {
    QWidget* widget = Control(about, qPrintable(name));
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), rect);
    QCOMPARE(widget->parentWidget()->size(), QSize(382, 237));
    const QSize fixed = about->size();
    about->resize(fixed + QSize(100, 100));
    QCOMPARE(about->size(), fixed);
  });
}

// Every label's text fits its rectangle, lines broken at blanks.
void AboutWindowTest::textsWrapInsideTheirLabels() {
  Open("keys H B", [](QWidget* about) {
    for (QLabel* label : about->findChildren<QLabel*>()) {
      if (label->text().isEmpty()) continue;
      const QRect needed = label->fontMetrics().boundingRect(
          label->contentsRect(), Qt::TextWordWrap | label->alignment(), label->text());
      QVERIFY2(label->contentsRect().contains(needed),
               qPrintable(NameOf(label) + " needs " + QString::number(needed.width()) + "x" +
                          QString::number(needed.height())));
    }
    const QString disclaimer = Control<QLabel>(about, "lblDisclaimer")->text();
    QVERIFY(disclaimer.contains('@'));
    QVERIFY(disclaimer.endsWith("Pimbrel's Computers."));
  });
}

void AboutWindowTest::showsItsPicture() {
  Open("keys H B", [](QWidget* about) {
    const QImage image = Control<QLabel>(about, "picIcon")
                             ->pixmap()
                             .toImage()
                             .convertToFormat(QImage::Format_ARGB32);
    const norvane::rt::Picture& picture = norvane::kAboutPicture;
    QCOMPARE(image.size(), QSize(picture.width, picture.height));
    for (int y = 0; y < picture.height; ++y) {
      for (int x = 0; x < picture.width; ++x) {
        const char key = picture.rows[y][x];
        const auto entry = std::ranges::find(picture.palette, key, &norvane::rt::PaletteEntry::key);
        const QRgb expected = entry->argb;
        const QRgb seen = image.pixel(x, y);
        QVERIFY2(qAlpha(expected) == 0 ? qAlpha(seen) == 0 : seen == expected,
                 qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
      }
    }
  });
}

void AboutWindowTest::closes_data() {
  QTest::addColumn<QString>("way");
  QTest::newRow("OK clicked") << "click cmdOK";
  QTest::newRow("Enter") << "Enter";
  QTest::newRow("Esc") << "Esc";
  QTest::newRow("title bar close") << "close";
}

void AboutWindowTest::closes() {
  QFETCH(QString, way);
  Open("keys H B", [&](QWidget* about) {
    if (way == "Enter" || way == "Esc") {
      QTest::keyClick(QApplication::focusWidget(),
                      way == "Enter" ? Qt::Key_Return : Qt::Key_Escape);
    } else {
      Reach(about, way);
    }
    QVERIFY(!Window("frmAbout"));  // not left for the helper to close
  });
  QVERIFY(m_rt->Instance<norvane::frmMain>().Loaded());
}

void AboutWindowTest::secondOpeningIsFreshlyLoaded() {
  QPointer<QWidget> first;
  Open("keys H B", [&](QWidget* about) {
    first = about;
    Control<QLabel>(about, "lblVersion")->setText("changed while open");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  });
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(!first);
  Open("mouse mnuHelp mnuAbout", [&](QWidget* about) {
    QCOMPARE(Control<QLabel>(about, "lblVersion")->text(), QStringLiteral("Version 1.0.2"));
    QCOMPARE(about->windowTitle(), QStringLiteral("About Pimbrel's Norvane"));
    QCOMPARE(QApplication::focusWidget(), Control(about, "cmdOK"));
    QTest::mouseClick(Control(about, "cmdOK"), Qt::LeftButton);
  });
}

// Clicks and keys reach the main window through the window system, which holds them back while
// About is open; the same click afterwards does reach it.
void AboutWindowTest::mainWindowTakesNoInputMeanwhile() {
  auto* entry = Control<QLineEdit>(m_main, "txtEntry");
  entry->setText("abc");  // the Calculate command would refuse it with a message box
  QWidget* calculate = Control(m_main, "cmdCalculate");
  const QPoint onCalculate = calculate->mapTo(m_main, calculate->rect().center());
  QWindow* mainWindow = m_main->windowHandle();
  {
    BoxCloser unexpected;
    Open("keys H B", [&](QWidget* about) {
      QTest::mouseClick(mainWindow, Qt::LeftButton, {}, onCalculate);
      QTest::keyClick(mainWindow, Qt::Key_A, Qt::AltModifier);
      QTest::keyClick(mainWindow, Qt::Key_C, Qt::AltModifier);
      QTest::keyClick(mainWindow, Qt::Key_F, Qt::AltModifier);
      QVERIFY(!QApplication::activePopupWidget());
      for (auto* button : m_main->findChildren<QAbstractButton*>()) QVERIFY(!button->isDown());
      QVERIFY(Window("frmAbout") == about);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    });
    QVERIFY(unexpected.seen.empty());
  }
  QVERIFY(m_rt->Instance<norvane::frmMain>().Loaded());
  BoxCloser closer;
  QTest::mouseClick(mainWindow, Qt::LeftButton, {}, onCalculate);
  QTRY_COMPARE(closer.seen.size(), std::size_t{1});
}

QTEST_MAIN(AboutWindowTest)
#include "tst_frmAbout.moc"
