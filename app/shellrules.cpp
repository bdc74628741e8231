#include "app/shellrules.h"

namespace orba {

bool cursorHidden(const CursorInputs& in) {
    return cursorPositionNeeded(in.maximised, in.borderNone) && in.previousKnown &&
           in.mouseX == in.previousX && in.mouseY == in.previousY;
}

bool cursorPositionNeeded(bool maximised, bool borderNone) {
    return maximised && borderNone;
}

bool menusShownAtMouseY(int y) {
    return y < 2;
}

}  // namespace orba
