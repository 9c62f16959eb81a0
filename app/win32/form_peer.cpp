#include "app/win32/form_peer.h"

#include <algorithm>

#include "app/icon.h"
#include "app/win32/menus.h"
#include "app/win32/picture.h"
#include "app/win32/runtime.h"
#include "app/win32/text.h"
#include "app/win32/window.h"

namespace norvane::win32 {
namespace {

// A window's own name stands for the window itself (its Caption).
bool IsWindowItself(const rt::FormLayout& layout, std::string_view control, int index) {
  return control == layout.name && index == rt::kNoIndex;
}

}  // namespace

FormPeer::FormPeer(Win32Runtime& runtime, rt::Form& form) : m_runtime(runtime), m_form(form) {
  const rt::FormLayout& layout = form.Layout();
  const bool fixed = layout.border == rt::BorderStyle::FixedDialog;
  const DWORD style = fixed ? WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU : WS_OVERLAPPEDWINDOW;
  const DWORD exStyle = fixed ? WS_EX_DLGMODALFRAME : 0;

  HMENU menu = MenuBar(layout, m_menus);

  RECT frame{0, 0, m_runtime.Pixels(layout.clientWidth), m_runtime.Pixels(layout.clientHeight)};
  AdjustWindowRectEx(&frame, style, menu != nullptr, exStyle);
  CreateWindowExW(exStyle, kFormClass, Wide(layout.caption).c_str(), style, CW_USEDEFAULT,
                  CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr, menu,
                  m_runtime.Module(), this);
  if (!m_window)
    throw rt::Error("The window " + std::string(layout.name) + " could not be created.");
  try {
    Build();
  } catch (...) {
    SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
    DestroyWindow(m_window);
    for (auto& [row, font] : m_fonts) DeleteObject(font);
    for (HICON icon : m_icons) DestroyIcon(icon);
    throw;
  }
  m_runtime.Register(this);
}

void FormPeer::Build() {
  const rt::FormLayout& layout = m_form.Layout();
  // The application icon comes with the window class.
  if (layout.icon && layout.icon != &kApplicationIcon) {
    const int sizes[] = {GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CXSMICON)};
    const WPARAM kinds[] = {ICON_BIG, ICON_SMALL};
    for (int i = 0; i < 2; ++i) {
      if (HICON icon = MakeIcon(*layout.icon, sizes[i])) {
        m_icons.push_back(icon);
        SendMessageW(m_window, WM_SETICON, kinds[i], reinterpret_cast<LPARAM>(icon));
      }
    }
  }
  CreateControls();
  PrepareTexts();
  FitClientArea();
  m_focus = FirstTabStop();
}

FormPeer::~FormPeer() {
  m_runtime.Forget(this);
  SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
  // Re-enabled before this window goes, so that activation returns to them.
  for (HWND window : m_disabled) {
    if (IsWindow(window)) EnableWindow(window, TRUE);
  }
  DestroyWindow(m_window);
  for (auto& [row, font] : m_fonts) DeleteObject(font);
  for (HICON icon : m_icons) DestroyIcon(icon);
}

void FormPeer::FitClientArea() {
  const rt::FormLayout& layout = m_form.Layout();
  const int width = m_runtime.Pixels(layout.clientWidth);
  const int height = m_runtime.Pixels(layout.clientHeight);
  // A menu bar that wraps makes the first estimate short; measure and correct once.
  RECT client, frame;
  GetClientRect(m_window, &client);
  GetWindowRect(m_window, &frame);
  const int dx = width - client.right;
  const int dy = height - client.bottom;
  if (dx != 0 || dy != 0) {
    SetWindowPos(m_window, nullptr, 0, 0, frame.right - frame.left + dx,
                 frame.bottom - frame.top + dy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

const FormPeer::Child* FormPeer::Find(HWND window) const {
  for (const Child& child : m_children) {
    if (child.window == window) return &child;
  }
  return nullptr;
}

HWND FormPeer::FindControl(std::string_view control, int index) const {
  for (const Child& child : m_children) {
    if (child.row->name == control && child.row->index == index) return child.window;
  }
  return nullptr;
}

HWND FormPeer::Control(std::string_view control, int index) const {
  if (HWND window = FindControl(control, index)) return window;
  throw rt::Error("There is no control " + std::string(control) + " on " +
                  std::string(m_form.Layout().name) + ".");
}

std::string FormPeer::Text(std::string_view control, int index) const {
  HWND window =
      IsWindowItself(m_form.Layout(), control, index) ? m_window : Control(control, index);
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return Utf8(text);
}

void FormPeer::SetText(std::string_view control, int index, std::string_view text) {
  HWND window =
      IsWindowItself(m_form.Layout(), control, index) ? m_window : Control(control, index);
  if (!SetWindowTextW(window, Wide(text).c_str())) {
    throw rt::Error("The text of " + std::string(control) + " could not be set.");
  }
  if (const Child* child = Find(window)) FitText(*child);
}

void FormPeer::SetSelStart(std::string_view control, int index, int start) {
  if (start < 0) throw rt::Error("Invalid property value");
  HWND box = Control(control, index);
  start = std::min(start, GetWindowTextLengthW(box));
  SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(start), start);
}

void FormPeer::SetSelLength(std::string_view control, int index, int length) {
  if (length < 0) throw rt::Error("Invalid property value");
  HWND box = Control(control, index);
  DWORD start = 0, end = 0;
  SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const int from = static_cast<int>(std::min(start, end));
  const int to = std::min(from + length, GetWindowTextLengthW(box));
  SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(from), to);
}

void FormPeer::SetFocus(std::string_view control, int index) {
  HWND window = Control(control, index);
  m_focus = window;
  if (IsWindowVisible(m_window)) ::SetFocus(window);
}

bool FormPeer::Value(std::string_view control, int index) const {
  return SendMessageW(Control(control, index), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void FormPeer::SetValue(std::string_view control, int index, bool value) {
  HWND button = Control(control, index);
  const Child* chosen = Find(button);
  if (value && chosen->row->kind == rt::ControlKind::OptionButton) {
    for (const Child& child : m_children) {
      if (child.row->kind == rt::ControlKind::OptionButton &&
          child.row->container == chosen->row->container && child.window != button) {
        SendMessageW(child.window, BM_SETCHECK, BST_UNCHECKED, 0);
      }
    }
  }
  SendMessageW(button, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
  if (chosen->row->kind == rt::ControlKind::OptionButton) UpdateTabStops(chosen->row->container);
}

void FormPeer::Show(rt::Modality modality) {
  if (modality == rt::Modality::Modal && !IsWindowVisible(m_window)) {
    HWND owner = GetActiveWindow();
    for (FormPeer* peer : m_runtime.Peers()) {
      if (peer != this && IsWindowEnabled(peer->Window())) {
        EnableWindow(peer->Window(), FALSE);
        m_disabled.push_back(peer->Window());
      }
    }
    if (owner && owner != m_window) {
      // Owned, it stays above the window it came from, centred on it.
      SetWindowLongPtrW(m_window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
      RECT outer, own;
      GetWindowRect(owner, &outer);
      GetWindowRect(m_window, &own);
      const int width = own.right - own.left;
      const int height = own.bottom - own.top;
      SetWindowPos(m_window, nullptr, (outer.left + outer.right - width) / 2,
                   (outer.top + outer.bottom - height) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  ShowWindow(m_window, SW_SHOW);
  SetForegroundWindow(m_window);
  if (m_focus) ::SetFocus(m_focus);
  UpdateWindow(m_window);
}

void FormPeer::Click(std::string_view control, int index) {
  m_runtime.RaiseClick(m_form, control, index);
}

}  // namespace norvane::win32
