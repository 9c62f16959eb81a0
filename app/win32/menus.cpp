#include "app/win32/menus.h"

#include "app/win32/text.h"

namespace norvane::win32 {

HMENU MenuBar(const rt::FormLayout& layout, std::vector<std::string_view>& entries) {
  if (layout.menus.empty()) return nullptr;
  HMENU menu = CreateMenu();
  HMENU popup = nullptr;
  for (std::size_t i = 0; i < layout.menus.size(); ++i) {
    const rt::MenuSpec& row = layout.menus[i];
    const UINT_PTR id = kFirstMenuId + entries.size();
    entries.push_back(row.name);
    const std::wstring caption = Wide(row.caption);
    const bool hasEntries = i + 1 < layout.menus.size() && layout.menus[i + 1].level > 0;
    if (row.level == 0 && hasEntries) {
      popup = CreatePopupMenu();
      AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), caption.c_str());
    } else if (row.level == 0) {
      popup = nullptr;
      AppendMenuW(menu, MF_STRING, id, caption.c_str());
    } else if (popup) {
      AppendMenuW(popup, MF_STRING, id, caption.c_str());
    }
  }
  return menu;
}

}  // namespace norvane::win32
