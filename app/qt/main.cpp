#include <QApplication>

#include "app/qt/startup.h"
#include "ui/main/frmMain.h"

int main(int argc, char* argv[]) {
  // Qt takes its own platform options from the command line; the program reads nothing else.
  QApplication application(argc, argv);
  norvane::qt::ApplyIdentity();
  int exitCode = 0;
  {
    norvane::qt::QtRuntime runtime;
    exitCode = norvane::qt::RunProgram<norvane::frmMain>(runtime);
  }
  // Windows unloaded inside their own events are deleted later; that is now.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return exitCode;
}
