#include "app/win32/picture.h"

namespace norvane::win32 {
namespace {

BITMAPINFO TopDown32(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace

std::vector<std::uint32_t> Pixels(const rt::Picture& picture, int width, int height,
                                  COLORREF background) {
  const std::uint32_t fill =
      (GetRValue(background) << 16) | (GetGValue(background) << 8) | GetBValue(background);
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, fill);
  for (int y = 0; y < height; ++y) {
    const std::string_view row =
        picture.rows[static_cast<std::size_t>(y * picture.height / height)];
    for (int x = 0; x < width; ++x) {
      const char key = row[static_cast<std::size_t>(x * picture.width / width)];
      for (const rt::PaletteEntry& entry : picture.palette) {
        if (entry.key != key) continue;
        if ((entry.argb >> 24) != 0) pixels[static_cast<std::size_t>(y) * width + x] = entry.argb;
        break;
      }
    }
  }
  return pixels;
}

HICON MakeIcon(const rt::Picture& picture, int size) {
  const std::vector<std::uint32_t> pixels = Pixels(picture, size, size, RGB(0, 0, 0));
  const BITMAPINFO info = TopDown32(size, size);
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP color = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  if (!color) return nullptr;
  auto* out = static_cast<std::uint32_t*>(bits);
  // The mask: one bit per pixel, rows padded to 16 bits; set where the icon is transparent.
  const int stride = (size + 15) / 16 * 2;
  std::vector<BYTE> mask(static_cast<std::size_t>(stride) * size, 0);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * size + x;
      out[i] = pixels[i];
      if ((out[i] >> 24) != 0) continue;
      out[i] = 0;
      mask[static_cast<std::size_t>(y * stride + x / 8)] |= static_cast<BYTE>(0x80 >> (x % 8));
    }
  }
  HBITMAP monochrome = CreateBitmap(size, size, 1, 1, mask.data());
  ICONINFO icon{TRUE, 0, 0, monochrome, color};
  HICON handle = CreateIconIndirect(&icon);
  DeleteObject(monochrome);
  DeleteObject(color);
  return handle;
}

void DrawPicture(HDC dc, const RECT& rect, const rt::Picture& picture, COLORREF background) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return;
  const std::vector<std::uint32_t> pixels = Pixels(picture, width, height, background);
  const BITMAPINFO info = TopDown32(width, height);
  SetDIBitsToDevice(dc, rect.left, rect.top, static_cast<DWORD>(width), static_cast<DWORD>(height),
                    0, 0, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
}

}  // namespace norvane::win32
