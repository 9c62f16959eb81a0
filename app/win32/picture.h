// GDI images drawn from the layout's text pictures.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "app/layout.h"

namespace norvane::win32 {

// The picture scaled (nearest neighbour) to width x height, as top-down 32-bit BGRA
// pixels; transparent pixels keep alpha 0 and take `background`'s colour.
std::vector<std::uint32_t> Pixels(const rt::Picture& picture, int width, int height,
                                  COLORREF background);

// An icon of size x size pixels; the caller destroys it with DestroyIcon.
HICON MakeIcon(const rt::Picture& picture, int size);

// Draws the picture scaled to the rectangle, its transparent pixels in `background`.
void DrawPicture(HDC dc, const RECT& rect, const rt::Picture& picture, COLORREF background);

}  // namespace norvane::win32
