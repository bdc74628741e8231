// Qt carries no exception through a signal, a slot or an event handler, so
// every handler that can throw runs through guarded(): the error shows in the
// standard error box and the event loop goes on. While one box is open, a
// repeating timer's further errors go to stderr instead of stacking boxes.
#pragma once

#include <exception>

#include "app/orbaapplication.h"

namespace orba {

template <typename Handler>
void guarded(Handler&& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        showExceptionMessage(e.what());
    } catch (...) {
        showExceptionMessage("Unknown error");
    }
}

}  // namespace orba
