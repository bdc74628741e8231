#include "app/shellrules.h"

namespace orba {

bool cursorHidden(const CursorInputs& in) {
    return in.maximised && in.borderNone && in.mouseX == in.previousX && in.mouseY == in.previousY;
}

bool menusShownAtMouseY(int y) {
    return y < 2;
}

}  // namespace orba
