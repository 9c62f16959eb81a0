// Start-up of the native Windows program: the runtime, then frmMain as the first window.
#include <objbase.h>
#include <windows.h>

#include "app/win32/runtime.h"
#include "ui/main/frmMain.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // The controls' accessible objects reach screen readers in other processes through COM.
  const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  int code = 0;
  {
    norvane::win32::Win32Runtime runtime(instance);
    runtime.Show(runtime.Instance<norvane::frmMain>());
    code = runtime.Run();
  }
  if (com) CoUninitialize();
  return code;
}
