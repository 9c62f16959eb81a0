#pragma once

#include "app/layout.h"

namespace norvane {

// The About window's picture: 48 x 48 pixels.
extern const rt::Picture kAboutPicture;

}  // namespace norvane
