#include "platform/keys.h"

#include <gtest/gtest.h>

namespace orba {
namespace {

TEST(Keys, QtKeysBecomeTheCommandTableCodes) {
    struct Case {
        int qtKey;
        Qt::KeyboardModifiers modifiers;
        int code;
    } cases[] = {
        {Qt::Key_A, Qt::NoModifier, 0x41},         {Qt::Key_Z, Qt::ShiftModifier, 0x5A},
        {Qt::Key_4, Qt::NoModifier, 0x34},         {Qt::Key_6, Qt::NoModifier, 0x36},
        {Qt::Key_4, Qt::KeypadModifier, 0x64},     {Qt::Key_6, Qt::KeypadModifier, 0x66},
        {Qt::Key_Left, Qt::KeypadModifier, 0x25},  // keypad 4 with Num Lock off
        {Qt::Key_Up, Qt::NoModifier, 0x26},        {Qt::Key_Right, Qt::NoModifier, 0x27},
        {Qt::Key_Down, Qt::NoModifier, 0x28},      {Qt::Key_Return, Qt::NoModifier, 0x0D},
        {Qt::Key_Enter, Qt::KeypadModifier, 0x0D}, {Qt::Key_Escape, Qt::NoModifier, 0x1B},
        {Qt::Key_Space, Qt::NoModifier, 0x20},     {Qt::Key_Backspace, Qt::NoModifier, 0x08},
        {Qt::Key_F6, Qt::NoModifier, 0x75},        {Qt::Key_F9, Qt::ControlModifier, 0x78},
        {Qt::Key_Tab, Qt::NoModifier, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(virtualKey(c.qtKey, c.modifiers).code, c.code) << c.qtKey;
    VirtualKey altEnter = virtualKey(Qt::Key_Enter, Qt::AltModifier | Qt::KeypadModifier);
    EXPECT_TRUE(altEnter.alt && !altEnter.ctrl && !altEnter.shift);
}

TEST(Keys, AShiftedDigitKeyIsPlacedByItsScanCode) {
    // Shift+4 gives "$" and Shift+6 gives "&" or "^", depending on the layout.
    EXPECT_EQ(virtualKey(Qt::Key_Dollar, Qt::ShiftModifier, 13).code, 0x34);
    EXPECT_EQ(virtualKey(Qt::Key_Ampersand, Qt::ShiftModifier, 15).code, 0x36);
    EXPECT_EQ(virtualKey(Qt::Key_ParenRight, Qt::ShiftModifier, 19).code, 0x30);
    EXPECT_EQ(virtualKey(Qt::Key_Dollar, Qt::ShiftModifier, 0).code, 0);
}

}  // namespace
}  // namespace orba
