// Drives a running Norvane.exe from a second process in the same Wine
// session, the way a person would: real keys and mouse input through
// SendInput, and reading what the windows show.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace norvane::e2e {

using namespace std::chrono_literals;

// Polls `condition` until it holds or `timeout` passes; returns its last value.
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 10s);

std::wstring TextOf(HWND window);
std::wstring ClassOf(HWND window);
// The window's rectangle in the client coordinates of `parent`.
RECT RectIn(HWND window, HWND parent);

// Puts text on the clipboard, as copying it from another program would.
bool SetClipboardText(std::wstring_view text);

// Keys pressed together, the last one tapped while the others are held.
void Press(std::initializer_list<WORD> keys);
void Type(std::wstring_view text);
void ClickAt(HWND window);                    // a left click in the middle of the window
void MoveMouseTo(HWND window, int x, int y);  // client coordinates of `window`
// Input through the X server, as a person's keyboard and mouse give it: runs xdotool with
// these arguments and waits until it has ended. False when it could not be run.
bool XInput(const std::wstring& arguments);
// The X arguments of a left click in the middle of the window.
std::wstring XClickAt(HWND window);

// The screen's dots per inch (this process is dpi-aware, as the program is).
int Dpi();
int Pixels(int twips);

// One running copy of the program; a fresh one for each test that changes state.
class Program {
 public:
  Program();   // starts it and waits until its main window has the focus in the entry box
  ~Program();  // ends it if it is still running
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  HWND Main() const { return m_main; }
  DWORD Id() const { return m_process.dwProcessId; }
  // The control of the main window whose top left corner is at these twips.
  HWND ControlAt(int left, int top) const;
  // Top-level windows of the program, visible ones only.
  std::vector<HWND> Windows() const;
  HWND FindWindowTitled(std::wstring_view title) const;
  HWND MessageBoxWindow() const;  // the open message box, or nullptr
  HWND Focus() const;
  // The files of the modules loaded in its process, full paths in lower case.
  std::vector<std::wstring> Modules() const;
  bool Loaded(std::wstring_view file) const;  // a module of this file name, in lower case
  bool WaitForExit(std::chrono::milliseconds timeout = 10s) const;
  bool Running() const;

 private:
  PROCESS_INFORMATION m_process{};
  HWND m_main = nullptr;
};

// What an open message box shows.
struct MessageBoxContents {
  std::wstring caption;
  std::wstring text;
  std::vector<std::wstring> buttons;
};
MessageBoxContents Read(HWND box);
// Presses the button with this text and waits until the box has gone.
bool PressButton(HWND box, std::wstring_view button);

std::wstring ExePath();

}  // namespace norvane::e2e
