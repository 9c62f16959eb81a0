// The native control that each kind of row of a layout table becomes.
#pragma once

#include <windows.h>

#include "app/layout.h"

namespace norvane::win32 {

struct ControlClass {
  const wchar_t* name;
  DWORD style;
  DWORD exStyle;
};

// The class and styles for a row; isDefault when it is the window's default button.
ControlClass ClassOf(const rt::ControlSpec& row, bool isDefault);

}  // namespace norvane::win32
