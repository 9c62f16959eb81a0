// Start-up of the native Windows program: the runtime, then frmMain as the first window.
#include <windows.h>

#include "app/win32/accessible.h"
#include "app/win32/runtime.h"
#include "ui/main/frmMain.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int code = 0;
  {
    norvane::win32::Win32Runtime runtime(instance);
    runtime.Show(runtime.Instance<norvane::frmMain>());
    code = runtime.Run();
  }
  norvane::win32::EndAccessibility();
  return code;
}
