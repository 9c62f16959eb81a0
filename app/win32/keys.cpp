#include "app/win32/keys.h"

#include "app/win32/form_peer.h"
#include "app/win32/runtime.h"

namespace norvane::win32 {

int ShiftState() {
  int shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= rt::vbShiftMask;
  if (GetKeyState(VK_CONTROL) < 0) shift |= rt::vbCtrlMask;
  if (GetKeyState(VK_MENU) < 0) shift |= rt::vbAltMask;
  return shift;
}

bool FormPeer::PreviewKey(const MSG& message) {
  const Child* child = Find(message.hwnd);
  if (!child) return true;
  const HWND window = message.hwnd;
  int keyCode = static_cast<int>(message.wParam);
  m_runtime.RaiseKeyDown(m_form, child->row->name, child->row->index, keyCode, ShiftState());
  // The handler may have unloaded this window: only locals from here on.
  return keyCode != 0 && IsWindow(window);
}

}  // namespace norvane::win32
