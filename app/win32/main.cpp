// Start-up of the native Windows program: the runtime, then frmMain as the first window.
#include <windows.h>
// After windows.h, which it needs.
#include <ntsecapi.h>

#include "app/win32/accessible.h"
#include "app/win32/runtime.h"
#include "ui/main/frmMain.h"

// The stack protector's guard, seeded before the runtime's own seeding, which would bring in a
// crypto provider and three more libraries at every start for the same random bytes.
extern "C" void* __stack_chk_guard;
[[gnu::constructor(101), gnu::no_stack_protector]] static void SeedStackGuard() {
  RtlGenRandom(&__stack_chk_guard, sizeof __stack_chk_guard);
}

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
