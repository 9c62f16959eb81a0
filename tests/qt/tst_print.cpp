// PrintForm for real: with no default printer, and on a CUPS PDF printer
// (run under scripts/cups-session.sh, which says where the PDFs land) that
// prints, refuses, has gone or is paused.
#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <memory>

#include "app/qt/runtime.h"
#include "tests/qt/test_forms.h"
#include "ui/main/frmMain.h"

using norvane::qt::QtRuntime;
using norvane::test::BoxCloser;
using norvane::test::Control;
using norvane::test::frmTest;
using norvane::test::Window;
namespace rt = norvane::rt;

namespace {

QString Run(const QString& program, const QStringList& arguments, int* exitCode = nullptr) {
  QProcess process;
  process.start(program, arguments);
  process.waitForFinished(30000);
  if (exitCode) *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  return QString::fromLocal8Bit(process.readAllStandardOutput());
}

QStringList Pdfs(const QString& dir) { return QDir(dir).entryList({"*.pdf"}, QDir::Files); }

bool QueueIdle() {
  int status = 0;
  return Run("lpstat", {"-o"}, &status).trimmed().isEmpty() && status == 0;
}

// Waits until no job is pending and the folder holds `count` PDFs.
bool WaitForPdfs(const QString& dir, qsizetype count) {
  QDeadlineTimer deadline(60000);
  while (!deadline.hasExpired()) {
    if (QueueIdle() && Pdfs(dir).size() == count) return true;
    QTest::qWait(50);
  }
  return false;
}

// Runs a CUPS administration command; an empty string when it worked.
QString Admin(const QString& program, const QStringList& arguments) {
  int status = 0;
  Run(program, arguments, &status);
  return status == 0 ? QString() : program + ' ' + arguments.join(' ') + " failed";
}

}  // namespace

class PrintTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { m_rt = std::make_unique<QtRuntime>(); }
  void cleanup() {
    m_rt.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
  }
  void noDefaultPrinterRaisesError();
  void printsTheWindowImageAtItsPhysicalSize();
  void everyOutcomeReachesTheUser_data();
  void everyOutcomeReachesTheUser();

 private:
  std::unique_ptr<QtRuntime> m_rt;
};

void PrintTest::noDefaultPrinterRaisesError() {
  auto& form = m_rt->Instance<frmTest>();
  m_rt->Show(form);
  QString error;
  try {
    m_rt->PrintForm(form);
  } catch (const rt::Error& e) {
    error = QString::fromUtf8(e.what());
  }
  QCOMPARE(error, QStringLiteral("There is no default printer, so the window cannot be printed."));

  // Untrapped in a handler, the same error reaches the user in a box, and the window stays.
  form.onClick = [&](std::string_view, int) { m_rt->PrintForm(form); };
  BoxCloser closer;
  QTest::mouseClick(Control<QPushButton>(Window("frmTest"), "cmdGo"), Qt::LeftButton);
  QCOMPARE(closer.seen.size(), std::size_t{1});
  QCOMPARE(closer.seen[0].title, QStringLiteral("Pimbrel's Norvane"));
  QCOMPARE(closer.seen[0].text, error);
  QVERIFY(form.Loaded() && Window("frmTest")->isVisible());

  // The main window traps it and says what it always says of a failed print.
  m_rt->Show(m_rt->Instance<norvane::frmMain>());
  QTest::mouseClick(Control<QPushButton>(Window("frmMain"), "cmdPrintForm"), Qt::LeftButton);
  QCOMPARE(closer.seen.size(), std::size_t{2});
  QCOMPARE(closer.seen[1].text, QStringLiteral("There has been an error printing this form."));
  QCOMPARE(closer.seen[1].buttons, QMessageBox::Ok | QMessageBox::Cancel);
}

void PrintTest::printsTheWindowImageAtItsPhysicalSize() {
  const QString dir = qEnvironmentVariable("NORVANE_PDF_DIR");
  QVERIFY2(!dir.isEmpty(), "run under scripts/cups-session.sh");
  auto& form = m_rt->Instance<frmTest>();
  m_rt->Show(form);
  QVERIFY(QTest::qWaitForWindowExposed(Window("frmTest")));
  m_rt->PrintForm(form);

  // The PDF shows up at once but is complete only when no job is pending.
  QString pdf;
  QDeadlineTimer deadline(60000);
  while (pdf.isEmpty() && !deadline.hasExpired()) {
    int status = 0;
    const bool idle = Run("lpstat", {"-o"}, &status).trimmed().isEmpty() && status == 0;
    const QStringList files = QDir(dir).entryList({"*.pdf"}, QDir::Files);
    if (idle && !files.isEmpty()) {
      pdf = dir + '/' + files.first();
    } else {
      QTest::qWait(50);
    }
  }
  QVERIFY2(!pdf.isEmpty(), "no finished PDF from the print queue");
  QVERIFY(Run("pdfinfo", {pdf}).contains(QRegularExpression("Pages:\\s+1\\n")));

  // page num type width height color comp bpc enc interp object ID x-ppi y-ppi size ratio
  QStringList images;
  for (const QString& line : Run("pdfimages", {"-list", pdf}).split('\n').mid(2)) {
    const QStringList f = line.simplified().split(' ');
    if (f.size() >= 14 && f[2] == "image") images << f[3] + 'x' + f[4] + '@' + f[12] + 'x' + f[13];
  }
  // 416 x 290 pixels printed at 96 per inch: 4.33 by 3.02 inches, as on the screen.
  QCOMPARE(images, QStringList{"416x290@96x96"});
}

void PrintTest::everyOutcomeReachesTheUser_data() {
  QTest::addColumn<QString>("state");
  QTest::addColumn<bool>("failed");
  QTest::newRow("printed") << "accepting" << false;
  QTest::newRow("refused") << "rejecting" << true;
  QTest::newRow("queue gone") << "deleted" << true;
  QTest::newRow("paused") << "disabled" << false;  // held, and printed once resumed
}

void PrintTest::everyOutcomeReachesTheUser() {
  QFETCH(QString, state);
  QFETCH(bool, failed);
  const QString dir = qEnvironmentVariable("NORVANE_PDF_DIR");
  const QString queue = qEnvironmentVariable("NORVANE_PRINTER");
  QVERIFY2(!dir.isEmpty() && !queue.isEmpty(), "run under scripts/cups-session.sh");
  QVERIFY(WaitForPdfs(dir, Pdfs(dir).size()));
  const qsizetype before = Pdfs(dir).size();

  // Each state is undone whatever the outcome, for the rows after it.
  const auto restore = qScopeGuard([&] {
    Admin("cupsaccept", {queue});
    Admin("cupsenable", {queue});
    Admin("lpadmin", {"-d", queue});
  });
  if (state == "rejecting") QCOMPARE(Admin("cupsreject", {queue}), QString());
  if (state == "disabled") QCOMPARE(Admin("cupsdisable", {queue}), QString());
  if (state == "deleted") {
    // The default printer is a queue that has since been removed.
    const QString gone = queue + "gone";
    QCOMPARE(Admin("lpadmin", {"-p", gone, "-E", "-v", "cups-pdf:/" + gone, "-m", "raw"}),
             QString());
    QCOMPARE(Admin("lpadmin", {"-d", gone}), QString());
    QCOMPARE(Admin("lpadmin", {"-x", gone}), QString());
  }

  auto& main = m_rt->Instance<norvane::frmMain>();
  m_rt->Show(main);
  QWidget* window = Window("frmMain");
  QVERIFY(QTest::qWaitForWindowExposed(window));
  BoxCloser closer(QMessageBox::Cancel);
  QTest::mouseClick(Control<QPushButton>(window, "cmdPrintForm"), Qt::LeftButton);

  QStringList messages;
  for (const auto& box : closer.seen) {
    messages << box.text;
    QCOMPARE(box.buttons, QMessageBox::Ok | QMessageBox::Cancel);
  }
  QCOMPARE(messages,
           failed ? QStringList{"There has been an error printing this form."} : QStringList{});
  if (state == "disabled") {
    QVERIFY2(!QueueIdle(), "the paused queue holds the job");
    QCOMPARE(Pdfs(dir).size(), before);
    QCOMPARE(Admin("cupsenable", {queue}), QString());
  }
  QVERIFY2(WaitForPdfs(dir, failed ? before : before + 1), qPrintable(Pdfs(dir).join(' ')));
}

QTEST_MAIN(PrintTest)
#include "tst_print.moc"
