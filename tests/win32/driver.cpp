#include "tests/win32/driver.h"

#include <psapi.h>

#include <cstdlib>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace norvane::e2e {
namespace {

// Positions are compared in real pixels, as the program lays itself out.
const bool kDpiAware = SetProcessDPIAware() != FALSE;

void SendKey(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof input);
}

void SendMouse(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

struct WindowSearch {
  DWORD process;
  std::vector<HWND> found;
};

// Window callbacks are stdcall on i686: a plain function, not a lambda.
BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<WindowSearch*>(parameter);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == search->process && IsWindowVisible(window)) search->found.push_back(window);
  return TRUE;
}

}  // namespace

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return condition();
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

std::wstring TextOf(HWND window) {
  // WM_GETTEXT, unlike GetWindowText, reads another process's controls.
  const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const auto copied = SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(text.size()),
                                   reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(copied));
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

RECT RectIn(HWND window, HWND parent) {
  RECT rect;
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

bool SetClipboardText(std::wstring_view text) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  if (!memory) return false;
  auto* copy = static_cast<wchar_t*>(GlobalLock(memory));
  text.copy(copy, text.size());
  copy[text.size()] = L'\0';
  GlobalUnlock(memory);
  // Another program may hold the clipboard for a moment.
  if (!WaitFor([] { return OpenClipboard(nullptr) != FALSE; })) {
    GlobalFree(memory);
    return false;
  }
  EmptyClipboard();
  const bool set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  CloseClipboard();
  if (!set) GlobalFree(memory);
  return set;
}

void Press(std::initializer_list<WORD> keys) {
  for (WORD key : keys) SendKey(key, false);
  for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) SendKey(*key, true);
}

void Type(std::wstring_view text) {
  for (wchar_t c : text) {
    const SHORT scan = VkKeyScanW(c);
    const auto key = static_cast<WORD>(LOBYTE(scan));
    if (HIBYTE(scan) & 1) {
      Press({VK_SHIFT, key});
    } else {
      Press({key});
    }
  }
}

void ClickAt(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  // Every event carries the place: after a bare pointer warp, a late report of where the
  // pointer was can move it back under load, and the click lands on the control before.
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  const auto normal = [](int pixel, int size) { return (pixel * 65536 + size - 1) / size; };
  INPUT inputs[3] = {};
  for (INPUT& input : inputs) {
    input.type = INPUT_MOUSE;
    input.mi.dx = normal((rect.left + rect.right) / 2, width);
    input.mi.dy = normal((rect.top + rect.bottom) / 2, height);
    input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  }
  inputs[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
  inputs[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
  SendInput(3, inputs, sizeof(INPUT));
}

void MoveMouseTo(HWND window, int x, int y) {
  POINT point{x, y};
  ClientToScreen(window, &point);
  SetCursorPos(point.x - 1, point.y - 1);
  SendMouse(MOUSEEVENTF_MOVE);  // a real move, which tooltips watch for
  SetCursorPos(point.x, point.y);
  SendMouse(MOUSEEVENTF_MOVE);
}

bool XInput(const std::wstring& arguments) {
  // Wine starts a Unix program but gives no handle to wait on: it leaves a mark when done.
  static int runs = 0;
  const std::wstring mark = L"/tmp/norvane-xinput-" + std::to_wstring(GetCurrentProcessId()) +
                            L"-" + std::to_wstring(++runs);
  std::wstring command = L"/bin/sh -c \"xdotool " + arguments + L" && : > " + mark + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  if (process.hThread) CloseHandle(process.hThread);
  if (process.hProcess) CloseHandle(process.hProcess);
  const std::wstring path = L"Z:" + mark;
  const bool done =
      WaitFor([&] { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; });
  DeleteFileW(path.c_str());
  return done;
}

std::wstring XClickAt(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  return L"mousemove " + std::to_wstring((rect.left + rect.right) / 2) + L" " +
         std::to_wstring((rect.top + rect.bottom) / 2) + L" click 1";
}

int Dpi() {
  (void)kDpiAware;
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

int Pixels(int twips) { return MulDiv(twips, Dpi(), 1440); }

std::wstring ExePath() {
  const char* path = std::getenv("NORVANE_EXE");
  if (!path) throw std::runtime_error("NORVANE_EXE names the program to test");
  std::wstring wide;
  for (const char* c = path; *c; ++c) wide += static_cast<wchar_t>(*c);
  return wide;
}

Program::Program() {
  std::wstring command = L"\"" + ExePath() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &m_process)) {
    throw std::runtime_error("the program did not start");
  }
  WaitForInputIdle(m_process.hProcess, 10000);
  WaitFor([this] {
    for (HWND window : Windows()) {
      if (ClassOf(window) == L"NorvaneForm" && TextOf(window) == L"Norvane") m_main = window;
    }
    return m_main != nullptr;
  });
  if (!m_main) throw std::runtime_error("the main window did not appear");
  // Input goes where the focus is: wait until the window has it.
  WaitFor([this] {
    if (GetForegroundWindow() != m_main) SetForegroundWindow(m_main);
    return GetForegroundWindow() == m_main && Focus() != nullptr;
  });
}

Program::~Program() {
  if (Running()) {
    TerminateProcess(m_process.hProcess, 1);
    WaitForSingleObject(m_process.hProcess, 10000);
  }
  CloseHandle(m_process.hThread);
  CloseHandle(m_process.hProcess);
}

HWND Program::ControlAt(int left, int top) const {
  for (HWND child = GetWindow(m_main, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const RECT rect = RectIn(child, m_main);
    if (rect.left == Pixels(left) && rect.top == Pixels(top)) return child;
  }
  return nullptr;
}

std::vector<HWND> Program::Windows() const {
  WindowSearch search{m_process.dwProcessId, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND Program::FindWindowTitled(std::wstring_view title) const {
  for (HWND window : Windows()) {
    if (TextOf(window) == title) return window;
  }
  return nullptr;
}

HWND Program::MessageBoxWindow() const {
  for (HWND window : Windows()) {
    if (ClassOf(window) == L"#32770") return window;
  }
  return nullptr;
}

HWND Program::Focus() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(m_process.dwThreadId, &info)) return nullptr;
  return info.hwndFocus;
}

std::vector<std::wstring> Program::Modules() const {
  std::vector<std::wstring> files;
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, Id());
  if (!process) return files;
  HMODULE modules[512];
  DWORD bytes = 0;
  if (EnumProcessModules(process, modules, sizeof modules, &bytes)) {
    for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < std::size(modules); ++i) {
      wchar_t path[MAX_PATH] = {};
      GetModuleFileNameExW(process, modules[i], path, MAX_PATH);
      CharLowerW(path);
      files.emplace_back(path);
    }
  }
  CloseHandle(process);
  return files;
}

bool Program::Loaded(std::wstring_view file) const {
  for (const std::wstring& path : Modules()) {
    if (path.size() > file.size() && path.ends_with(file) &&
        path[path.size() - file.size() - 1] == L'\\') {
      return true;
    }
  }
  return false;
}

bool Program::WaitForExit(std::chrono::milliseconds timeout) const {
  return WaitForSingleObject(m_process.hProcess, static_cast<DWORD>(timeout.count())) ==
         WAIT_OBJECT_0;
}

bool Program::Running() const { return WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT; }

MessageBoxContents Read(HWND box) {
  MessageBoxContents contents{TextOf(box), {}, {}};
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    const std::wstring kind = ClassOf(child);
    if (CompareStringOrdinal(kind.c_str(), -1, L"Button", -1, TRUE) == CSTR_EQUAL) {
      std::wstring caption = TextOf(child);
      std::erase(caption, L'&');
      contents.buttons.push_back(caption);
    } else if (GetDlgCtrlID(child) == 0xFFFF) {  // the message text of a message box
      contents.text = TextOf(child);
    }
  }
  return contents;
}

bool PressButton(HWND box, std::wstring_view button) {
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    std::wstring caption = TextOf(child);
    std::erase(caption, L'&');
    if (caption == button && IsWindowVisible(child)) {
      PostMessageW(child, BM_CLICK, 0, 0);
      return WaitFor([box] { return !IsWindow(box) || !IsWindowVisible(box); });
    }
  }
  return false;
}

}  // namespace norvane::e2e
