// Keys as the runtime interface codes them: Win32 virtual-key codes are already its key codes.
#pragma once

namespace norvane::win32 {

// The Shift, Ctrl and Alt keys held now, as rt::vbShiftMask | rt::vbCtrlMask | rt::vbAltMask.
int ShiftState();

}  // namespace norvane::win32
