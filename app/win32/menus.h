// The menu bar of a window, built from its menu table.
#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

#include "app/forms.h"

namespace norvane::win32 {

inline constexpr int kFirstMenuId = 2000;  // clear of the control ids

// The menu bar for the table, nullptr when it has no menus; each entry's name is appended
// to `entries`, whose index is its command id less kFirstMenuId.
HMENU MenuBar(const rt::FormLayout& layout, std::vector<std::string_view>& entries);

}  // namespace norvane::win32
