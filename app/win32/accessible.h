// The accessible name and description of a control, from its layout row, for assistive
// technology that asks the control (Active Accessibility, WM_GETOBJECT).
#pragma once

#include <windows.h>

#include "app/layout.h"

namespace norvane::win32 {

// The answer to a control's WM_GETOBJECT: an object with the row's name and description,
// everything else (role, value, state, position, actions) the standard object's; 0 leaves the
// question to the control's class. The row outlives the object.
LRESULT AnswerFromRow(HWND control, WPARAM wParam, LPARAM lParam, const rt::ControlSpec& row);

// Cuts the clients' hold on the objects handed out, once the windows have gone.
void EndAccessibility();

}  // namespace norvane::win32
