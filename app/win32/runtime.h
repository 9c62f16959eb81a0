// The runtime interface on the plain Win32 API: native windows and controls,
// a GetMessage loop with dialog-style keyboard handling, MessageBoxW, and
// printing through the default printer's device context.
#pragma once

#include <windows.h>

#include <vector>

#include "app/forms.h"

namespace norvane::win32 {

class FormPeer;

class Win32Runtime final : public rt::Runtime {
 public:
  explicit Win32Runtime(HINSTANCE module);
  ~Win32Runtime() override;

  HINSTANCE Module() const { return m_module; }
  // Dots per inch of the screen; the process is dpi-aware, so this is the real one.
  int Dpi() const { return m_dpi; }
  // Twips of a layout table to pixels of this screen: the only place they are converted.
  int Pixels(int twips) const { return MulDiv(twips, m_dpi, 1440); }

  // The loaded windows, for modal display and for routing keyboard messages.
  void Register(FormPeer* peer) { m_peers.push_back(peer); }
  void Forget(FormPeer* peer);
  const std::vector<FormPeer*>& Peers() const { return m_peers; }

 protected:
  char LocaleDecimalSeparator() const override;
  std::unique_ptr<rt::FormPeer> CreatePeer(rt::Form& form) override;
  void ShowMessageBox(std::string_view title, std::string_view prompt,
                      rt::MsgBoxButtons buttons) override;
  void RunUntil(const std::function<bool()>& done) override;
  void Wake() override;

 private:
  // Handles a message the way a dialog would; false when it still needs dispatching.
  bool PreTranslate(MSG& message);
  FormPeer* PeerOf(HWND window) const;

  HINSTANCE m_module;
  int m_dpi;
  HICON m_icons[2] = {};  // the application icon, big and small, for the window class
  std::vector<FormPeer*> m_peers;
};

}  // namespace norvane::win32
