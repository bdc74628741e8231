// Small decisions of the player shell, kept free of widgets so they can be
// checked on their own.
#pragma once

#include <string>

namespace orba {

// 4 from 23 to 25 December, 1 on 1 January, else 0. `mmdd` is month * 100 + day.
int seasonModeFor(int mmdd);

// Today's date as mmdd; $ORBAKARAOKE_TODAY (four digits) stands in for the clock.
int todayMmdd();

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
