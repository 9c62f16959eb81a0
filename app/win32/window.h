// The window class of every loaded window; FormPeer::WindowProc is its procedure.
#pragma once

namespace norvane::win32 {

inline constexpr wchar_t kFormClass[] = L"NorvaneForm";

}  // namespace norvane::win32
