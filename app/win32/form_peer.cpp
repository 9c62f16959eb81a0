#include "app/win32/form_peer.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <utility>

#include "app/display.h"
#include "app/win32/accessible.h"
#include "app/win32/picture.h"
#include "app/win32/runtime.h"
#include "app/win32/text.h"

namespace norvane::win32 {
namespace {

constexpr int kFirstControlId = 1000;  // clear of IDOK and IDCANCEL, which keys send
constexpr int kFirstMenuId = 2000;

// A window's own name stands for the window itself (its Caption).
bool IsWindowItself(const rt::FormLayout& layout, std::string_view control, int index) {
  return control == layout.name && index == rt::kNoIndex;
}

COLORREF ToColorRef(rt::Rgb color) { return RGB(color.red, color.green, color.blue); }

struct ControlClass {
  const wchar_t* name;
  DWORD style;
  DWORD exStyle;
};

ControlClass ClassOf(const rt::ControlSpec& row, bool isDefault) {
  switch (row.kind) {
    case rt::ControlKind::TextBox: {
      DWORD style = WS_TABSTOP | ES_AUTOHSCROLL | (row.locked ? ES_READONLY : 0);
      if (row.alignment == rt::Alignment::Right) style |= ES_RIGHT;
      if (row.alignment == rt::Alignment::Center) style |= ES_CENTER;
      return {L"EDIT", style, WS_EX_CLIENTEDGE};
    }
    case rt::ControlKind::Frame:
      return {L"BUTTON", BS_GROUPBOX, 0};
    case rt::ControlKind::CommandButton:
      return {L"BUTTON",
              static_cast<DWORD>(WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON)), 0};
    case rt::ControlKind::OptionButton:
      return {L"BUTTON", BS_AUTORADIOBUTTON, 0};
    case rt::ControlKind::Label: {
      DWORD style = SS_LEFT;
      if (row.alignment == rt::Alignment::Right) style = SS_RIGHT;
      if (row.alignment == rt::Alignment::Center) style = SS_CENTER;
      return {L"STATIC", style, 0};
    }
    case rt::ControlKind::PictureBox:
      return {L"STATIC", SS_OWNERDRAW, WS_EX_CLIENTEDGE};
  }
  return {L"STATIC", 0, 0};
}

int ShiftState() {
  int shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= rt::vbShiftMask;
  if (GetKeyState(VK_CONTROL) < 0) shift |= rt::vbCtrlMask;
  if (GetKeyState(VK_MENU) < 0) shift |= rt::vbAltMask;
  return shift;
}

// Releases what a print job holds, however it ends.
struct PrinterHandles {
  PRINTDLGW dialog{};
  bool started = false;
  ~PrinterHandles() {
    if (dialog.hDC) {
      if (started) AbortDoc(dialog.hDC);
      DeleteDC(dialog.hDC);
    }
    if (dialog.hDevMode) GlobalFree(dialog.hDevMode);
    if (dialog.hDevNames) GlobalFree(dialog.hDevNames);
  }
};

}  // namespace

FormPeer::FormPeer(Win32Runtime& runtime, rt::Form& form) : m_runtime(runtime), m_form(form) {
  const rt::FormLayout& layout = form.Layout();
  const bool fixed = layout.border == rt::BorderStyle::FixedDialog;
  const DWORD style = fixed ? WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU : WS_OVERLAPPEDWINDOW;
  const DWORD exStyle = fixed ? WS_EX_DLGMODALFRAME : 0;

  HMENU menu = nullptr;
  if (!layout.menus.empty()) {
    menu = CreateMenu();
    HMENU popup = nullptr;
    for (std::size_t i = 0; i < layout.menus.size(); ++i) {
      const rt::MenuSpec& row = layout.menus[i];
      const UINT_PTR id = kFirstMenuId + m_menus.size();
      m_menus.push_back(row.name);
      const std::wstring caption = Wide(row.caption);
      const bool hasEntries = i + 1 < layout.menus.size() && layout.menus[i + 1].level > 0;
      if (row.level == 0 && hasEntries) {
        popup = CreatePopupMenu();
        AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), caption.c_str());
      } else if (row.level == 0) {
        popup = nullptr;
        AppendMenuW(menu, MF_STRING, id, caption.c_str());
      } else if (popup) {
        AppendMenuW(popup, MF_STRING, id, caption.c_str());
      }
    }
  }

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
  if (layout.icon) {
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

void FormPeer::CreateControls() {
  const rt::FormLayout& layout = m_form.Layout();
  std::vector<const rt::ControlSpec*> specs;
  for (const rt::ControlSpec& row : layout.controls) specs.push_back(&row);
  // Creation order is z-order, which is the order Tab follows.
  std::stable_sort(specs.begin(), specs.end(),
                   [](const auto* a, const auto* b) { return a->tabIndex < b->tabIndex; });

  const rt::ControlSpec* previous = nullptr;
  for (const rt::ControlSpec* row : specs) {
    int left = row->left;
    int top = row->top;
    if (!row->container.empty()) {
      if (const rt::ControlSpec* container = layout.Find(row->container)) {
        left += container->left;
        top += container->top;
      }
    }
    ControlClass kind = ClassOf(*row, row->name == layout.defaultButton);
    // An option group is the run of option buttons of one container; everything else
    // stands alone for the arrow keys.
    const bool continuesGroup = row->kind == rt::ControlKind::OptionButton && previous &&
                                previous->kind == rt::ControlKind::OptionButton &&
                                previous->container == row->container;
    if (!continuesGroup) kind.style |= WS_GROUP;
    const int id = kFirstControlId + static_cast<int>(m_children.size());
    const RECT rect{m_runtime.Pixels(left), m_runtime.Pixels(top),
                    m_runtime.Pixels(left + row->width), m_runtime.Pixels(top + row->height)};
    HWND window = CreateWindowExW(
        kind.exStyle, kind.name, Wide(row->text).c_str(), WS_CHILD | WS_VISIBLE | kind.style,
        rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, m_window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), m_runtime.Module(), nullptr);
    if (!window) {
      throw rt::Error("The control " + std::string(row->name) + " could not be created.");
    }
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(Font(row->font)), FALSE);
    m_children.push_back({row, window});
    if (!row->toolTip.empty()) AddToolTip(m_children.back(), rect);
    previous = row;
  }
  for (const Child& child : m_children) {
    if (child.row->kind == rt::ControlKind::OptionButton) UpdateTabStops(child.row->container);
  }
  ExposeNames();
}

void FormPeer::ExposeNames() {
  // A client that reads a box's name from the window names it after the label just before it
  // in the child order; Tab skips labels, so moving each label there keeps the Tab order.
  for (const Child& child : m_children) {
    const Child* label = LabelOf(child);
    HWND before = GetWindow(child.window, GW_HWNDPREV);
    if (label && before != label->window) {
      SetWindowPos(label->window, before ? before : HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
      KeepLabelPixels(label->window, child.window);
    }
    // The control itself answers where the child order cannot: a description, or a name
    // that no label says.
    if (!child.row->toolTip.empty() || (!child.row->accessibleName.empty() && !label)) {
      AnswerWithRow(child.window, *child.row);
    }
  }
}

// A label that overlaps its box used to lie below it and so painted over it last. Above it now,
// it keeps those pixels if the box leaves out what lies above it: unless something else above
// (a frame that holds the box) would hide the box too.
void FormPeer::KeepLabelPixels(HWND label, HWND box) {
  RECT boxRect, other, overlap;
  GetWindowRect(box, &boxRect);
  GetWindowRect(label, &other);
  if (!IntersectRect(&overlap, &boxRect, &other)) return;
  for (HWND above = GetWindow(box, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
    GetWindowRect(above, &other);
    if (above != label && IntersectRect(&overlap, &boxRect, &other)) return;
  }
  SetWindowLongW(box, GWL_STYLE, GetWindowLongW(box, GWL_STYLE) | WS_CLIPSIBLINGS);
}

const FormPeer::Child* FormPeer::LabelOf(const Child& box) const {
  if (box.row->kind != rt::ControlKind::TextBox && box.row->kind != rt::ControlKind::PictureBox) {
    return nullptr;
  }
  const std::string name = rt::AccessibleName(*box.row);
  if (name.empty()) return nullptr;
  for (const Child& child : m_children) {
    if (child.row->kind == rt::ControlKind::Label && child.row->container == box.row->container &&
        rt::AccessibleName(*child.row) == name) {
      return &child;
    }
  }
  return nullptr;
}

void FormPeer::AddToolTip(const Child& child, const RECT& rect) {
  if (!m_toolTip) {
    m_toolTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                m_window, nullptr, m_runtime.Module(), nullptr);
    if (!m_toolTip) return;
  }
  std::wstring text = Wide(child.row->toolTip);
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_SUBCLASS;
  tool.lpszText = text.data();
  // Frames and labels let the mouse through to the window, so their tip is a
  // region of the window; other controls carry their own.
  if (child.row->kind == rt::ControlKind::Frame || child.row->kind == rt::ControlKind::Label) {
    tool.hwnd = m_window;
    tool.uId = static_cast<UINT_PTR>(GetDlgCtrlID(child.window));
    tool.rect = rect;
  } else {
    tool.uFlags |= TTF_IDISHWND;
    tool.hwnd = m_window;
    tool.uId = reinterpret_cast<UINT_PTR>(child.window);
  }
  SendMessageW(m_toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
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

HFONT FormPeer::Font(const rt::FontSpec* face, LONG pixelHeight) {
  if (auto found = m_fonts.find({face, pixelHeight}); found != m_fonts.end()) {
    return found->second;
  }
  const double points = face ? face->points : 8.0;
  LOGFONTW font{};
  font.lfHeight = -static_cast<LONG>(std::lround(points * m_runtime.Dpi() / 72.0));
  // A bitmap face comes in a few sizes only, and would stop shrinking at the smallest.
  if (pixelHeight > 0) {
    font.lfHeight = -pixelHeight;
    font.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  }
  if (face) {
    font.lfWeight = face->weight;
    font.lfItalic = face->italic;
    font.lfUnderline = face->underline;
    font.lfStrikeOut = face->strikeout;
    font.lfCharSet = static_cast<BYTE>(face->charset);
    const std::wstring name = Wide(face->name);
    name.copy(font.lfFaceName, LF_FACESIZE - 1);
  } else {
    // The system's standard dialog font.
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    std::wstring_view(L"MS Shell Dlg").copy(font.lfFaceName, LF_FACESIZE - 1);
  }
  HFONT handle = CreateFontIndirectW(&font);
  m_fonts.emplace(std::make_pair(face, pixelHeight), handle);
  return handle;
}

void FormPeer::PrepareTexts() {
  for (const Child& child : m_children) {
    if (child.row->kind == rt::ControlKind::TextBox && !child.row->locked) {
      // Typing stops at the limit; a paste that would pass it is refused whole.
      SendMessageW(child.window, EM_SETLIMITTEXT, static_cast<WPARAM>(rt::kEntryMaxLength), 0);
      SetWindowSubclass(child.window, EntryProc, 0, reinterpret_cast<DWORD_PTR>(this));
    } else {
      FitText(child);
    }
  }
}

void FormPeer::FitText(const Child& child) {
  const bool textBox = child.row->kind == rt::ControlKind::TextBox;
  if (!(textBox && child.row->locked) && child.row->kind != rt::ControlKind::Label) return;
  const int length = GetWindowTextLengthW(child.window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(child.window, text.data(), static_cast<int>(text.size()))));
  HFONT chosen = Font(child.row->font);
  LOGFONTW design{};
  GetObjectW(chosen, sizeof design, &design);
  HDC dc = GetDC(child.window);
  const HGDIOBJ old = SelectObject(dc, chosen);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  const LONG designHeight = design.lfHeight < 0 ? -design.lfHeight : metrics.tmHeight;
  const bool prefix = !textBox && !(GetWindowLongW(child.window, GWL_STYLE) & SS_NOPREFIX);
  auto fits = [&](HFONT font) {
    SelectObject(dc, font);
    if (textBox) {
      // The edit box's margins follow its font; measured with the font it would have.
      SendMessageW(child.window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
      RECT area{};
      SendMessageW(child.window, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
      SIZE extent{};
      GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
      // Strictly inside: a caret past the right edge would scroll the text.
      return extent.cx < area.right - area.left;
    }
    RECT client{};
    GetClientRect(child.window, &client);
    RECT needed = client;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed,
              DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | (prefix ? 0 : DT_NOPREFIX));
    // A column to spare, as in a text box, so that no glyph touches the edge.
    return needed.right < client.right && needed.bottom <= client.bottom;
  };
  if (!text.empty() && !fits(chosen)) {
    for (LONG height = designHeight - 1; height > 0; --height) {
      chosen = Font(child.row->font, height);
      if (fits(chosen)) break;
    }
  }
  SelectObject(dc, old);
  ReleaseDC(child.window, dc);
  SendMessageW(child.window, WM_SETFONT, reinterpret_cast<WPARAM>(chosen), TRUE);
}

LRESULT CALLBACK FormPeer::EntryProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR data) {
  // Ctrl+V, Shift+Insert and the context menu all come here.
  if (message == WM_PASTE) {
    reinterpret_cast<FormPeer*>(data)->Paste(box);
    return 0;
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(box, EntryProc, id);
  return DefSubclassProc(box, message, wParam, lParam);
}

void FormPeer::Paste(HWND box) {
  if (GetWindowLongW(box, GWL_STYLE) & ES_READONLY) return;
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(box)) return;
  std::wstring pasted;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
      pasted.assign(text, wcsnlen(text, GlobalSize(data) / sizeof(wchar_t)));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  const std::wstring text = Wide(rt::PastedEntryText(Utf8(pasted)));
  DWORD start = 0, end = 0;
  SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const auto kept = static_cast<std::size_t>(GetWindowTextLengthW(box)) - (end - start);
  const auto limit = static_cast<std::size_t>(SendMessageW(box, EM_GETLIMITTEXT, 0, 0));
  if (kept + text.size() > limit) {
    m_runtime.MsgBox(rt::kPasteTooLong);
    return;
  }
  SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
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

HWND FormPeer::FirstTabStop() const {
  for (const Child& child : m_children) {
    if (GetWindowLongW(child.window, GWL_STYLE) & WS_TABSTOP) return child.window;
  }
  return nullptr;
}

void FormPeer::UpdateTabStops(std::string_view container) {
  std::vector<HWND> group;
  HWND selected = nullptr;
  for (const Child& child : m_children) {
    if (child.row->kind != rt::ControlKind::OptionButton || child.row->container != container) {
      continue;
    }
    group.push_back(child.window);
    if (!selected && SendMessageW(child.window, BM_GETCHECK, 0, 0) == BST_CHECKED) {
      selected = child.window;
    }
  }
  if (group.empty()) return;
  if (!selected) selected = group.front();
  for (HWND button : group) {
    const LONG style = GetWindowLongW(button, GWL_STYLE);
    SetWindowLongW(button, GWL_STYLE,
                   button == selected ? style | WS_TABSTOP : style & ~WS_TABSTOP);
  }
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

void FormPeer::PrintImage() {
  // The image: what the window's client area shows now.
  UpdateWindow(m_window);
  RECT client;
  GetClientRect(m_window, &client);
  const int width = client.right;
  const int height = client.bottom;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = GetDC(m_window);
  HBITMAP image = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(memory, image);
  const bool copied = image && BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(m_window, screen);
  struct Deleter {
    HBITMAP bitmap;
    ~Deleter() {
      if (bitmap) DeleteObject(bitmap);
    }
  } imageOwner{image};
  if (!copied) throw rt::Error("The image of the window could not be taken.");

  PrinterHandles printer;
  printer.dialog.lStructSize = sizeof printer.dialog;
  printer.dialog.hwndOwner = m_window;
  printer.dialog.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
  if (!PrintDlgW(&printer.dialog) || !printer.dialog.hDC) {
    throw rt::Error(CommDlgExtendedError() == PDERR_NODEFAULTPRN
                        ? "There is no default printer."
                        : "The default printer could not be opened.");
  }
  HDC dc = printer.dialog.hDC;
  DOCINFOW document{};
  document.cbSize = sizeof document;
  const std::wstring title = Wide(m_form.Layout().caption);
  document.lpszDocName = title.c_str();
  if (StartDocW(dc, &document) <= 0) throw rt::Error("The print job could not be started.");
  printer.started = true;
  if (StartPage(dc) <= 0) throw rt::Error("The page could not be started.");
  // At its physical size: as many inches on paper as on the screen.
  const int printWidth = MulDiv(width, GetDeviceCaps(dc, LOGPIXELSX), m_runtime.Dpi());
  const int printHeight = MulDiv(height, GetDeviceCaps(dc, LOGPIXELSY), m_runtime.Dpi());
  const int lines = StretchDIBits(dc, 0, 0, printWidth, printHeight, 0, 0, width, height, bits,
                                  &info, DIB_RGB_COLORS, SRCCOPY);
  if (lines == 0 || lines == static_cast<int>(GDI_ERROR))
    throw rt::Error("The image could not be printed.");
  if (EndPage(dc) <= 0) throw rt::Error("The page could not be printed.");
  printer.started = false;
  if (EndDoc(dc) <= 0) throw rt::Error("The print job could not be finished.");
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

void FormPeer::Click(std::string_view control, int index) {
  m_runtime.RaiseClick(m_form, control, index);
}

LRESULT CALLBACK FormPeer::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* peer = static_cast<FormPeer*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    peer->m_window = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(peer));
  }
  auto* peer = reinterpret_cast<FormPeer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!peer) return DefWindowProcW(window, message, wParam, lParam);
  return peer->Handle(message, wParam, lParam);
}

// Every call that raises an event may unload this window: return at once after it.
LRESULT FormPeer::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      return Command(wParam, lParam);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return ControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), message,
                          wParam, lParam);
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      const Child* child = Find(item->hwndItem);
      if (!child || !child->row->picture) break;
      FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_BTNFACE));
      const rt::Picture& picture = *child->row->picture;
      const RECT place{item->rcItem.left, item->rcItem.top,
                       item->rcItem.left + m_runtime.Pixels(picture.width * rt::kTwipsPerPixel),
                       item->rcItem.top + m_runtime.Pixels(picture.height * rt::kTwipsPerPixel)};
      DrawPicture(item->hDC, place, picture, GetSysColor(COLOR_BTNFACE));
      return TRUE;
    }
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ACTIVATE:
      // Not a dialog: keep the focused control across activation by hand.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(m_window, focus)) m_focus = focus;
        return 0;
      }
      if (m_focus && IsWindow(m_focus) && !HIWORD(wParam)) {
        ::SetFocus(m_focus);
        return 0;
      }
      break;
    case WM_NEXTDLGCTL: {
      HWND target = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                   : GetNextDlgTabItem(m_window, GetFocus(), wParam != 0);
      if (target) {
        if (SendMessageW(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
          SendMessageW(target, EM_SETSEL, 0, -1);
        }
        ::SetFocus(target);
      }
      return 0;
    }
    case DM_GETDEFID:
      if (HWND button = FindControl(m_form.Layout().defaultButton, rt::kNoIndex)) {
        return MAKELRESULT(GetDlgCtrlID(button), DC_HASDEFID);
      }
      return 0;
    case WM_CLOSE:
      m_runtime.Unload(m_form);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(m_window, message, wParam, lParam);
}

LRESULT FormPeer::Command(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  const auto control = reinterpret_cast<HWND>(lParam);
  const rt::FormLayout& layout = m_form.Layout();

  if (id == IDOK || id == IDCANCEL) {
    // Enter and Esc, as a dialog sees them. Enter presses the focused command button,
    // else the default button; Esc the cancel button.
    if (id == IDOK) {
      const Child* focused = Find(GetFocus());
      if (focused && focused->row->kind == rt::ControlKind::CommandButton) {
        Click(focused->row->name, focused->row->index);
        return 0;
      }
    }
    const std::string_view button = id == IDOK ? layout.defaultButton : layout.cancelButton;
    if (!button.empty()) Click(button, rt::kNoIndex);
    return 0;
  }
  if (!control && code == 0) {
    const auto entry = static_cast<std::size_t>(id - kFirstMenuId);
    if (id >= kFirstMenuId && entry < m_menus.size()) Click(m_menus[entry], rt::kNoIndex);
    return 0;
  }
  const Child* child = Find(control);
  if (!child || code != BN_CLICKED) return 0;
  if (child->row->kind == rt::ControlKind::OptionButton) {
    UpdateTabStops(child->row->container);
  } else if (child->row->kind != rt::ControlKind::CommandButton) {
    return 0;
  }
  Click(child->row->name, child->row->index);
  return 0;
}

LRESULT FormPeer::ControlColor(HDC dc, HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  const Child* child = Find(control);
  const bool textBox = child && child->row->kind == rt::ControlKind::TextBox;
  if (!child || (!textBox && !child->row->foreColor)) {
    return DefWindowProcW(m_window, message, wParam, lParam);
  }
  // A locked text box keeps the background of an editable one.
  const int background = textBox ? COLOR_WINDOW : COLOR_BTNFACE;
  if (child->row->foreColor) {
    const COLORREF back = GetSysColor(background);
    const rt::Rgb under{GetRValue(back), GetGValue(back), GetBValue(back)};
    SetTextColor(dc, ToColorRef(rt::ReadableOn(*child->row->foreColor, under)));
  }
  SetBkColor(dc, GetSysColor(background));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(background));
}

void FormPeer::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(m_window, &paint);
  for (const rt::LineSpec& line : m_form.Layout().lines) {
    const int width = std::max(1, MulDiv(line.widthPixels, m_runtime.Dpi(), 96));
    HPEN pen = CreatePen(PS_SOLID, width, ToColorRef(line.color));
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, m_runtime.Pixels(line.x1), m_runtime.Pixels(line.y1), nullptr);
    LineTo(dc, m_runtime.Pixels(line.x2), m_runtime.Pixels(line.y2));
    SelectObject(dc, old);
    DeleteObject(pen);
  }
  EndPaint(m_window, &paint);
}

}  // namespace norvane::win32
