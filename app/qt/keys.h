// Keys as the handlers receive them.
#pragma once

#include <QKeyEvent>

namespace norvane::qt {

// The key codes the handlers know, from their Windows virtual-key numbers;
// 0 for keys they never see.
int KeyCode(const QKeyEvent& event);

int ShiftState(Qt::KeyboardModifiers modifiers);

}  // namespace norvane::qt
