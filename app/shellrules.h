// Small decisions of the player shell, kept free of widgets so they can be
// checked on their own.
#pragma once

#include <string>

namespace orba {

// In full screen the cursor hides once the mouse rests for a frame.
struct CursorInputs {
    bool maximised = false;
    bool borderNone = false;
    int mouseX = 0, mouseY = 0;
    int previousX = 0, previousY = 0;
};
bool cursorHidden(const CursorInputs& in);

// In full screen the menus show only while the mouse is in the top two rows.
bool menusShownAtMouseY(int y);

}  // namespace orba
