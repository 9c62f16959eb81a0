#include "app/win32/print.h"

#include "app/win32/form_peer.h"
#include "app/win32/libraries.h"
#include "app/win32/runtime.h"
#include "app/win32/text.h"

namespace norvane::win32 {
namespace {

// The print dialog library, with the shell and the spooler below it, loads at the first print.
struct PrintDialog {
  decltype(&PrintDlgW) printDlg;
  decltype(&CommDlgExtendedError) extendedError;
};

const PrintDialog* LoadPrintDialog() {
  static const PrintDialog* const kDialog = []() -> const PrintDialog* {
    HMODULE library = SystemLibrary(L"comdlg32.dll");
    static PrintDialog dialog;
    const bool complete = Resolve(library, "PrintDlgW", dialog.printDlg) &&
                          Resolve(library, "CommDlgExtendedError", dialog.extendedError);
    return complete ? &dialog : nullptr;
  }();
  return kDialog;
}

}  // namespace

void FormPeer::PrintImage() {
  const PrintDialog* commonDialogs = LoadPrintDialog();
  if (!commonDialogs) throw rt::Error("The print dialog library could not be loaded.");
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
  if (!commonDialogs->printDlg(&printer.dialog) || !printer.dialog.hDC) {
    throw rt::Error(commonDialogs->extendedError() == PDERR_NODEFAULTPRN
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

}  // namespace norvane::win32
