// The floor of the Windows program: a bare Win32 program with the same window, one window
// class and a plain message loop.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <iterator>

#include "controls.h"

namespace {

// The rows are ASCII.
struct Wide {
  explicit Wide(const char* text) {
    int i = 0;
    for (; text[i] && i < 63; ++i) chars[i] = static_cast<wchar_t>(text[i]);
    chars[i] = L'\0';
  }
  wchar_t chars[64];
};

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

template <std::size_t N>
void AddMenu(HMENU bar, const char* const (&rows)[N], UINT& id) {
  HMENU menu = CreatePopupMenu();
  for (std::size_t i = 1; i < N; ++i) AppendMenuW(menu, MF_STRING, id++, Wide(rows[i]).chars);
  AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(menu), Wide(rows[0]).chars);
}

HFONT MakeFont(const wchar_t* face, int pixels) {
  LOGFONTW font{};
  font.lfHeight = -pixels;
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
  return CreateFontIndirectW(&font);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = L"Floor";
  RegisterClassExW(&windowClass);

  HMENU bar = CreateMenu();
  UINT id = 100;
  AddMenu(bar, bare::kFileMenu, id);
  AddMenu(bar, bare::kHelpMenu, id);
  RECT frame{0, 0, bare::kClientWidth, bare::kClientHeight};
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, TRUE, 0);
  HWND window = CreateWindowExW(0, L"Floor", L"Win32 floor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                nullptr, bar, instance, nullptr);

  HFONT boxFont = MakeFont(L"MS Sans Serif", 13);
  HFONT dialogFont = MakeFont(L"MS Shell Dlg", 11);
  int child = 1000;
  for (const bare::Control& row : bare::kControls) {
    const wchar_t* kind = L"BUTTON";
    DWORD style = WS_CHILD | WS_VISIBLE, exStyle = 0;
    switch (row.kind) {
      case bare::Kind::Entry:
        kind = L"EDIT";
        style |= WS_TABSTOP | ES_AUTOHSCROLL;
        exStyle = WS_EX_CLIENTEDGE;
        break;
      case bare::Kind::Frame:
        style |= BS_GROUPBOX;
        break;
      case bare::Kind::Button:
        style |= WS_TABSTOP | BS_PUSHBUTTON;
        break;
      case bare::Kind::Option:
        style |= BS_AUTORADIOBUTTON;
        break;
      case bare::Kind::Label:
        kind = L"STATIC";
        break;
    }
    HWND control = CreateWindowExW(
        exStyle, kind, Wide(row.text).chars, style, row.x, row.y, row.width, row.height, window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(child++)), instance, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(row.boxFont ? boxFont : dialogFont),
                 FALSE);
  }
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  DeleteObject(boxFont);
  DeleteObject(dialogFont);
  return 0;
}
