#include "app/win32/window.h"

#include <algorithm>

#include "app/display.h"
#include "app/win32/form_peer.h"
#include "app/win32/menus.h"
#include "app/win32/picture.h"
#include "app/win32/runtime.h"

namespace norvane::win32 {
namespace {

COLORREF ToColorRef(rt::Rgb color) { return RGB(color.red, color.green, color.blue); }

}  // namespace

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
    case WM_SETCURSOR:  // the mouse is over the window or one of its controls
      AddToolTips();
      break;
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
