// Writes the application icon, drawn as text in app/icon.cpp, in the forms
// the platforms take: Norvane.ico, the raw icon image and icon group that
// the resource script embeds under fixed ids, and PNGs for Linux desktops.
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "app/icon.h"

#ifdef NORVANE_ICON_PNG
#include <QImage>

#include "app/qt/picture.h"
#endif

namespace {

using Bytes = std::vector<std::uint8_t>;

// The platform's standard 16-colour palette, in its usual order.
constexpr std::array<std::uint32_t, 16> kStandardPalette = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0x808080,
    0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};
constexpr int kSize = 32;
constexpr std::uint16_t kImageId = 30001;

void Put16(Bytes& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}
void Put32(Bytes& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

// The palette index of a pixel, or -1 where it is transparent.
int IndexAt(const norvane::rt::Picture& picture, int x, int y) {
  const char key = picture.rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
  for (const auto& entry : picture.palette) {
    if (entry.key != key) continue;
    if ((entry.argb >> 24) == 0) return -1;
    for (std::size_t i = 0; i < kStandardPalette.size(); ++i) {
      if (kStandardPalette[i] == (entry.argb & 0xFFFFFF)) return static_cast<int>(i);
    }
    break;
  }
  throw std::runtime_error("pixel " + std::to_string(x) + "," + std::to_string(y) +
                           " is not one of the 16 standard colours");
}

// One 4-bit image: header of height 64 (colour and mask halves), palette,
// bottom-up XOR rows, bottom-up 1-bit AND rows (1 = transparent).
Bytes IconImage(const norvane::rt::Picture& picture) {
  if (picture.width != kSize || picture.height != kSize ||
      picture.rows.size() != static_cast<std::size_t>(kSize)) {
    throw std::runtime_error("the icon must be 32 x 32 pixels");
  }
  Bytes out;
  Put32(out, 40);
  Put32(out, kSize);
  Put32(out, 2 * kSize);
  Put16(out, 1);
  Put16(out, 4);
  Put32(out, 0);          // uncompressed
  Put32(out, 512 + 128);  // image size
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  for (std::uint32_t rgb : kStandardPalette) {
    out.push_back(static_cast<std::uint8_t>(rgb));
    out.push_back(static_cast<std::uint8_t>(rgb >> 8));
    out.push_back(static_cast<std::uint8_t>(rgb >> 16));
    out.push_back(0);
  }
  for (int y = kSize - 1; y >= 0; --y) {
    for (int x = 0; x < kSize; x += 2) {
      const int high = std::max(IndexAt(picture, x, y), 0);
      const int low = std::max(IndexAt(picture, x + 1, y), 0);
      out.push_back(static_cast<std::uint8_t>(high << 4 | low));
    }
  }
  for (int y = kSize - 1; y >= 0; --y) {
    for (int x = 0; x < kSize; x += 8) {
      std::uint8_t mask = 0;
      for (int bit = 0; bit < 8; ++bit) {
        if (IndexAt(picture, x + bit, y) < 0) mask |= static_cast<std::uint8_t>(0x80 >> bit);
      }
      out.push_back(mask);
    }
  }
  return out;
}

// The directory entry fields shared by the .ico file and the icon group.
void PutEntryHead(Bytes& out, std::size_t imageSize) {
  out.push_back(kSize);
  out.push_back(kSize);
  out.push_back(16);  // colours
  out.push_back(0);
  Put16(out, 1);  // planes
  Put16(out, 4);  // bits per pixel
  Put32(out, static_cast<std::uint32_t>(imageSize));
}

void Write(const std::string& path, const Bytes& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path);
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT-DIRECTORY\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  try {
    const Bytes image = IconImage(norvane::kApplicationIcon);

    Bytes ico;
    Put16(ico, 0);
    Put16(ico, 1);  // an icon
    Put16(ico, 1);  // one image
    PutEntryHead(ico, image.size());
    Put32(ico, 6 + 16);
    ico.insert(ico.end(), image.begin(), image.end());
    Write(dir + "/Norvane.ico", ico);

    Bytes group;
    Put16(group, 0);
    Put16(group, 1);
    Put16(group, 1);
    PutEntryHead(group, image.size());
    Put16(group, kImageId);
    Write(dir + "/norvane-icon-image.bin", image);
    Write(dir + "/norvane-icon-group.bin", group);

#ifdef NORVANE_ICON_PNG
    const QImage picture = norvane::qt::ToImage(norvane::kApplicationIcon);
    for (int size : {32, 48, 64, 128, 256}) {
      const std::string path = dir + "/norvane-" + std::to_string(size) + ".png";
      if (!picture.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation)
               .save(QString::fromStdString(path), "PNG")) {
        throw std::runtime_error("cannot write " + path);
      }
    }
#endif
  } catch (const std::exception& e) {
    std::fprintf(stderr, "mkicons: %s\n", e.what());
    return 1;
  }
  return 0;
}
