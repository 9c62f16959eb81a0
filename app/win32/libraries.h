// The system's libraries that few runs need (printing, accessibility) load when they are first
// needed, not at start-up: each one, and the score of libraries below it, costs every start
// time and memory.
#pragma once

#include <windows.h>

namespace norvane::win32 {

// The library of this name in the system folder, loaded for the rest of the run (what it hands
// out may be in use until the end); nullptr when it cannot be loaded.
HMODULE SystemLibrary(const wchar_t* name);

// Points `function` at the export `name` of `library`; false when there is none.
template <class F>
bool Resolve(HMODULE library, const char* name, F& function) {
  // Through the generic function type, which any function pointer may be cast to and from.
  function = library
                 ? reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)))
                 : nullptr;
  return function != nullptr;
}

}  // namespace norvane::win32
