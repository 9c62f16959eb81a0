// Printing one window's image on the default printer.
#pragma once

#include <windows.h>
// After windows.h, which commdlg.h needs.
#include <commdlg.h>

namespace norvane::win32 {

// Releases what a print job holds, however it ends.
struct PrinterHandles {
  PRINTDLGW dialog{};
  bool started = false;
  ~PrinterHandles() {
    if (dialog.hDC) {
      if (started) AbortDoc(dialog.hDC);
      DeleteDC(dialog.hDC);
    }
    if (dialog.hDevMode) GlobalFree(dialog.hDevMode);
    if (dialog.hDevNames) GlobalFree(dialog.hDevNames);
  }
};

}  // namespace norvane::win32
