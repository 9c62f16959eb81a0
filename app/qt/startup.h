#pragma once

#include "app/qt/runtime.h"

namespace norvane::qt {

// Gives Qt the application's identity and icon; call once, after the QApplication is made.
void ApplyIdentity();

// Start-up: creates the one instance of the start-up window, runs its Load
// handler, then shows it; returns when the program ends.
template <class StartupForm>
int RunProgram(QtRuntime& runtime) {
  runtime.Show(runtime.Instance<StartupForm>());
  return runtime.Run();
}

}  // namespace norvane::qt
