// The Qt back end of the runtime against the contract the windows rely on,
// driven with real key and mouse events on the offscreen platform.
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>
#include <memory>
#include <utility>
#include <vector>

#include "app/qt/runtime.h"
#include "app/qt/startup.h"
#include "tests/qt/test_forms.h"
#include "ui/about/frmAbout.h"
#include "ui/main/frmMain.h"

using norvane::qt::QtRuntime;
using norvane::test::BoxCloser;
using norvane::test::Control;
using norvane::test::frmDialog;
using norvane::test::frmTest;
using norvane::test::Window;
namespace rt = norvane::rt;

namespace {

// Holds the key presses and releases that reach a window and sends them again when told, as
// Qt's accessibility bridge does while a screen reader runs.
class HoldingBridge final : public QObject {
 public:
  HoldingBridge() { QCoreApplication::instance()->installEventFilter(this); }
  void SendAgain() {
    for (auto& [window, key] : m_held) {
      if (window) QCoreApplication::postEvent(window, key.release());
    }
    m_held.clear();
    QCoreApplication::sendPostedEvents();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!watched->isWindowType() || !event->spontaneous() ||
        (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)) {
      return false;
    }
    const auto& key = static_cast<const QKeyEvent&>(*event);
    m_held.emplace_back(watched, std::make_unique<QKeyEvent>(
                                     key.type(), key.key(), key.modifiers(), key.nativeScanCode(),
                                     key.nativeVirtualKey(), key.nativeModifiers(), key.text()));
    return true;
  }

 private:
  std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QKeyEvent>>> m_held;
};

}  // namespace

class RuntimeTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { m_rt = std::make_unique<QtRuntime>(); }
  void cleanup();

  void messageBoxShowsTitleTextAndButtons_data();
  void messageBoxShowsTitleTextAndButtons();
  void modalShowReturnsOnlyAfterUnload();
  void modalWindowInsideTheMainLoop_data();
  void modalWindowInsideTheMainLoop();
  void unloadThenReloadRunsLoadAgain();
  void oldWindowEventsNeverReachReloadedForm();
  void untrappedErrorIsReportedAndProgramGoesOn_data();
  void untrappedErrorIsReportedAndProgramGoesOn();
  void endRunsNoFurtherHandler();
  void titleBarCloseUnloadsWithoutProgramCode();
  void startUpLoadsThenShowsOnlyTheStartupWindow();
  void startUpWithTheMainWindow();
  void geometryFromTwips_data();
  void geometryFromTwips();
  void sizableWindowKeepsControlsInPlace();
  void fixedDialogCannotBeResized();
  void defaultAndCancelKeys_data();
  void defaultAndCancelKeys();
  void keyDownComesFirstAndKeyStillArrives_data();
  void keyDownComesFirstAndKeyStillArrives();
  void tabOrderFollowsTabIndex();
  void optionGroupArrowsAndTabStop();
  void textSelectionAndValues();
  void controlsLookAsLaidOut();
  void menusRaiseClickAndHaveNoShortcuts();
  void accessKeysAsWithoutAScreenReader_data();
  void accessKeysAsWithoutAScreenReader();
  void decimalSeparatorFollowsLocale_data();
  void decimalSeparatorFollowsLocale();

 private:
  std::unique_ptr<QtRuntime> m_rt;
};

void RuntimeTest::cleanup() {
  m_rt.reset();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QStringList left;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    left << QString::fromLatin1(widget->metaObject()->className()) + ' ' + widget->objectName();
  }
  QVERIFY2(left.isEmpty(), qPrintable(left.join(", ")));
}

void RuntimeTest::messageBoxShowsTitleTextAndButtons_data() {
  QTest::addColumn<int>("buttons");
  QTest::addColumn<int>("expected");
  QTest::newRow("OK only") << int(rt::MsgBoxButtons::OkOnly) << int(QMessageBox::Ok);
  QTest::newRow("OK and Cancel") << int(rt::MsgBoxButtons::OkCancel)
                                 << int(QMessageBox::Ok | QMessageBox::Cancel);
}

void RuntimeTest::messageBoxShowsTitleTextAndButtons() {
  QFETCH(int, buttons);
  QFETCH(int, expected);
  BoxCloser closer(QMessageBox::Cancel);
  m_rt->MsgBox("You must enter a valid numeric amount .", static_cast<rt::MsgBoxButtons>(buttons));
  QCOMPARE(closer.seen.size(), std::size_t{1});
  const auto& box = closer.seen[0];
  QCOMPARE(box.title, QStringLiteral("Pimbrel's Norvane"));
  QCOMPARE(box.text, QStringLiteral("You must enter a valid numeric amount ."));
  QCOMPARE(int(box.buttons), expected);
  QCOMPARE(box.icon, QMessageBox::NoIcon);
  QVERIFY(box.modal);
}

void RuntimeTest::modalShowReturnsOnlyAfterUnload() {
  auto& dialog = m_rt->Instance<frmDialog>();
  dialog.onClick = [&](std::string_view control, int) {
    if (control == "cmdOK") m_rt->Unload(dialog);
  };
  bool returned = false;
  bool wasModalAndBlocking = false;
  QTimer::singleShot(0, [&] {
    QWidget* window = Window("frmDialog");
    wasModalAndBlocking = window && window->isVisible() && !returned &&
                          window->windowModality() == Qt::ApplicationModal &&
                          QApplication::activeModalWidget() == window;
    QTest::mouseClick(Control<QPushButton>(window, "cmdOK"), Qt::LeftButton);
  });
  m_rt->Show(dialog, rt::Modality::Modal);
  returned = true;
  QVERIFY(wasModalAndBlocking);
  QVERIFY(!dialog.Loaded());
  QCOMPARE(dialog.log, (std::vector<std::string>{"Load", "Click cmdOK"}));
  QVERIFY(!Window("frmDialog"));
}

void RuntimeTest::modalWindowInsideTheMainLoop_data() {
  QTest::addColumn<bool>("byTitleBar");
  QTest::newRow("closed by its OK button") << false;
  QTest::newRow("closed by its title bar") << true;
}

void RuntimeTest::modalWindowInsideTheMainLoop() {
  QFETCH(bool, byTitleBar);
  auto& form = m_rt->Instance<frmTest>();
  auto& dialog = m_rt->Instance<frmDialog>();
  form.onClick = [&](std::string_view control, int) {
    if (control != "mnuGo") return;
    m_rt->Show(dialog, rt::Modality::Modal);
    form.log.push_back("modal Show returned");
  };
  dialog.onClick = [&](std::string_view control, int) {
    if (control == "cmdOK") m_rt->Unload(dialog);
  };
  m_rt->Show(form);
  QTimer closer;
  QTimer::singleShot(0, &closer,
                     [] { Window("frmTest")->findChild<QAction*>("mnuGo")->trigger(); });
  // While the dialog is up the main window takes no input; then the dialog closes.
  connect(&closer, &QTimer::timeout, [&] {
    QWidget* window = Window("frmDialog");
    if (!window || !window->isVisible()) return;
    closer.stop();
    // Through the window system, where modality applies (a click sent to the widget would not be).
    QWidget* main = Window("frmTest");
    QWidget* go = Control(main, "cmdGo");
    QTest::mouseClick(main->windowHandle(), Qt::LeftButton, {},
                      go->mapTo(main, go->rect().center()));
    if (byTitleBar) {
      window->close();
    } else {
      QTest::mouseClick(Control(window, "cmdOK"), Qt::LeftButton);
    }
    QTimer::singleShot(0, &closer, [] { Window("frmTest")->close(); });
  });
  closer.start(10);
  QCOMPARE(m_rt->Run(), 0);
  QCOMPARE(form.log, (std::vector<std::string>{"Load", "Click mnuGo", "modal Show returned"}));
  const std::vector<std::string> dialogEvents =
      byTitleBar ? std::vector<std::string>{"Load"}
                 : std::vector<std::string>{"Load", "Click cmdOK"};
  QCOMPARE(dialog.log, dialogEvents);
  QVERIFY(!form.Loaded() && !dialog.Loaded());
}

void RuntimeTest::unloadThenReloadRunsLoadAgain() {
  auto& form = m_rt->Instance<frmTest>();
  form.onLoad = [&] { form.Peer().SetText("txtEntry", rt::kNoIndex, "typed"); };
  m_rt->Show(form);
  QPointer<QWidget> first = Window("frmTest");
  QVERIFY(first && first->isVisible());
  Control<QLineEdit>(first, "txtEntry")->setText("changed by the user");

  m_rt->Unload(form);
  QVERIFY(!form.Loaded());
  QVERIFY(!first->isVisible());
  QVERIFY_THROWS_EXCEPTION(rt::Error, form.Peer());

  m_rt->Show(form);
  QCOMPARE(form.log, (std::vector<std::string>{"Load", "Load"}));
  QWidget* second = Window("frmTest");
  QVERIFY(second && second != first);
  QCOMPARE(Control<QLineEdit>(second, "txtEntry")->text(), QStringLiteral("typed"));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(first.isNull());
}

void RuntimeTest::oldWindowEventsNeverReachReloadedForm() {
  auto& form = m_rt->Instance<frmTest>();
  // The Close button unloads its own window from inside its click.
  form.onClick = [&](std::string_view control, int) {
    if (control == "cmdClose") m_rt->Unload(form);
  };
  m_rt->Show(form);
  QWidget* old = Window("frmTest");
  QPointer<QPushButton> oldGo = Control<QPushButton>(old, "cmdGo");
  QPointer<QLineEdit> oldEntry = Control<QLineEdit>(old, "txtEntry");
  QTest::mouseClick(Control<QPushButton>(old, "cmdClose"), Qt::LeftButton);
  QVERIFY(!form.Loaded());
  m_rt->Show(form);
  QVERIFY(oldGo && oldEntry);  // not deleted yet: it was unloaded inside its own event
  oldGo->click();
  QTest::keyClick(oldEntry, Qt::Key_Return);
  QTest::mouseClick(Control<QPushButton>(Window("frmTest"), "cmdGo"), Qt::LeftButton);
  QCOMPARE(form.log, (std::vector<std::string>{"Load", "Click cmdClose", "Load", "Click cmdGo"}));
}

void RuntimeTest::untrappedErrorIsReportedAndProgramGoesOn_data() {
  QTest::addColumn<bool>("runtimeError");
  QTest::addColumn<QString>("expected");
  QTest::newRow("runtime error") << true << "The amount is too large to convert.";
  QTest::newRow("unknown exception") << false << "An unexpected error stopped this command.";
}

void RuntimeTest::untrappedErrorIsReportedAndProgramGoesOn() {
  QFETCH(bool, runtimeError);
  QFETCH(QString, expected);
  auto& form = m_rt->Instance<frmTest>();
  form.onClick = [&](std::string_view, int) {
    form.Peer().SetText("txtResult", rt::kNoIndex, "half done");
    if (runtimeError) throw rt::Error("The amount is too large to convert.");
    throw 42;
  };
  m_rt->Show(form);
  QWidget* window = Window("frmTest");
  BoxCloser closer;
  QTest::mouseClick(Control<QPushButton>(window, "cmdGo"), Qt::LeftButton);
  QCOMPARE(closer.seen.size(), std::size_t{1});
  QCOMPARE(closer.seen[0].title, QStringLiteral("Pimbrel's Norvane"));
  QCOMPARE(closer.seen[0].text, expected);
  QCOMPARE(closer.seen[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  // The program carries on with every control as it was.
  QVERIFY(form.Loaded() && window->isVisible());
  QCOMPARE(Control<QLineEdit>(window, "txtResult")->text(), QStringLiteral("half done"));
  QTest::mouseClick(Control<QPushButton>(window, "cmdGo"), Qt::LeftButton);
  QCOMPARE(closer.seen.size(), std::size_t{2});
  QCOMPARE(form.log, (std::vector<std::string>{"Load", "Click cmdGo", "Click cmdGo"}));
}

void RuntimeTest::endRunsNoFurtherHandler() {
  auto& form = m_rt->Instance<frmTest>();
  auto& dialog = m_rt->Instance<frmDialog>();
  form.onClick = [&](std::string_view control, int) {
    if (control != "mnuExit") return;
    m_rt->End();
    // Whatever the handler does after End reaches no window.
    m_rt->RaiseClick(form, "cmdGo");
    m_rt->Show(dialog);
  };
  m_rt->Show(form);
  QWidget* window = Window("frmTest");
  QPointer<QPushButton> go = Control<QPushButton>(window, "cmdGo");
  QPointer<QLineEdit> entry = Control<QLineEdit>(window, "txtEntry");
  window->findChild<QAction*>("mnuExit")->trigger();
  QVERIFY(m_rt->Ended());
  QVERIFY(!form.Loaded() && !dialog.Loaded());
  QVERIFY(!Window("frmTest") && !Window("frmDialog"));
  if (go) go->click();
  if (entry) QTest::keyClick(entry, Qt::Key_Return);
  QCOMPARE(m_rt->Run(), 0);  // returns at once
  QCOMPARE(form.log, (std::vector<std::string>{"Load", "Click mnuExit"}));
  QVERIFY(dialog.log.empty());
}

void RuntimeTest::titleBarCloseUnloadsWithoutProgramCode() {
  auto& form = m_rt->Instance<frmTest>();
  m_rt->Show(form);
  QWidget* window = Window("frmTest");
  QTimer::singleShot(0, window, [window] { window->close(); });  // what the title bar's X does
  QCOMPARE(m_rt->Run(), 0);  // the last window is gone: the program ends
  QVERIFY(!form.Loaded());
  QVERIFY(!Window("frmTest"));
  QCOMPARE(form.log, (std::vector<std::string>{"Load"}));
}

void RuntimeTest::startUpLoadsThenShowsOnlyTheStartupWindow() {
  auto& form = m_rt->Instance<frmTest>();
  bool shownDuringLoad = true;
  form.onLoad = [&] {
    QWidget* window = Window("frmTest");
    shownDuringLoad = !window || window->isVisible();
  };
  bool shownWhenRunning = false;
  QStringList windowsWhenRunning;
  QTimer::singleShot(0, [&] {
    QWidget* window = Window("frmTest");
    shownWhenRunning = window && window->isVisible();
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->isVisible()) windowsWhenRunning << w->objectName();
    }
    if (window) window->close();
  });
  QCOMPARE(norvane::qt::RunProgram<frmTest>(*m_rt), 0);
  QVERIFY(!shownDuringLoad);
  QVERIFY(shownWhenRunning);
  QCOMPARE(windowsWhenRunning, QStringList{"frmTest"});
  QVERIFY(!m_rt->Instance<frmDialog>().Loaded());
  QCOMPARE(form.log, (std::vector<std::string>{"Load"}));
}

void RuntimeTest::startUpWithTheMainWindow() {
  // At the first show of frmMain its Load handler has already selected Kilobytes.
  struct Spy : QObject {
    bool kilobytesAtFirstShow = false;
    int shows = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
      if (event->type() == QEvent::Show && watched->objectName() == "frmMain") {
        auto* kilobytes = Control<QRadioButton>(static_cast<QWidget*>(watched), "optMeasure", 1);
        if (++shows == 1) kilobytesAtFirstShow = kilobytes && kilobytes->isChecked();
      }
      return false;
    }
  } spy;
  qApp->installEventFilter(&spy);
  QString title;
  QSize client;
  bool iconSet = false, aboutLoaded = true;
  QWidget* focus = nullptr;
  QTimer::singleShot(0, [&] {
    QWidget* window = Window("frmMain");
    if (window && QTest::qWaitForWindowActive(window)) {
      title = window->windowTitle();
      client = Control(window, "txtEntry")->parentWidget()->size();
      iconSet = !window->windowIcon().isNull();
      aboutLoaded = m_rt->Instance<norvane::frmAbout>().Loaded();
      focus = QApplication::focusWidget();
      window->close();
    } else {
      m_rt->End();
    }
  });
  QCOMPARE(norvane::qt::RunProgram<norvane::frmMain>(*m_rt), 0);
  qApp->removeEventFilter(&spy);
  QCOMPARE(spy.shows, 1);
  QVERIFY(spy.kilobytesAtFirstShow);
  QCOMPARE(title, QStringLiteral("Norvane"));
  QCOMPARE(client, QSize(416, 290));
  QVERIFY(iconSet);
  QVERIFY(!aboutLoaded);
  QVERIFY(focus);
  QCOMPARE(focus->objectName(), QStringLiteral("txtEntry"));
}

void RuntimeTest::geometryFromTwips_data() {
  QTest::addColumn<QString>("form");
  QTest::addColumn<QString>("control");
  QTest::addColumn<int>("index");
  QTest::addColumn<QRect>("expected");
  // 15 twips to the pixel; option buttons relative to their frame.
  QTest::newRow("text box") << "frmTest"
                            << "txtEntry" << -1 << QRect(160, 32, 105, 19);
  QTest::newRow("frame") << "frmTest"
                         << "frmGroup" << -1 << QRect(288, 16, 97, 121);
  QTest::newRow("tall button") << "frmTest"
                               << "cmdGo" << -1 << QRect(176, 88, 81, 49);
  // The first moves down until its circle clears the frame's title and edge.
  QTest::newRow("option 0 in frame") << "frmTest"
                                     << "optUnit" << 0 << QRect(8, 19, 73, 17);
  QTest::newRow("option 2 in frame") << "frmTest"
                                     << "optUnit" << 2 << QRect(8, 64, 73, 17);
  QTest::newRow("label") << "frmTest"
                         << "lblNote" << -1 << QRect(32, 152, 113, 17);
  QTest::newRow("dialog button") << "frmDialog"
                                 << "cmdOK" << -1 << QRect(283, 192, 84, 23);
  QTest::newRow("picture box") << "frmDialog"
                               << "picIcon" << -1 << QRect(16, 80, 36, 36);
}

void RuntimeTest::geometryFromTwips() {
  QFETCH(QString, form);
  QFETCH(QString, control);
  QFETCH(int, index);
  QFETCH(QRect, expected);
  m_rt->Show(m_rt->Instance<frmTest>());
  m_rt->Show(m_rt->Instance<frmDialog>());
  QWidget* window = Window(qPrintable(form));
  QWidget* widget = Control(window, qPrintable(control), index);
  QVERIFY(widget);
  QCOMPARE(widget->geometry(), expected);
  if (control == "optUnit")
    QCOMPARE(widget->parentWidget()->objectName(), QStringLiteral("frmGroup"));
}

void RuntimeTest::sizableWindowKeepsControlsInPlace() {
  m_rt->Show(m_rt->Instance<frmTest>());
  QWidget* window = Window("frmTest");
  QVERIFY(QTest::qWaitForWindowExposed(window));
  QWidget* client = Control<QLineEdit>(window, "txtEntry")->parentWidget();
  QWidget* bar = window->findChild<QMenuBar*>();
  QCOMPARE(client->size(), QSize(416, 290));
  QCOMPARE(client->y(), bar->height());  // the client area starts below the menu bar
  QVERIFY(window->windowFlags() & Qt::WindowMinimizeButtonHint);
  QVERIFY(window->windowFlags() & Qt::WindowMaximizeButtonHint);

  const QRect before = Control(window, "txtEntry")->geometry();
  const QRect optionBefore = Control(window, "optUnit", 2)->geometry();
  window->resize(700, 500);
  QTRY_COMPARE(client->size(), QSize(700, 500 - bar->height()));
  QCOMPARE(Control(window, "txtEntry")->geometry(), before);
  window->resize(150, 120);
  QTRY_COMPARE(window->size(), QSize(150, 120));
  QCOMPARE(Control(window, "txtEntry")->geometry(), before);
  QCOMPARE(Control(window, "optUnit", 2)->geometry(), optionBefore);
}

void RuntimeTest::fixedDialogCannotBeResized() {
  m_rt->Show(m_rt->Instance<frmDialog>());
  QWidget* window = Window("frmDialog");
  QVERIFY(QTest::qWaitForWindowExposed(window));
  QWidget* client = Control(window, "cmdOK")->parentWidget();
  QCOMPARE(client->size(), QSize(382, 237));
  QCOMPARE(window->minimumSize(), window->maximumSize());
  QCOMPARE(window->size(), QSize(382, 237));
  const Qt::WindowFlags flags = window->windowFlags();
  QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
  QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
  QVERIFY(flags & Qt::WindowCloseButtonHint);
  QVERIFY(!window->windowIcon().isNull());
  QVERIFY(!window->findChild<QMenuBar*>());
}

void RuntimeTest::defaultAndCancelKeys_data() {
  QTest::addColumn<QString>("form");
  QTest::addColumn<QString>("focus");
  QTest::addColumn<int>("key");
  QTest::addColumn<QStringList>("clicks");
  QTest::newRow("Enter in a text box presses the default")
      << "frmDialog"
      << "txtName" << int(Qt::Key_Return) << QStringList{"Click cmdOK"};
  QTest::newRow("keypad Enter presses the default")
      << "frmDialog"
      << "txtName" << int(Qt::Key_Enter) << QStringList{"Click cmdOK"};
  QTest::newRow("Esc presses the cancel button")
      << "frmDialog"
      << "txtName" << int(Qt::Key_Escape) << QStringList{"Click cmdCancel"};
  QTest::newRow("Enter on the default button presses it once")
      << "frmDialog"
      << "cmdOK" << int(Qt::Key_Return) << QStringList{"Click cmdOK"};
  QTest::newRow("Esc on the default button presses cancel")
      << "frmDialog"
      << "cmdOK" << int(Qt::Key_Escape) << QStringList{"Click cmdCancel"};
  QTest::newRow("no default: Enter in a text box presses nothing")
      << "frmTest"
      << "txtEntry" << int(Qt::Key_Return) << QStringList{};
  QTest::newRow("no default: Enter on a button presses that button")
      << "frmTest"
      << "cmdGo" << int(Qt::Key_Return) << QStringList{"Click cmdGo"};
  QTest::newRow("no cancel: Esc presses nothing")
      << "frmTest"
      << "cmdClose" << int(Qt::Key_Escape) << QStringList{};
}

void RuntimeTest::defaultAndCancelKeys() {
  QFETCH(QString, form);
  QFETCH(QString, focus);
  QFETCH(int, key);
  QFETCH(QStringList, clicks);
  norvane::test::RecordingForm& target =
      form == "frmDialog" ? static_cast<norvane::test::RecordingForm&>(m_rt->Instance<frmDialog>())
                          : m_rt->Instance<frmTest>();
  m_rt->Show(target);
  QWidget* window = Window(qPrintable(form));
  QVERIFY(QTest::qWaitForWindowActive(window));
  QWidget* widget = Control(window, qPrintable(focus));
  widget->setFocus();
  QTRY_COMPARE(QApplication::focusWidget(), widget);
  QTest::keyClick(widget, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
  QStringList seen;
  for (const std::string& event : target.log) {
    if (event.starts_with("Click")) seen << QString::fromStdString(event);
  }
  QCOMPARE(seen, clicks);
}

void RuntimeTest::keyDownComesFirstAndKeyStillArrives_data() {
  QTest::addColumn<QString>("control");
  QTest::addColumn<int>("index");
  QTest::addColumn<int>("key");
  QTest::addColumn<int>("modifiers");
  QTest::addColumn<QString>("expected");
  const int shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier, alt = Qt::AltModifier;
  QTest::newRow("Enter") << "txtEntry" << -1 << int(Qt::Key_Return) << 0 << "KeyDown txtEntry 13 0";
  QTest::newRow("keypad Enter") << "txtEntry" << -1 << int(Qt::Key_Enter) << int(Qt::KeypadModifier)
                                << "KeyDown txtEntry 13 0";
  QTest::newRow("Shift+Enter") << "txtEntry" << -1 << int(Qt::Key_Return) << shift
                               << "KeyDown txtEntry 13 1";
  QTest::newRow("Ctrl+Enter") << "txtEntry" << -1 << int(Qt::Key_Return) << ctrl
                              << "KeyDown txtEntry 13 2";
  QTest::newRow("Alt+Enter") << "txtEntry" << -1 << int(Qt::Key_Return) << alt
                             << "KeyDown txtEntry 13 4";
  QTest::newRow("Ctrl+Shift+Enter")
      << "txtEntry" << -1 << int(Qt::Key_Return) << (ctrl | shift) << "KeyDown txtEntry 13 3";
  QTest::newRow("letter A") << "txtEntry" << -1 << int(Qt::Key_A) << 0 << "KeyDown txtEntry 65 0";
  QTest::newRow("digit 7") << "txtEntry" << -1 << int(Qt::Key_7) << 0 << "KeyDown txtEntry 55 0";
  QTest::newRow("Enter on option 2")
      << "optUnit" << 2 << int(Qt::Key_Return) << 0 << "KeyDown optUnit(2) 13 0";
  QTest::newRow("Shift+Enter on option 0")
      << "optUnit" << 0 << int(Qt::Key_Return) << shift << "KeyDown optUnit(0) 13 1";
}

void RuntimeTest::keyDownComesFirstAndKeyStillArrives() {
  QFETCH(QString, control);
  QFETCH(int, index);
  QFETCH(int, key);
  QFETCH(int, modifiers);
  QFETCH(QString, expected);
  auto& form = m_rt->Instance<frmTest>();
  m_rt->Show(form);
  QWidget* window = Window("frmTest");
  auto* entry = Control<QLineEdit>(window, "txtEntry");
  QWidget* widget = Control(window, qPrintable(control), index);
  QString textAtKeyDown = "not raised";
  form.onKeyDown = [&](int&) { textAtKeyDown = entry->text(); };
  QSignalSpy returnPressed(entry, &QLineEdit::returnPressed);
  QTest::keyClick(widget, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
  // Modifier keys come first with their own KeyDown; the key itself is last.
  QCOMPARE(form.log.front(), std::string("Load"));
  QCOMPARE(form.log.back(), expected.toStdString());
  QCOMPARE(textAtKeyDown, QString());  // raised before the box took the key
  if (widget == entry && key == Qt::Key_A) QCOMPARE(entry->text(), QStringLiteral("a"));
  if (widget == entry && key == Qt::Key_7) QCOMPARE(entry->text(), QStringLiteral("7"));
  if (widget == entry && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
    QCOMPARE(returnPressed.count(), 1);  // not consumed
  }
}

void RuntimeTest::tabOrderFollowsTabIndex() {
  auto& form = m_rt->Instance<frmTest>();
  form.onLoad = [&] { form.Peer().SetValue("optUnit", 1, true); };
  m_rt->Show(form);
  QWidget* window = Window("frmTest");
  QVERIFY(QTest::qWaitForWindowActive(window));
  QCOMPARE(QApplication::focusWidget(), Control(window, "txtEntry"));
  const QList<QWidget*> forwards = {Control(window, "cmdGo"), Control(window, "cmdClose"),
                                    Control(window, "optUnit", 1), Control(window, "txtResult"),
                                    Control(window, "txtEntry")};
  for (QWidget* next : forwards) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), next);
  }
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
  QCOMPARE(QApplication::focusWidget(), Control(window, "txtResult"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
  QCOMPARE(QApplication::focusWidget(), Control(window, "optUnit", 1));
}

void RuntimeTest::optionGroupArrowsAndTabStop() {
  auto& form = m_rt->Instance<frmTest>();
  form.onLoad = [&] { form.Peer().SetValue("optUnit", 0, true); };
  m_rt->Show(form);
  QWidget* window = Window("frmTest");
  QVERIFY(QTest::qWaitForWindowActive(window));
  auto* first = Control<QRadioButton>(window, "optUnit", 0);
  auto* second = Control<QRadioButton>(window, "optUnit", 1);
  auto* third = Control<QRadioButton>(window, "optUnit", 2);
  first->setFocus();
  QTRY_COMPARE(QApplication::focusWidget(), first);
  QTest::keyClick(first, Qt::Key_Down);
  QCOMPARE(QApplication::focusWidget(), second);
  QVERIFY(second->isChecked() && !first->isChecked());
  QVERIFY(form.Peer().Value("optUnit", 1));
  QTest::keyClick(second, Qt::Key_Down);
  QVERIFY(third->isChecked() && !second->isChecked());
  // From the Close button, Tab lands on the selected button only.
  Control(window, "cmdClose")->setFocus();
  QTRY_COMPARE(QApplication::focusWidget(), Control(window, "cmdClose"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QCOMPARE(QApplication::focusWidget(), third);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QCOMPARE(QApplication::focusWidget(), Control(window, "txtResult"));
  // Clicking selects like the arrows do, and clears the others.
  QTest::mouseClick(first, Qt::LeftButton, {}, QPoint(5, first->height() / 2));
  QVERIFY(first->isChecked() && !third->isChecked());
}

void RuntimeTest::textSelectionAndValues() {
  auto& form = m_rt->Instance<frmTest>();
  m_rt->Show(form);
  QWidget* window = Window("frmTest");
  rt::FormPeer& peer = form.Peer();
  auto* entry = Control<QLineEdit>(window, "txtEntry");

  // Texts cross as UTF-8; selections count UTF-16 units, like rt::Len.
  const std::string text =
      "Gr\xC3\xB6\xC3\x9F"
      "e \xF0\x9F\x98\x80 x";
  peer.SetText("txtEntry", rt::kNoIndex, text);
  QCOMPARE(peer.Text("txtEntry", rt::kNoIndex), text);
  peer.SetSelStart("txtEntry", rt::kNoIndex, 0);
  peer.SetSelLength("txtEntry", rt::kNoIndex, rt::Len(text));
  QCOMPARE(entry->selectedText(), entry->text());
  peer.SetSelStart("txtEntry", rt::kNoIndex, 2);
  peer.SetSelLength("txtEntry", rt::kNoIndex, 3);
  QCOMPARE(entry->selectedText(), QString::fromUtf8("\xC3\xB6\xC3\x9F"
                                                    "e"));
  peer.SetSelStart("txtEntry", rt::kNoIndex, 6);
  peer.SetSelLength("txtEntry", rt::kNoIndex, 2);
  QCOMPARE(entry->selectedText(), QString::fromUtf8("\xF0\x9F\x98\x80"));
  peer.SetSelLength("txtEntry", rt::kNoIndex, 100);  // clipped to the end
  QCOMPARE(entry->selectedText(), QString::fromUtf8("\xF0\x9F\x98\x80 x"));

  peer.SetText("frmTest", rt::kNoIndex, "About Pimbrel's Norvane");
  QCOMPARE(window->windowTitle(), QStringLiteral("About Pimbrel's Norvane"));
  QCOMPARE(peer.Text("frmTest", rt::kNoIndex), "About Pimbrel's Norvane");
  peer.SetText("lblNote", rt::kNoIndex, "Version 1.0.2");
  QCOMPARE(Control<QLabel>(window, "lblNote")->text(), QStringLiteral("Version 1.0.2"));

  peer.SetValue("optUnit", 2, true);
  QVERIFY(peer.Value("optUnit", 2) && !peer.Value("optUnit", 0));
  peer.SetValue("optUnit", 0, true);
  QVERIFY(peer.Value("optUnit", 0) && !peer.Value("optUnit", 2));
  peer.SetValue("optUnit", 0, false);  // the runtime may clear the whole group
  QVERIFY(!peer.Value("optUnit", 0) && !peer.Value("optUnit", 1) && !peer.Value("optUnit", 2));

  peer.SetFocus("txtResult", rt::kNoIndex);
  QCOMPARE(window->focusWidget(), Control(window, "txtResult"));
  QVERIFY_THROWS_EXCEPTION(rt::Error, peer.Value("txtEntry", rt::kNoIndex));
  QVERIFY_THROWS_EXCEPTION(rt::Error, peer.SetSelStart("optUnit", 1, 0));
}

void RuntimeTest::controlsLookAsLaidOut() {
  m_rt->Show(m_rt->Instance<frmTest>());
  m_rt->Show(m_rt->Instance<frmDialog>());
  QWidget* window = Window("frmTest");
  auto* entry = Control<QLineEdit>(window, "txtEntry");
  const QFontInfo font(entry->font());
  QCOMPARE(font.family(), QStringLiteral("Liberation Sans Narrow"));  // the deliberate stand-in
  QCOMPARE(entry->font().pointSizeF(), 9.75);
  QCOMPARE(entry->font().weight(), QFont::Normal);
  QCOMPARE(entry->toolTip(), QStringLiteral("Type here"));
  QVERIFY(!entry->isReadOnly());
  QCOMPARE(Control(window, "frmGroup")->toolTip(), QStringLiteral("Pick one"));
  QCOMPARE(Control<QGroupBox>(window, "frmGroup")->title(), QStringLiteral("Units"));

  auto* result = Control<QLineEdit>(window, "txtResult");
  QVERIFY(result->isReadOnly());
  QCOMPARE(result->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
  QCOMPARE(result->palette().color(QPalette::Text), QColor(0, 0, 255));
  QCOMPARE(result->accessibleName(), QStringLiteral("Result in bytes"));
  QVERIFY(entry->accessibleName().isEmpty());
  result->setText("1024");
  result->selectAll();
  QCOMPARE(result->selectedText(), QStringLiteral("1024"));  // locked, yet selectable

  auto* label = Control<QLabel>(window, "lblNote");
  QVERIFY(label->wordWrap());
  QCOMPARE(label->alignment(), Qt::AlignLeft | Qt::AlignTop);
  QCOMPARE(label->textFormat(), Qt::PlainText);
  QCOMPARE(label->text(), QStringLiteral("Fish & Chips"));
  QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 0, 255));
  QCOMPARE(label->font(), label->parentWidget()->font());  // no font of its own: the window's
  QCOMPARE(QFontInfo(label->font()).family(), QStringLiteral("Liberation Sans Narrow"));
  QCOMPARE(label->font().pointSizeF(), 8.0);

  auto* go = Control<QPushButton>(window, "cmdGo");
  QCOMPARE(go->text(), QStringLiteral("&Go"));  // & marks the access key
  QVERIFY(!go->isDefault());

  QWidget* dialog = Window("frmDialog");
  auto* picture = Control<QLabel>(dialog, "picIcon");
  QCOMPARE(picture->pixmap().size(), QSize(32, 32));
  QCOMPARE(picture->frameShape(), QFrame::WinPanel);
  QCOMPARE(picture->frameShadow(), QFrame::Sunken);
  QCOMPARE(picture->pixmap().toImage().pixelColor(0, 0).alpha(), 0);  // transparent corner
  QCOMPARE(picture->pixmap().toImage().pixelColor(15, 5), QColor(255, 255, 0));  // display
  QVERIFY(Control<QPushButton>(dialog, "cmdOK")->isDefault());

  // The etched rule: gray on row 163, white on the two rows below it.
  const QImage surface = Control(dialog, "cmdOK")->parentWidget()->grab().toImage();
  QCOMPARE(surface.pixelColor(100, 163), QColor(128, 128, 128));
  QCOMPARE(surface.pixelColor(100, 164), QColor(255, 255, 255));
  QCOMPARE(surface.pixelColor(100, 165), QColor(255, 255, 255));
  QCOMPARE(surface.pixelColor(6, 163), QColor(128, 128, 128));
  QVERIFY(surface.pixelColor(5, 163) != QColor(128, 128, 128));
}

void RuntimeTest::menusRaiseClickAndHaveNoShortcuts() {
  auto& form = m_rt->Instance<frmTest>();
  m_rt->Show(form);
  QWidget* window = Window("frmTest");
  auto* bar = window->findChild<QMenuBar*>();
  QVERIFY(bar && !bar->isNativeMenuBar());
  QStringList titles;
  for (QAction* action : bar->actions()) titles << action->text();
  QCOMPARE(titles, QStringList{"&File"});
  auto* file = window->findChild<QMenu*>("mnuFile");
  QStringList entries;
  for (QAction* action : file->actions()) {
    entries << action->objectName() + "=" + action->text();
    QVERIFY(action->shortcut().isEmpty());
  }
  QCOMPARE(entries, (QStringList{"mnuGo=&Go", "mnuExit=E&xit"}));
  window->findChild<QAction*>("mnuGo")->trigger();
  QCOMPARE(form.log, (std::vector<std::string>{"Load", "Click mnuGo"}));
}

void RuntimeTest::accessKeysAsWithoutAScreenReader_data() {
  QTest::addColumn<bool>("held");
  QTest::addColumn<QList<int>>("keys");  // each with Alt; Key_Alt is Alt alone
  QTest::addColumn<QString>("shown");    // then the open menu, else the focused widget
  const int alt = Qt::Key_Alt, go = Qt::Key_G, file = Qt::Key_F;
  for (bool held : {false, true}) {
    const char* how = held ? "held and sent again" : "at once";
    QTest::addRow("Alt+G, %s", how) << held << QList{go} << "txtEntry";
    QTest::addRow("Alt+F, %s", how) << held << QList{file} << "mnuFile";
    QTest::addRow("Alt, %s", how) << held << QList{alt} << "QMenuBar";
    QTest::addRow("Alt+F then Alt, %s", how) << held << QList{file, alt} << "txtEntry";
    QTest::addRow("Alt then Alt, %s", how) << held << QList{alt, alt} << "txtEntry";
  }
}

// Qt lets an access key act before the bridge sends its Alt again: that Alt changes nothing.
void RuntimeTest::accessKeysAsWithoutAScreenReader() {
  QFETCH(bool, held);
  QFETCH(QList<int>, keys);
  QFETCH(QString, shown);
  auto& form = m_rt->Instance<frmTest>();
  m_rt->Show(form);
  QWidget* window = Window("frmTest");
  QVERIFY(QTest::qWaitForWindowActive(window));
  QTRY_COMPARE(QApplication::focusWidget(), Control(window, "txtEntry"));
  std::unique_ptr<HoldingBridge> bridge;
  if (held) bridge = std::make_unique<HoldingBridge>();
  QWindow* handle = window->windowHandle();
  for (int key : keys) {
    // Alt let go first, as typed quickly.
    QTest::keyPress(handle, Qt::Key_Alt);
    if (key != Qt::Key_Alt) QTest::keyPress(handle, Qt::Key(key), Qt::AltModifier);
    QTest::keyRelease(handle, Qt::Key_Alt);
    if (key != Qt::Key_Alt) QTest::keyRelease(handle, Qt::Key(key));
    if (bridge) bridge->SendAgain();
  }
  QWidget* widget = QApplication::activePopupWidget();
  if (!widget) widget = QApplication::focusWidget();
  QVERIFY(widget);
  QCOMPARE(
      widget->objectName().isEmpty() ? widget->metaObject()->className() : widget->objectName(),
      shown);
  if (keys.contains(int(Qt::Key_G))) QTRY_COMPARE(form.log.back(), std::string("Click cmdGo"));
}

void RuntimeTest::decimalSeparatorFollowsLocale_data() {
  QTest::addColumn<QString>("locale");
  QTest::addColumn<char>("expected");
  QTest::newRow("en_US") << "en_US" << '.';
  QTest::newRow("de_DE") << "de_DE" << ',';
  QTest::newRow("fr_FR") << "fr_FR" << ',';
  QTest::newRow("ar_EG") << "ar_EG" << '.';  // Arabic decimal separator: not '.' or ','
}

void RuntimeTest::decimalSeparatorFollowsLocale() {
  QFETCH(QString, locale);
  QFETCH(char, expected);
  const QLocale saved;
  QLocale::setDefault(QLocale(locale));
  const char separator = m_rt->DecimalSeparator();
  QLocale::setDefault(saved);
  QCOMPARE(separator, expected);
}

QTEST_MAIN(RuntimeTest)
#include "tst_runtime.moc"
