// One loaded window: a top-level window with native child controls built
// from the form's layout table.
// Its members are defined by role: form_peer.cpp (construction and the runtime's operations),
// controls.cpp, keys.cpp, print.cpp and window.cpp.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "app/forms.h"

namespace norvane::win32 {

class Win32Runtime;

class FormPeer final : public rt::FormPeer {
 public:
  FormPeer(Win32Runtime& runtime, rt::Form& form);
  ~FormPeer() override;
  FormPeer(const FormPeer&) = delete;
  FormPeer& operator=(const FormPeer&) = delete;

  std::string Text(std::string_view control, int index) const override;
  void SetText(std::string_view control, int index, std::string_view text) override;
  void SetSelStart(std::string_view control, int index, int start) override;
  void SetSelLength(std::string_view control, int index, int length) override;
  void SetFocus(std::string_view control, int index) override;
  bool Value(std::string_view control, int index) const override;
  void SetValue(std::string_view control, int index, bool value) override;
  void Show(rt::Modality modality) override;
  void PrintImage() override;

  HWND Window() const { return m_window; }
  // Raises KeyDown for a key message to one of the controls, before the key is processed.
  // False when the handler consumed the key or the window has gone.
  bool PreviewKey(const MSG& message);

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // The controls' own handling of their messages, ahead of their class's.
  static LRESULT CALLBACK ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  struct Child {
    const rt::ControlSpec* row;
    HWND window;
    bool answersFromRow = false;  // names itself to assistive technology (WM_GETOBJECT)
    WNDPROC classProc = nullptr;  // set once ControlProc handles its messages first
  };

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Command(WPARAM wParam, LPARAM lParam);
  LRESULT ControlColor(HDC dc, HWND control, UINT message, WPARAM wParam, LPARAM lParam);
  void Paint();
  void Build();
  void CreateControls();
  // Tips show only under the mouse: their window is made when the mouse first comes over this
  // window, not before the first paint.
  void AddToolTips();
  void AddToolTip(const Child& child);
  // box: the index of a box in m_children, whose label comes just before it.
  void KeepLabelPixels(std::size_t box);
  void HookControls();
  void FitClientArea();
  // Pixel height 0 is the design size; a fitted font is smaller, and always scalable.
  HFONT Font(const rt::FontSpec* face, LONG pixelHeight = 0);
  void PrepareTexts();
  // Gives a label or a locked text box the largest font, up to its design font, that shows
  // its whole text inside its own rectangle.
  void FitText(const Child& child);
  void Paste(HWND box);
  const Child* Find(HWND window) const;
  HWND FindControl(std::string_view control, int index) const;  // nullptr when there is none
  HWND Control(std::string_view control, int index) const;      // throws rt::Error instead
  HWND FirstTabStop() const;
  // Only the selected button of an option group is a Tab stop (the first when none is).
  void UpdateTabStops(std::string_view container);
  void Click(std::string_view control, int index);

  Win32Runtime& m_runtime;
  rt::Form& m_form;
  HWND m_window = nullptr;
  HWND m_toolTip = nullptr;
  bool m_toolTipsAdded = false;
  HWND m_focus = nullptr;  // the control that gets the focus back when the window is activated
  std::vector<Child> m_children;
  std::vector<std::string_view> m_menus;  // menu entries by command id
  std::map<std::pair<const rt::FontSpec*, LONG>, HFONT> m_fonts;
  std::vector<HICON> m_icons;
  std::vector<HWND> m_disabled;  // windows this modal window disabled
};

}  // namespace norvane::win32
