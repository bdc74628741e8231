// Keys as the player's commands know them: the virtual-key codes of the
// platform the key table was written for, with the Shift, Ctrl and Alt flags.
// Qt's key events are turned into these codes here and nowhere else. A held
// key's auto-repeat is simply another press.
#pragma once

#include <Qt>
#include <cstdint>

class QKeyEvent;

namespace orba {

namespace vk {
inline constexpr int Back = 0x08;
inline constexpr int Return = 0x0D;
inline constexpr int Escape = 0x1B;
inline constexpr int Space = 0x20;
inline constexpr int Left = 0x25;
inline constexpr int Up = 0x26;
inline constexpr int Right = 0x27;
inline constexpr int Down = 0x28;
inline constexpr int Digit0 = 0x30;    // main keyboard 0..9: 0x30..0x39
inline constexpr int LetterA = 0x41;   // A..Z: 0x41..0x5A, as their capitals
inline constexpr int Numpad0 = 0x60;   // numeric pad 0..9: 0x60..0x69
inline constexpr int Add = 0x6B;       // numeric pad +
inline constexpr int Subtract = 0x6D;  // numeric pad -
inline constexpr int OemPlus = 0xBB;   // the "=" / "+" key
inline constexpr int OemComma = 0xBC;
inline constexpr int OemMinus = 0xBD;
inline constexpr int OemPeriod = 0xBE;
inline constexpr int F1 = 0x70;  // F1..F12: 0x70..0x7B
inline constexpr int F6 = 0x75;
inline constexpr int F9 = 0x78;

constexpr int letter(char c) {
    return LetterA + (c - 'A');
}
}  // namespace vk

struct VirtualKey {
    int code = 0;  // 0: a key the command table has no code for
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

// `nativeScanCode` is the X keyboard code that both Linux window systems
// report; it places a digit key whose character a layout or Shift changed
// ("$" for Shift+4 on many layouts). 0 when unknown.
VirtualKey virtualKey(int qtKey, Qt::KeyboardModifiers modifiers, std::uint32_t nativeScanCode = 0);
VirtualKey virtualKey(const QKeyEvent& event);

}  // namespace orba
