#include "platform/keys.h"

#include <QKeyEvent>

namespace orba {

namespace {

// The main keyboard's digit row 1..9, 0 on X keyboard codes 10..19.
int digitOfScanCode(std::uint32_t scanCode) {
    if (scanCode < 10 || scanCode > 19) return -1;
    return scanCode == 19 ? 0 : int(scanCode) - 9;
}

int codeOf(int key, bool keypad, std::uint32_t scanCode) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return (keypad ? vk::Numpad0 : vk::Digit0) + (key - Qt::Key_0);
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return vk::LetterA + (key - Qt::Key_A);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return vk::F1 + (key - Qt::Key_F1);
    switch (key) {
        case Qt::Key_Backspace:
            return vk::Back;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return vk::Return;
        case Qt::Key_Escape:
            return vk::Escape;
        case Qt::Key_Space:
            return vk::Space;
        case Qt::Key_Left:
            return vk::Left;
        case Qt::Key_Up:
            return vk::Up;
        case Qt::Key_Right:
            return vk::Right;
        case Qt::Key_Down:
            return vk::Down;
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            return keypad ? vk::Add : vk::OemPlus;
        case Qt::Key_Minus:
        case Qt::Key_Underscore:
            return keypad ? vk::Subtract : vk::OemMinus;
        case Qt::Key_Comma:
        case Qt::Key_Less:
            return vk::OemComma;
        case Qt::Key_Period:
        case Qt::Key_Greater:
            return vk::OemPeriod;
        default:
            break;
    }
    if (!keypad) {
        int digit = digitOfScanCode(scanCode);
        if (digit >= 0) return vk::Digit0 + digit;
    }
    return 0;
}

}  // namespace

VirtualKey virtualKey(int qtKey, Qt::KeyboardModifiers modifiers, std::uint32_t nativeScanCode) {
    VirtualKey k;
    k.code = codeOf(qtKey, modifiers.testFlag(Qt::KeypadModifier), nativeScanCode);
    k.shift = modifiers.testFlag(Qt::ShiftModifier);
    k.ctrl = modifiers.testFlag(Qt::ControlModifier);
    k.alt = modifiers.testFlag(Qt::AltModifier);
    return k;
}

VirtualKey virtualKey(const QKeyEvent& event) {
    return virtualKey(event.key(), event.modifiers(), event.nativeScanCode());
}

}  // namespace orba
