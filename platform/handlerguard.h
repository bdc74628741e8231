// Qt carries no exception through a signal, a slot or an event handler, so
// every handler that can throw runs through guarded(): the error is shown
// (the window's standard error box, or stderr where there is none) and the
// event loop goes on. While one box is open, a repeating timer's further
// errors go to stderr instead of stacking boxes.
#pragma once

#include <exception>

namespace orba {

using ExceptionMessageSink = void (*)(const char* what);

// An exception's message for the user: its what(), except for running out of
// memory (a file too large for the memory the process may use), whose what()
// is only the library's name for it, "std::bad_alloc".
const char* exceptionMessage(const std::exception& e);

// Shows an exception's message the way the program has chosen.
void showExceptionMessage(const char* what);

// The window installs its error box; without one, messages go to stderr.
void setExceptionMessageBox(ExceptionMessageSink box);
// Tests put a recorder in place of the box; nullptr restores the box.
void setExceptionMessageSink(ExceptionMessageSink sink);

template <typename Handler>
void guarded(Handler&& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        showExceptionMessage(exceptionMessage(e));
    } catch (...) {
        showExceptionMessage("Unknown error");
    }
}

}  // namespace orba
