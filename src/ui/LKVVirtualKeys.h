#pragma once
#include <QKeyEvent>
#include <cstdint>

// The key-macro code of a key press: the Windows virtual-key code of the key
// (the codes "keys.dat" stores) plus the Alt, Ctrl and Shift bits of LKeyMacros.
// 0 for a key that has no virtual-key code. Symbols typed with Shift count as
// their unshifted key on a US layout ("!" is Shift+1).
uint32_t LKVKeyCode(const QKeyEvent& event);
// The virtual-key code of a Qt key, 0 when there is none; `keypad` for keys of
// the numeric keypad.
uint16_t LKVVirtualKey(int qtKey, bool keypad);
