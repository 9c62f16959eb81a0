#pragma once

#include <QImage>

#include "app/layout.h"

namespace norvane::qt {

// Builds the image straight from its text rows: no image-format plugin is loaded.
QImage ToImage(const rt::Picture& picture);

}  // namespace norvane::qt
