#include "app/win32/runtime.h"

#include <commctrl.h>

#include <algorithm>
#include <string_view>
#include <utility>

#include "app/icon.h"
#include "app/win32/form_peer.h"
#include "app/win32/picture.h"
#include "app/win32/text.h"
#include "app/win32/window.h"

namespace norvane::win32 {
namespace {

// MessageBoxW centres its box on the screen; a hook on this thread moves it over its owner
// when it is first activated, before the user sees it.
struct BoxPlacement {
  HHOOK hook = nullptr;
  bool placed = false;
};
thread_local BoxPlacement* t_placement = nullptr;

void CentreOverOwner(HWND box) {
  HWND owner = GetWindow(box, GW_OWNER);
  if (!owner) return;
  RECT outer, own;
  GetWindowRect(owner, &outer);
  GetWindowRect(box, &own);
  const int width = own.right - own.left;
  const int height = own.bottom - own.top;
  int x = (outer.left + outer.right - width) / 2;
  int y = (outer.top + outer.bottom - height) / 2;
  // Wholly on the owner's screen, even when the owner is partly off it.
  MONITORINFO screen{};
  screen.cbSize = sizeof screen;
  if (GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &screen)) {
    const RECT& work = screen.rcWork;
    x = std::max<int>(work.left, std::min<int>(x, work.right - width));
    y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
  }
  SetWindowPos(box, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK PlaceMessageBox(int code, WPARAM wParam, LPARAM lParam) {
  BoxPlacement* placement = t_placement;
  if (code == HCBT_ACTIVATE && placement && !placement->placed) {
    const auto box = reinterpret_cast<HWND>(wParam);
    wchar_t kind[16] = {};
    GetClassNameW(box, kind, 16);
    if (std::wstring_view(kind) == L"#32770") {
      placement->placed = true;
      CentreOverOwner(box);
    }
  }
  return CallNextHookEx(placement ? placement->hook : nullptr, code, wParam, lParam);
}

}  // namespace

Win32Runtime::Win32Runtime(HINSTANCE module) : m_module(module) {
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                      ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  HDC screen = GetDC(nullptr);
  m_dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = FormPeer::WindowProc;
  windowClass.hInstance = module;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kFormClass;
  // The application icon is every window's from its creation: the window system then takes it
  // once, rather than a default icon first and each size again as it is set.
  m_icons[0] = windowClass.hIcon = MakeIcon(kApplicationIcon, GetSystemMetrics(SM_CXICON));
  m_icons[1] = windowClass.hIconSm = MakeIcon(kApplicationIcon, GetSystemMetrics(SM_CXSMICON));
  RegisterClassExW(&windowClass);
}

// The forms, destroyed by the base class, still need this part of the runtime.
Win32Runtime::~Win32Runtime() {
  End();
  UnregisterClassW(kFormClass, m_module);
  for (HICON icon : m_icons) {
    if (icon) DestroyIcon(icon);
  }
}

void Win32Runtime::Forget(FormPeer* peer) { std::erase(m_peers, peer); }

char Win32Runtime::LocaleDecimalSeparator() const {
  wchar_t separator[4] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 4) == 2 &&
      separator[0] < 0x80) {
    return static_cast<char>(separator[0]);
  }
  return '.';
}

std::unique_ptr<rt::FormPeer> Win32Runtime::CreatePeer(rt::Form& form) {
  return std::make_unique<FormPeer>(*this, form);
}

void Win32Runtime::ShowMessageBox(std::string_view title, std::string_view prompt,
                                  rt::MsgBoxButtons buttons) {
  // Owned by the active window, so that it is modal to the program.
  HWND owner = GetActiveWindow();
  if (!owner) {
    for (FormPeer* peer : m_peers) {
      if (IsWindowVisible(peer->Window()) && IsWindowEnabled(peer->Window())) {
        owner = peer->Window();
      }
    }
  }
  UINT type = buttons == rt::MsgBoxButtons::OkCancel ? MB_OKCANCEL : MB_OK;
  if (!owner) type |= MB_TASKMODAL;
  BoxPlacement placement;
  BoxPlacement* const outer = std::exchange(t_placement, &placement);
  if (owner) {
    placement.hook = SetWindowsHookExW(WH_CBT, PlaceMessageBox, nullptr, GetCurrentThreadId());
  }
  MessageBoxW(owner, Wide(prompt).c_str(), Wide(title).c_str(), type);
  if (placement.hook) UnhookWindowsHookEx(placement.hook);
  t_placement = outer;
}

void Win32Runtime::RunUntil(const std::function<bool()>& done) {
  MSG message;
  while (!done()) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == -1) continue;
    if (got == 0) {  // the session is ending
      End();
      return;
    }
    if (!PreTranslate(message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

void Win32Runtime::Wake() { PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0); }

bool Win32Runtime::PreTranslate(MSG& message) {
  if (!message.hwnd) return false;
  const HWND root = GetAncestor(message.hwnd, GA_ROOT);
  FormPeer* peer = PeerOf(root);
  if (!peer) return false;
  if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) {
    if (!peer->PreviewKey(message)) return true;
  }
  // Tab order, option-group arrows, access keys, default and cancel buttons.
  return IsDialogMessageW(root, &message) != FALSE;
}

FormPeer* Win32Runtime::PeerOf(HWND window) const {
  const auto found = std::find_if(m_peers.begin(), m_peers.end(), [window](const FormPeer* peer) {
    return peer->Window() == window;
  });
  return found == m_peers.end() ? nullptr : *found;
}

}  // namespace norvane::win32
