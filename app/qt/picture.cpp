#include "app/qt/picture.h"

#include <cstddef>

namespace norvane::qt {

QImage ToImage(const rt::Picture& picture) {
  QImage image(picture.width, picture.height, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  for (int y = 0; y < picture.height && static_cast<std::size_t>(y) < picture.rows.size(); ++y) {
    const std::string_view row = picture.rows[static_cast<std::size_t>(y)];
    for (int x = 0; x < picture.width && static_cast<std::size_t>(x) < row.size(); ++x) {
      for (const rt::PaletteEntry& entry : picture.palette) {
        if (entry.key == row[static_cast<std::size_t>(x)]) {
          image.setPixel(x, y, entry.argb);
          break;
        }
      }
    }
  }
  return image;
}

}  // namespace norvane::qt
