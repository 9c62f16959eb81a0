// Start-up of the native Windows program: the runtime, then frmMain as the first window.
#include <windows.h>

#include "app/win32/runtime.h"
#include "ui/main/frmMain.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  norvane::win32::Win32Runtime runtime(instance);
  runtime.Show(runtime.Instance<norvane::frmMain>());
  return runtime.Run();
}
