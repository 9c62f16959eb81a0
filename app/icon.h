#pragma once

#include "app/layout.h"

namespace norvane {

// The application icon: 32 x 32 pixels, 16 colours. Both windows carry it.
extern const rt::Picture kApplicationIcon;

}  // namespace norvane
