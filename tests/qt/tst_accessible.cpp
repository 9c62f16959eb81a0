// The text boxes as assistive technology reads them: the pieces of text it asks for, the
// order in which it hears of a focus, and boxes it may not change.
#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <memory>

#include "app/qt/accessible.h"
#include "app/qt/runtime.h"
#include "tests/qt/test_forms.h"

using norvane::qt::PieceOf;
using norvane::qt::QtRuntime;
using norvane::qt::Side;
using norvane::qt::TextPiece;
using norvane::test::Control;
using norvane::test::frmTest;
using norvane::test::Window;

class AccessibleTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void pieces_data();
  void pieces();
  void focusByTabIsToldBeforeTheSelection();
  void lockedBoxRefusesChanges();

 private:
  std::unique_ptr<QtRuntime> m_rt;
  QWidget* m_window = nullptr;
};

void AccessibleTest::init() {
  m_rt = std::make_unique<QtRuntime>();
  m_rt->Show(m_rt->Instance<frmTest>());
  m_window = Window("frmTest");
  QVERIFY(QTest::qWaitForWindowActive(m_window));
}

void AccessibleTest::cleanup() {
  m_rt.reset();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void AccessibleTest::pieces_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("offset");
  QTest::addColumn<int>("boundary");
  QTest::addColumn<int>("side");
  QTest::addColumn<int>("start");
  QTest::addColumn<int>("end");
  const auto row = [](const char* name, const QString& text, int offset,
                      QAccessible::TextBoundaryType boundary, Side side, int start, int end) {
    QTest::newRow(name) << text << offset << int(boundary) << int(side) << start << end;
  };
  constexpr auto kChar = QAccessible::CharBoundary, kWord = QAccessible::WordBoundary;
  constexpr auto kSentence = QAccessible::SentenceBoundary;
  const QString face = QStringLiteral("a\U0001F600b");  // a pair of surrogates
  const QString accent = QStringLiteral("e\u0301x");    // e and a combining mark
  row("character of two units", face, 1, kChar, Side::At, 1, 3);
  row("character after two units", face, 1, kChar, Side::After, 3, 4);
  row("character with its mark", accent, 0, kChar, Side::At, 0, 2);
  row("no character at the end", "12", 2, kChar, Side::At, 2, 2);
  row("word with its blanks", "12  34", 1, kWord, Side::At, 0, 4);
  row("last word at the end", "12 34", 5, kWord, Side::At, 3, 5);
  row("nothing before the first", "12 34", 2, kWord, Side::Before, 0, 0);
  row("sentence", "Ab. Cd.", 1, kSentence, Side::At, 0, 4);
  row("next sentence", "Ab. Cd.", 1, kSentence, Side::After, 4, 7);
  row("decimal point ends none", "1.5 kB", 0, kSentence, Side::At, 0, 6);
  row("line is the whole text", "Ab. Cd", 6, QAccessible::LineBoundary, Side::At, 0, 6);
  row("before the only paragraph", "Ab", 1, QAccessible::ParagraphBoundary, Side::Before, 0, 0);
  row("no boundary", "Ab", 0, QAccessible::NoBoundary, Side::At, 0, 2);
  row("past the end", "12", 3, kWord, Side::At, -1, -1);
  row("before the start", "12", -3, kChar, Side::After, -1, -1);
}

void AccessibleTest::pieces() {
  QFETCH(QString, text);
  QFETCH(int, offset);
  QFETCH(int, boundary);
  QFETCH(int, side);
  QFETCH(int, start);
  QFETCH(int, end);
  const TextPiece piece =
      PieceOf(text, offset, QAccessible::TextBoundaryType(boundary), Side(side));
  QCOMPARE(piece.start, start);
  QCOMPARE(piece.end, end);
}

// Qt tells assistive technology of a focus just after QApplication::focusChanged; a selection
// told before it makes Orca hear the caret move into the box first, and nothing of the focus.
void AccessibleTest::focusByTabIsToldBeforeTheSelection() {
  auto* entry = Control<QLineEdit>(m_window, "txtEntry");
  QWidget* result = Control(m_window, "txtResult");
  entry->setText("12 34");
  result->setFocus();
  QTRY_COMPARE(QApplication::focusWidget(), result);
  QStringList told;
  const QObject listening;
  connect(qApp, &QApplication::focusChanged, &listening, [&] { told << "focus"; });
  connect(entry, &QLineEdit::selectionChanged, &listening, [&] { told << "selection"; });
  QTest::keyClick(result, Qt::Key_Tab);
  QCOMPARE(QApplication::focusWidget(), entry);
  QCOMPARE(told, QStringList({"focus", "selection"}));
  QCOMPARE(entry->selectedText(), entry->text());
  // Offsets -1 and -2 are the end and the caret.
  QAccessibleTextInterface* text = QAccessible::queryAccessibleInterface(entry)->textInterface();
  int start = 0, end = 0;
  QCOMPARE(text->textAtOffset(-2, QAccessible::WordBoundary, &start, &end), QStringLiteral("34"));
  QCOMPARE(text->textBeforeOffset(-1, QAccessible::WordBoundary, &start, &end),
           QStringLiteral("12 "));
}

// What the user cannot change, assistive technology cannot either.
void AccessibleTest::lockedBoxRefusesChanges() {
  auto* result = Control<QLineEdit>(m_window, "txtResult");
  auto* entry = Control<QLineEdit>(m_window, "txtEntry");
  for (QLineEdit* box : {result, entry}) {
    box->setText("1024");
    QAccessibleInterface* object = QAccessible::queryAccessibleInterface(box);
    object->editableTextInterface()->insertText(0, "-");
    object->editableTextInterface()->deleteText(4, 5);
    object->setText(QAccessible::Value, object->text(QAccessible::Value) + "5");
    QCOMPARE(box->text(), box == result ? QStringLiteral("1024") : QStringLiteral("-1025"));
    QCOMPARE(object->state().readOnly, box == result);
  }
}

QTEST_MAIN(AccessibleTest)
#include "tst_accessible.moc"
