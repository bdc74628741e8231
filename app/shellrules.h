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
    // False on the first full-screen frame: the window does not follow the
    // mouse outside full screen, so there is nothing to compare with yet.
    bool previousKnown = true;
};
bool cursorHidden(const CursorInputs& in);

// Only in full screen can the cursor hide, so only there does a frame need
// the mouse position.
bool cursorPositionNeeded(bool maximised, bool borderNone);

// In full screen the menus show only while the mouse is in the top two rows.
bool menusShownAtMouseY(int y);

}  // namespace orba
