#include "app/win32/libraries.h"

#include <string>

namespace norvane::win32 {

HMODULE SystemLibrary(const wchar_t* name) {
  // By its full path: never a file of that name that lies in the current folder.
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(folder, length) + L"\\" + name;
  return LoadLibraryW(path.c_str());
}

}  // namespace norvane::win32
