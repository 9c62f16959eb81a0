// PrintForm for real: with no default printer, and on a CUPS PDF printer
// (run under scripts/cups-session.sh, which says where the PDFs land).
#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "app/qt/qtruntime.h"
#include "tests/qt/test_forms.h"

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

QTEST_MAIN(PrintTest)
#include "tst_print.moc"
