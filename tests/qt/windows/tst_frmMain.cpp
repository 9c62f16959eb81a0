// The main window on the Qt back end, used as a person uses it: real key and
// mouse events on the real widgets, found by their objectNames.
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QTest>
#include <memory>

#include "app/qt/runtime.h"
#include "engine/conversion.h"
#include "tests/qt/windows/windows.h"
#include "ui/about/frmAbout.h"
#include "ui/main/frmMain.h"

using norvane::qt::QtRuntime;
using namespace norvane::test;

namespace {
const QString kTitle = QStringLiteral("Pimbrel's Norvane");
const char* const kResultBoxes[] = {"txtByteResult", "txtKiloResult", "txtMegaResult",
                                    "txtGigaResult"};
// 1 in each unit, by Index.
const QStringList kOne[] = {{"1", "0.00098", "0", "0"},
                            {"1024", "1", "0.00098", "0"},
                            {"1048576", "1024", "1", "0.00098"},
                            {"1073741824", "1048576", "1024", "1"}};
const QStringList kHundredMegabytes{"104857600", "102400", "100", "0.09766"};
}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void opensReadyForAnEntry();
  void controlsSayWhatTheyAreForScreenReaders();
  void geometryMatchesTheDesign_data();
  void geometryMatchesTheDesign();
  void tabVisitsTheControlsInTabIndexOrder();
  void textsFitTheirBoxes();
  void calculateCommand_data();
  void calculateCommand();
  void otherKeysAndChoicesConvertNothing();
  void altWithOtherKeysTypesNothing_data();
  void altWithOtherKeysTypesNothing();
  void refusedEntryIsSelectedWhole_data();
  void refusedEntryIsSelectedWhole();
  void overflowLeavesEverythingAsItWas();
  void decimalCommaFromTheLocale();
  void printFormFailure_data();
  void printFormFailure();
  void instructions_data();
  void instructions();
  void closeAndExitEndTheProgram_data();
  void closeAndExitEndTheProgram();

 private:
  QLineEdit* Entry() const { return Control<QLineEdit>(m_window, "txtEntry"); }
  QRadioButton* Unit(int index) const {
    return Control<QRadioButton>(m_window, "optMeasure", index);
  }
  QStringList Results() const;
  // Entry text, results and the selected unit: what a command may not change.
  QStringList State() const;
  void TypeEntry(const QString& text);
  void SelectUnitByKeys(int index);
  void ConvertHundredMegabytes();

  std::unique_ptr<QtRuntime> m_rt;
  QWidget* m_window = nullptr;
};

void MainWindowTest::init() {
  m_rt = std::make_unique<QtRuntime>();
  m_rt->Show(m_rt->Instance<norvane::frmMain>());
  m_window = Window("frmMain");
  QVERIFY(m_window);
  QVERIFY(QTest::qWaitForWindowActive(m_window));
}

void MainWindowTest::cleanup() {
  m_rt.reset();
  m_window = nullptr;
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QStringList left;
  for (QWidget* widget : QApplication::topLevelWidgets()) left << NameOf(widget);
  QVERIFY2(left.isEmpty(), qPrintable(left.join(", ")));
}

QStringList MainWindowTest::Results() const {
  QStringList texts;
  for (const char* box : kResultBoxes) texts << Control<QLineEdit>(m_window, box)->text();
  return texts;
}

QStringList MainWindowTest::State() const {
  QStringList state = Results();
  state << Entry()->text();
  for (int i = 0; i < 4; ++i) state << QString::number(Unit(i)->isChecked());
  return state;
}

void MainWindowTest::TypeEntry(const QString& text) {
  QTest::mouseClick(Entry(), Qt::LeftButton);
  QTest::keyClick(Entry(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(Entry(), Qt::Key_Backspace);
  QTest::keyClicks(Entry(), text);
  QCOMPARE(Entry()->text(), text);
}

// What a screen reader reads of each control, from its layout row: the name that every back end
// gives it and its tip text as the description.
void MainWindowTest::controlsSayWhatTheyAreForScreenReaders() {
  int checked = 0;
  for (const norvane::rt::ControlSpec& row : m_rt->Instance<norvane::frmMain>().Layout().controls) {
    if (row.kind == norvane::rt::ControlKind::Label) continue;
    const QByteArray name(row.name.data(), static_cast<qsizetype>(row.name.size()));
    QWidget* widget = Control(m_window, name.constData(), row.index);
    QAccessibleInterface* object = QAccessible::queryAccessibleInterface(widget);
    QVERIFY2(object, name.constData());
    QCOMPARE(object->text(QAccessible::Name),
             QString::fromStdString(norvane::rt::AccessibleName(row)));
    QCOMPARE(object->text(QAccessible::Description),
             QString::fromUtf8(row.toolTip.data(), static_cast<qsizetype>(row.toolTip.size())));
    ++checked;
  }
  QCOMPARE(checked, 13);  // the entry, a frame, three buttons, four units, four results
  QCOMPARE(QAccessible::queryAccessibleInterface(Entry())->text(QAccessible::Name),
           QStringLiteral("Enter Number to Convert"));
}

// From the entry, Tab goes through the three buttons to the selected unit, where the arrows move.
void MainWindowTest::SelectUnitByKeys(int index) {
  int at = 0;
  while (!Unit(at)->isChecked()) ++at;
  QTest::mouseClick(Entry(), Qt::LeftButton);
  for (int i = 0; i < 4; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QCOMPARE(QApplication::focusWidget(), Unit(at));
  for (; at != index; at += index > at ? 1 : -1) {
    QTest::keyClick(QApplication::focusWidget(), index > at ? Qt::Key_Down : Qt::Key_Up);
  }
  QCOMPARE(QApplication::focusWidget(), Unit(index));
  QVERIFY(Unit(index)->isChecked());
}

void MainWindowTest::ConvertHundredMegabytes() {
  QTest::mouseClick(Unit(2), Qt::LeftButton);
  TypeEntry("100");
  QTest::keyClick(Entry(), Qt::Key_Return);
  QCOMPARE(Results(), kHundredMegabytes);
}

void MainWindowTest::opensReadyForAnEntry() {
  QCOMPARE(m_window->windowTitle(), QStringLiteral("Norvane"));
  QCOMPARE(QApplication::focusWidget(), Entry());
  QCOMPARE(Entry()->text(), QString());
  QCOMPARE(Results(), QStringList({"", "", "", ""}));
  for (int i = 0; i < 4; ++i) QCOMPARE(Unit(i)->isChecked(), i == 1);
  QVERIFY(!Window("frmAbout"));
  QCOMPARE(Entry()->toolTip(), QStringLiteral("Enter the number you wish to convert"));
  QCOMPARE(Control(m_window, "frmSelect")->toolTip(),
           QStringLiteral("Select the criteria for the number to convert you entered"));
  for (const char* name : kResultBoxes) {
    auto* box = Control<QLineEdit>(m_window, name);
    QVERIFY(box->isReadOnly());
    QVERIFY(box->alignment() & Qt::AlignRight);
    QCOMPARE(box->palette().color(QPalette::Text), QColor(0, 0, 255));
    QCOMPARE(box->font().pointSizeF(), 9.75);
  }
  QStringList menus;
  for (QAction* title : m_window->findChild<QMenuBar*>()->actions()) {
    menus << title->text();
    for (QAction* entry : title->menu()->actions()) {
      menus << "  " + entry->text();
      QVERIFY(entry->shortcut().isEmpty());
    }
  }
  QCOMPARE(menus, QStringList({"&File", "  C&alculate", "  &Print Form", "  &Exit", "&Help",
                               "  &Instructions", "  A&bout"}));
}

void MainWindowTest::geometryMatchesTheDesign_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<int>("index");
  QTest::addColumn<QRect>("onClientArea");  // pixels at 96 dpi
  QTest::addColumn<QString>("container");
  auto row = [](const char* name, int index, QRect rect, const char* container = "") {
    const QString tag = index < 0 ? name : QStringLiteral("%1(%2)").arg(name).arg(index);
    QTest::newRow(qPrintable(tag)) << name << index << rect << container;
  };
  row("txtEntry", -1, {160, 32, 105, 19});
  row("frmSelect", -1, {288, 16, 97, 121});
  row("cmdCalculate", -1, {176, 88, 81, 49});
  row("cmdPrintForm", -1, {296, 208, 81, 25});
  row("cmdClose", -1, {296, 240, 81, 33});
  // The first option moves down until its circle clears the frame's title and edge.
  row("optMeasure", 0, {296, 35, 73, 17}, "frmSelect");
  for (int i = 1; i < 4; ++i) row("optMeasure", i, {296, 32 + 24 * i, 73, 17}, "frmSelect");
  row("txtByteResult", -1, {32, 176, 113, 24});
  row("txtMegaResult", -1, {32, 224, 113, 24});
  row("txtGigaResult", -1, {32, 248, 113, 24});
  row("lblEntry", -1, {32, 32, 129, 19});
  row("lblResults", -1, {32, 152, 113, 17});
  row("txtKiloResult", -1, {32, 200, 113, 24});
  row("lblKilobytes", -1, {152, 208, 49, 19});
  row("lblGigabytes", -1, {152, 256, 49, 19});
  row("lblMegabytes", -1, {152, 232, 49, 19});
  row("lblBytes", -1, {152, 184, 49, 19});
}

// Also after the window has been enlarged: nothing is laid out again.
void MainWindowTest::geometryMatchesTheDesign() {
  QFETCH(QString, name);
  QFETCH(int, index);
  QFETCH(QRect, onClientArea);
  QFETCH(QString, container);
  QWidget* client = Entry()->parentWidget();
  QCOMPARE(client->size(), QSize(416, 290));
  QWidget* widget = Control(m_window, qPrintable(name), index);
  QVERIFY(widget);
  QCOMPARE(NameOf(widget->parentWidget()), container.isEmpty() ? NameOf(client) : container);
  for (const QSize size : {m_window->size(), m_window->size() + QSize(300, 200)}) {
    m_window->resize(size);
    QCOMPARE(QRect(widget->mapTo(client, QPoint(0, 0)), widget->size()), onClientArea);
  }
}

void MainWindowTest::tabVisitsTheControlsInTabIndexOrder() {
  const QStringList forward{"cmdCalculate",  "cmdPrintForm",  "cmdClose",
                            "optMeasure(1)", "txtByteResult", "txtMegaResult",
                            "txtGigaResult", "txtKiloResult", "txtEntry"};
  QStringList seen;
  for (int i = 0; i < forward.size(); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    seen << NameOf(QApplication::focusWidget());
  }
  QCOMPARE(seen, forward);
  seen.clear();
  for (int i = 0; i < forward.size(); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    seen.prepend(NameOf(QApplication::focusWidget()));
  }
  QCOMPARE(seen, QStringList{"txtEntry"} + forward.mid(0, forward.size() - 1));
  QCOMPARE(Results(), QStringList({"", "", "", ""}));
}

// The stand-in fonts must not clip what the layout was drawn to show.
void MainWindowTest::textsFitTheirBoxes() {
  for (QLabel* label : m_window->findChildren<QLabel*>()) {
    QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width(),
             qPrintable(NameOf(label)));
  }
  for (int i = 0; i < 4; ++i) {
    QVERIFY2(Unit(i)->sizeHint().width() <= Unit(i)->width(), qPrintable(Unit(i)->text()));
  }
  auto* box = Control<QLineEdit>(m_window, "txtByteResult");
  const int longest = box->fontMetrics().horizontalAdvance("1264197519486.41");
  QVERIFY2(longest < box->width() - 2 * box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) - 4,
           qPrintable(QString::number(longest)));
}

void MainWindowTest::calculateCommand_data() {
  QTest::addColumn<QString>("way");
  QTest::addColumn<int>("unit");
  QTest::addColumn<int>("modifiers");
  QTest::newRow("Calculate button") << "click cmdCalculate" << 2 << 0;
  QTest::newRow("Alt+A") << "Alt A" << 2 << 0;
  QTest::newRow("Alt+F, A") << "keys F A" << 2 << 0;
  QTest::newRow("File menu by mouse") << "mouse mnuFile mnuCalculate" << 2 << 0;
  const std::pair<const char*, int> modifiers[] = {
      {"", 0},
      {"Shift+", Qt::ShiftModifier},
      {"Ctrl+", Qt::ControlModifier},
      {"Alt+", Qt::AltModifier},
      {"Ctrl+Shift+", Qt::ControlModifier | Qt::ShiftModifier},
      {"Ctrl+Alt+Shift+", Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier}};
  for (const auto& [name, mask] : modifiers) {
    QTest::newRow(qPrintable(QStringLiteral("%1Enter in the entry").arg(name)))
        << "Enter txtEntry" << 3 << mask;
  }
  QTest::newRow("keypad Enter in the entry") << "Enter txtEntry" << 0 << int(Qt::KeypadModifier);
  for (int unit = 0; unit < 4; ++unit) {
    for (const auto& [name, mask] : modifiers) {
      QTest::newRow(qPrintable(QStringLiteral("%1Enter on optMeasure(%2)").arg(name).arg(unit)))
          << "Enter optMeasure" << unit << mask;
    }
  }
}

// Each way converts the entry with the selected unit and changes nothing else.
void MainWindowTest::calculateCommand() {
  QFETCH(QString, way);
  QFETCH(int, unit);
  QFETCH(int, modifiers);
  BoxCloser closer;
  TypeEntry("1");
  if (way == "Enter optMeasure") {
    SelectUnitByKeys(unit);
  } else {
    QTest::mouseClick(Unit(unit), Qt::LeftButton);
    QTest::mouseClick(Entry(), Qt::LeftButton);
  }
  QCOMPARE(Results(), QStringList({"", "", "", ""}));
  QWidget* focus = QApplication::focusWidget();
  if (way.startsWith("Enter")) {
    const auto key = (modifiers & Qt::KeypadModifier) ? Qt::Key_Enter : Qt::Key_Return;
    QTest::keyClick(focus, key, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(QApplication::focusWidget(), focus);
    QVERIFY(!Entry()->hasSelectedText());
  } else {
    Reach(m_window, way);
  }
  QCOMPARE(Results(), kOne[unit]);
  QCOMPARE(Entry()->text(), QStringLiteral("1"));
  for (int i = 0; i < 4; ++i) QCOMPARE(Unit(i)->isChecked(), i == unit);
  QVERIFY(closer.seen.empty());
}

void MainWindowTest::otherKeysAndChoicesConvertNothing() {
  BoxCloser closer;
  ConvertHundredMegabytes();
  QTest::keyClicks(Entry(), "5");
  QTest::keyClick(Entry(), Qt::Key_Left);
  QTest::keyClick(Entry(), Qt::Key_Backspace);
  QTest::keyClick(Entry(), Qt::Key_Escape);
  QCOMPARE(Entry()->text(), QStringLiteral("105"));
  SelectUnitByKeys(3);
  QTest::keyClick(Unit(3), Qt::Key_Space);
  QTest::mouseClick(Unit(0), Qt::LeftButton);
  QVERIFY(Unit(0)->isChecked());
  QCOMPARE(Results(), kHundredMegabytes);
  QVERIFY(closer.seen.empty());
}

void MainWindowTest::altWithOtherKeysTypesNothing_data() {
  QTest::addColumn<int>("tabs");  // from the entry to the control that has the focus
  QTest::addColumn<int>("key");
  QTest::addColumn<QString>("text");  // as the key arrives, with its modifiers
  QTest::addColumn<int>("modifiers");
  QTest::addColumn<QString>("entry");  // afterwards
  const struct {
    const char* name;
    Qt::Key key;
    const char* text;
    Qt::KeyboardModifiers modifiers;
  } kAltKeys[] = {
      {"Alt+E", Qt::Key_E, "e", Qt::AltModifier},
      {"Alt+X", Qt::Key_X, "x", Qt::AltModifier},
      {"Alt+1", Qt::Key_1, "1", Qt::AltModifier},
      {"Alt+Shift+E", Qt::Key_E, "E", Qt::AltModifier | Qt::ShiftModifier},
      // Access keys of menu entries, which only an open menu knows.
      {"Alt+B", Qt::Key_B, "b", Qt::AltModifier},
      {"Alt+I", Qt::Key_I, "i", Qt::AltModifier},
  };
  const std::pair<const char*, int> kFocus[] = {
      {"txtEntry", 0}, {"cmdCalculate", 1}, {"optMeasure(2)", 4}, {"txtByteResult", 5}};
  for (const auto& [control, tabs] : kFocus) {
    for (const auto& k : kAltKeys) {
      QTest::addRow("%s on %s", k.name, control)
          << tabs << int(k.key) << k.text << int(k.modifiers) << "100";
    }
  }
  // AltGr as X reports it on a German layout (xcb: the group switch modifier).
  QTest::newRow("AltGr+Q types @")
      << 0 << int(Qt::Key_At) << "@" << int(Qt::GroupSwitchModifier) << "@";
  QTest::newRow("AltGr+E types the euro sign")
      << 0 << 0x20AC << QStringLiteral("\u20AC") << int(Qt::GroupSwitchModifier)
      << QStringLiteral("\u20AC");
}

// With the whole entry selected, as after a refusal: nothing else changes and nothing opens.
void MainWindowTest::altWithOtherKeysTypesNothing() {
  QFETCH(int, tabs);
  QFETCH(int, key);
  QFETCH(QString, text);
  QFETCH(int, modifiers);
  QFETCH(QString, entry);
  BoxCloser closer;
  ConvertHundredMegabytes();
  QTest::keyClick(Entry(), Qt::Key_A, Qt::ControlModifier);
  for (int i = 0; i < tabs; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QWidget* focus = QApplication::focusWidget();
  QTest::sendKeyEvent(QTest::Click, focus, Qt::Key(key), text, Qt::KeyboardModifiers(modifiers));
  QCOMPARE(Entry()->text(), entry);
  if (focus == Entry() && entry == "100") QCOMPARE(Entry()->selectedText(), entry);
  QCOMPARE(QApplication::focusWidget(), focus);
  QCOMPARE(Results(), kHundredMegabytes);
  for (int i = 0; i < 4; ++i) QCOMPARE(Unit(i)->isChecked(), i == 2);
  QVERIFY(!QApplication::activePopupWidget());
  QVERIFY(!Window("frmAbout"));
  QVERIFY(closer.seen.empty());
}

void MainWindowTest::refusedEntryIsSelectedWhole_data() {
  QTest::addColumn<QString>("entry");
  QTest::newRow("letters") << "abc";
  QTest::newRow("empty") << "";
  QTest::newRow("blanks only") << "   ";
  QTest::newRow("letters after digits") << "12abc";
  QTest::newRow("two separators") << "1.2.3";
  QTest::newRow("lone minus") << "-";
}

void MainWindowTest::refusedEntryIsSelectedWhole() {
  QFETCH(QString, entry);
  ConvertHundredMegabytes();
  TypeEntry(entry);
  QTest::keyClick(Entry(), Qt::Key_Home);
  const QStringList before = State();
  BoxCloser closer;
  QTest::mouseClick(Control(m_window, "cmdCalculate"), Qt::LeftButton);
  QCOMPARE(closer.seen.size(), std::size_t{1});
  QCOMPARE(closer.seen[0].title, kTitle);
  QCOMPARE(closer.seen[0].text, QStringLiteral("You must enter a valid numeric amount ."));
  QCOMPARE(int(closer.seen[0].buttons), int(QMessageBox::Ok));
  // Without a window manager nothing activates the main window again once the box has gone, so
  // the focus shows as the window's own focus widget, which its next activation restores.
  QCOMPARE(m_window->focusWidget(), Entry());
  QCOMPARE(Entry()->selectedText(), entry);
  QCOMPARE(Entry()->hasSelectedText() ? Entry()->selectionStart() : Entry()->cursorPosition(), 0);
  QCOMPARE(State(), before);
  // The next keystroke replaces the whole entry.
  QTest::keyClicks(Entry(), "7");
  QCOMPARE(Entry()->text(), QStringLiteral("7"));
}

void MainWindowTest::overflowLeavesEverythingAsItWas() {
  ConvertHundredMegabytes();
  QTest::mouseClick(Unit(3), Qt::LeftButton);
  TypeEntry("2" + QString(299, '0'));  // beyond the largest double divided by 1073741824
  QTest::keyClick(Entry(), Qt::Key_Left);
  const int cursor = Entry()->cursorPosition();
  const QStringList before = State();
  BoxCloser closer;
  QTest::keyClick(Entry(), Qt::Key_Return);
  QCOMPARE(closer.seen.size(), std::size_t{1});
  QCOMPARE(closer.seen[0].title, kTitle);
  QCOMPARE(closer.seen[0].text, QString::fromUtf8(norvane::OverflowError().what()));
  QCOMPARE(State(), before);
  QCOMPARE(m_window->focusWidget(), Entry());
  QCOMPARE(Entry()->cursorPosition(), cursor);
  QVERIFY(!Entry()->hasSelectedText());
}

void MainWindowTest::decimalCommaFromTheLocale() {
  LocaleGuard guard;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  QTest::mouseClick(Unit(3), Qt::LeftButton);
  TypeEntry("1,5");
  QTest::keyClick(Entry(), Qt::Key_Return);
  QCOMPARE(Results(), QStringList({"1610612736", "1572864", "1536", "1,5"}));
}

void MainWindowTest::printFormFailure_data() {
  QTest::addColumn<QString>("way");
  QTest::addColumn<int>("press");
  QTest::newRow("Print Form button, OK") << "click cmdPrintForm" << int(QMessageBox::Ok);
  QTest::newRow("Alt+P, Cancel") << "Alt P" << int(QMessageBox::Cancel);
  QTest::newRow("Alt+F, P, OK") << "keys F P" << int(QMessageBox::Ok);
  QTest::newRow("File menu by mouse, Cancel")
      << "mouse mnuFile mnuPrintForm" << int(QMessageBox::Cancel);
}

// These tests run without a default printer.
void MainWindowTest::printFormFailure() {
  QFETCH(QString, way);
  QFETCH(int, press);
  ConvertHundredMegabytes();
  const QStringList before = State();
  BoxCloser closer(static_cast<QMessageBox::StandardButton>(press));
  Reach(m_window, way);
  QCOMPARE(closer.seen.size(), std::size_t{1});
  QCOMPARE(closer.seen[0].title, kTitle);
  QCOMPARE(closer.seen[0].text, QStringLiteral("There has been an error printing this form."));
  QCOMPARE(int(closer.seen[0].buttons), int(QMessageBox::Ok | QMessageBox::Cancel));
  QCOMPARE(State(), before);
  QVERIFY(Window("frmMain"));
}

void MainWindowTest::instructions_data() {
  QTest::addColumn<QString>("way");
  QTest::newRow("Alt+H, I") << "keys H I";
  QTest::newRow("Help menu by mouse") << "mouse mnuHelp mnuInstructions";
}

void MainWindowTest::instructions() {
  QFETCH(QString, way);
  const QStringList before = State();
  BoxCloser closer;
  Reach(m_window, way);
  QCOMPARE(closer.seen.size(), std::size_t{1});
  QCOMPARE(closer.seen[0].title, kTitle);
  QCOMPARE(
      closer.seen[0].text,
      QStringLiteral(
          "To use the Norvane, simply add a numberical value in the ENTER NUMBER TO CONVERT box."
          " Select the appropriate criteria you wish to convert, byte, kilobyte, megabyte or "
          "gigabyte."
          " Next, click the Calculate button to view the results."
          " As an example, if you wanted to see how many bytes, kilobytes and gigabytess were in "
          "100 megabytes,"
          " simply type 100 in the ENTER NUMBER TO CONVERT field and select MEGABYTES in the "
          "CRITERIA section,"
          " then click CALCULATE.  View the results in the RESULTS section."));
  QCOMPARE(int(closer.seen[0].buttons), int(QMessageBox::Ok));
  QCOMPARE(State(), before);
}

void MainWindowTest::closeAndExitEndTheProgram_data() {
  QTest::addColumn<QString>("way");
  QTest::addColumn<bool>("ended");  // by End, not by unloading the last window
  QTest::newRow("Close button") << "click cmdClose" << false;
  QTest::newRow("Alt+C") << "Alt C" << false;
  QTest::newRow("title bar close") << "close" << false;
  QTest::newRow("Alt+F, E") << "keys F E" << true;
  QTest::newRow("File, Exit by mouse") << "mouse mnuFile mnuExit" << true;
}

void MainWindowTest::closeAndExitEndTheProgram() {
  QFETCH(QString, way);
  QFETCH(bool, ended);
  auto& main = m_rt->Instance<norvane::frmMain>();
  QTimer::singleShot(0, m_window, [&] { Reach(m_window, way); });
  QTimer guard;  // should the command not end the program, end it so that the test can fail
  guard.setSingleShot(true);
  connect(&guard, &QTimer::timeout, [&] { m_rt->End(); });
  guard.start(5000);
  QCOMPARE(m_rt->Run(), 0);
  QVERIFY(guard.isActive());
  QVERIFY(!main.Loaded());
  QCOMPARE(m_rt->Ended(), ended);
  QVERIFY(!Window("frmMain"));
}

QTEST_MAIN(MainWindowTest)
#include "tst_frmMain.moc"
