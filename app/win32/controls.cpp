#include "app/win32/controls.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <utility>

#include "app/display.h"
#include "app/win32/accessible.h"
#include "app/win32/form_peer.h"
#include "app/win32/runtime.h"
#include "app/win32/text.h"

namespace norvane::win32 {
namespace {

constexpr int kFirstControlId = 1000;  // clear of IDOK and IDCANCEL, which keys send

}  // namespace

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

namespace {

// The label that names a box, or nullptr; rows in Tab order.
const rt::ControlSpec* LabelOf(const rt::ControlSpec& box,
                               const std::vector<const rt::ControlSpec*>& rows) {
  if (box.kind != rt::ControlKind::TextBox && box.kind != rt::ControlKind::PictureBox) {
    return nullptr;
  }
  const std::string name = rt::AccessibleName(box);
  if (name.empty()) return nullptr;
  for (const rt::ControlSpec* row : rows) {
    if (row->kind == rt::ControlKind::Label && row->container == box.container &&
        rt::AccessibleName(*row) == name) {
      return row;
    }
  }
  return nullptr;
}

// The rows that begin a group for the arrow keys: the first of each run of option buttons of one
// container in Tab order, and every other control, which stands alone.
std::vector<const rt::ControlSpec*> GroupStarts(const std::vector<const rt::ControlSpec*>& rows) {
  std::vector<const rt::ControlSpec*> starts;
  const rt::ControlSpec* previous = nullptr;
  for (const rt::ControlSpec* row : rows) {
    if (row->kind != rt::ControlKind::OptionButton || !previous ||
        previous->kind != rt::ControlKind::OptionButton || previous->container != row->container) {
      starts.push_back(row);
    }
    previous = row;
  }
  return starts;
}

// Creation order is z-order. Tab follows it, and a client that reads a box's name from the
// windows names it after the label just before it; Tab skips labels, so each such label is made
// right before its box. (Moved there afterwards, each would cost a few round trips to the
// window server under Wine.)
std::vector<const rt::ControlSpec*> CreationOrder(const std::vector<const rt::ControlSpec*>& rows) {
  std::vector<const rt::ControlSpec*> labels;
  for (const rt::ControlSpec* row : rows) {
    if (const rt::ControlSpec* label = LabelOf(*row, rows)) labels.push_back(label);
  }
  std::vector<const rt::ControlSpec*> order;
  for (const rt::ControlSpec* row : rows) {
    if (std::find(labels.begin(), labels.end(), row) != labels.end()) continue;
    const rt::ControlSpec* label = LabelOf(*row, rows);
    if (label && std::find(order.begin(), order.end(), label) == order.end()) {
      order.push_back(label);
    }
    order.push_back(row);
  }
  return order;
}

}  // namespace

void FormPeer::CreateControls() {
  const rt::FormLayout& layout = m_form.Layout();
  std::vector<const rt::ControlSpec*> specs;
  for (const rt::ControlSpec& row : layout.controls) specs.push_back(&row);
  std::stable_sort(specs.begin(), specs.end(),
                   [](const auto* a, const auto* b) { return a->tabIndex < b->tabIndex; });
  const std::vector<const rt::ControlSpec*> groupStarts = GroupStarts(specs);

  for (const rt::ControlSpec* row : CreationOrder(specs)) {
    int left = row->left;
    int top = row->top;
    if (!row->container.empty()) {
      if (const rt::ControlSpec* container = layout.Find(row->container)) {
        left += container->left;
        top += container->top;
      }
    }
    ControlClass kind = ClassOf(*row, row->name == layout.defaultButton);
    if (std::find(groupStarts.begin(), groupStarts.end(), row) != groupStarts.end()) {
      kind.style |= WS_GROUP;
    }
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
  }
  for (const rt::ControlSpec* start : groupStarts) {
    if (start->kind == rt::ControlKind::OptionButton) UpdateTabStops(start->container);
  }
  for (std::size_t i = 0; i < m_children.size(); ++i) {
    Child& child = m_children[i];
    const bool labelled = i > 0 && LabelOf(*child.row, specs) == m_children[i - 1].row;
    if (labelled) KeepLabelPixels(i);
    // The control itself answers where the child order cannot: a description, or a name
    // that no label says.
    child.answersFromRow =
        !child.row->toolTip.empty() || (!child.row->accessibleName.empty() && !labelled);
  }
  HookControls();
}

// A label that overlaps the box after it lies above it in z-order. It keeps those pixels if the
// box leaves out what lies above it: unless something else above (a frame that holds the box)
// would hide the box too.
void FormPeer::KeepLabelPixels(std::size_t box) {
  HWND boxWindow = m_children[box].window;
  RECT boxRect, other, overlap;
  GetWindowRect(boxWindow, &boxRect);
  GetWindowRect(m_children[box - 1].window, &other);
  if (!IntersectRect(&overlap, &boxRect, &other)) return;
  for (std::size_t above = 0; above + 1 < box; ++above) {
    GetWindowRect(m_children[above].window, &other);
    if (IntersectRect(&overlap, &boxRect, &other)) return;
  }
  SetWindowLongW(boxWindow, GWL_STYLE, GetWindowLongW(boxWindow, GWL_STYLE) | WS_CLIPSIBLINGS);
}

void FormPeer::AddToolTips() {
  if (m_toolTipsAdded) return;
  m_toolTipsAdded = true;
  m_toolTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_window,
                              nullptr, m_runtime.Module(), nullptr);
  if (!m_toolTip) return;
  for (const Child& child : m_children) {
    if (!child.row->toolTip.empty()) AddToolTip(child);
  }
}

void FormPeer::AddToolTip(const Child& child) {
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
    GetWindowRect(child.window, &tool.rect);
    MapWindowPoints(nullptr, m_window, reinterpret_cast<POINT*>(&tool.rect), 2);
  } else {
    tool.uFlags |= TTF_IDISHWND;
    tool.hwnd = m_window;
    tool.uId = reinterpret_cast<UINT_PTR>(child.window);
  }
  SendMessageW(m_toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
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

// The window procedure is replaced, not subclassed through the common controls: those keep
// their state in a window property, which under Wine costs a round trip to the window server
// at every message, some 170 of them before the first paint.
void FormPeer::HookControls() {
  for (Child& child : m_children) {
    if (child.row->kind != rt::ControlKind::TextBox && !child.answersFromRow) continue;
    child.classProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(child.window, GWLP_WNDPROC));
    SetWindowLongPtrW(child.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlProc));
  }
}

LRESULT CALLBACK FormPeer::ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  // The window's peer, until it lets the window go; then the control's class alone.
  auto* peer = reinterpret_cast<FormPeer*>(GetWindowLongPtrW(GetParent(control), GWLP_USERDATA));
  const Child* child = peer ? peer->Find(control) : nullptr;
  if (!child) {
    const auto own = reinterpret_cast<WNDPROC>(GetClassLongPtrW(control, GCLP_WNDPROC));
    return CallWindowProcW(own, control, message, wParam, lParam);
  }
  if (child->row->kind == rt::ControlKind::TextBox) {
    // Ctrl+V, Shift+Insert and the context menu all come here.
    if (message == WM_PASTE) {
      peer->Paste(control);
      return 0;
    }
    // A click soon after one on the same spot arrives as a double click, and the edit control
    // takes no focus on a double click: so a click that follows a key which moved the focus
    // away (Alt+A, Tab) was lost. On a box without the focus it is the single click the user
    // made.
    if (message == WM_LBUTTONDBLCLK && GetFocus() != control) message = WM_LBUTTONDOWN;
  }
  if (message == WM_GETOBJECT && child->answersFromRow) {
    if (const LRESULT answer = AnswerFromRow(control, wParam, lParam, *child->row)) return answer;
  }
  return CallWindowProcW(child->classProc, control, message, wParam, lParam);
}

void FormPeer::PrepareTexts() {
  for (const Child& child : m_children) {
    if (child.row->kind == rt::ControlKind::TextBox && !child.row->locked) {
      // Typing stops at the limit; a paste that would pass it is refused whole.
      SendMessageW(child.window, EM_SETLIMITTEXT, static_cast<WPARAM>(rt::kEntryMaxLength), 0);
    } else {
      FitText(child);
    }
  }
}

void FormPeer::FitText(const Child& child) {
  const bool textBox = child.row->kind == rt::ControlKind::TextBox;
  if (!(textBox && child.row->locked) && child.row->kind != rt::ControlKind::Label) return;
  const int length = GetWindowTextLengthW(child.window);
  if (length == 0) {
    // Nothing to measure: the design font, which a longer text before may have replaced.
    HFONT design = Font(child.row->font);
    if (reinterpret_cast<HFONT>(SendMessageW(child.window, WM_GETFONT, 0, 0)) != design) {
      SendMessageW(child.window, WM_SETFONT, reinterpret_cast<WPARAM>(design),
                   IsWindowVisible(m_window));
    }
    return;
  }
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(child.window, text.data(), static_cast<int>(text.size()))));
  HFONT chosen = Font(child.row->font);
  LOGFONTW design{};
  GetObjectW(chosen, sizeof design, &design);
  const auto shown = reinterpret_cast<HFONT>(SendMessageW(child.window, WM_GETFONT, 0, 0));
  // Text measures alike in any DC of the screen; one of memory needs no window's region.
  HDC dc = CreateCompatibleDC(nullptr);
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
  DeleteDC(dc);
  // Measuring a box tried its fonts on it. A window not yet shown needs no repainting.
  if (textBox || chosen != shown) {
    SendMessageW(child.window, WM_SETFONT, reinterpret_cast<WPARAM>(chosen),
                 IsWindowVisible(m_window));
  }
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

}  // namespace norvane::win32
