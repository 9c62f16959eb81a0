// The accessible name and description of a control, from its layout row, for assistive
// technology that asks the control (Active Accessibility, WM_GETOBJECT).
#pragma once

#include <windows.h>

#include "app/layout.h"

namespace norvane::win32 {

// From now on the control answers with the row's name and description; everything else
// (role, value, state, position, actions) stays the standard object's. The row outlives it.
void AnswerWithRow(HWND control, const rt::ControlSpec& row);

// Cuts the clients' hold on the objects handed out, once the windows have gone.
void EndAccessibility();

}  // namespace norvane::win32
