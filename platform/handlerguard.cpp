#include "platform/handlerguard.h"

#include <cstdio>
#include <new>
#include <stdexcept>

namespace orba {

namespace {
ExceptionMessageSink g_box = nullptr;
ExceptionMessageSink g_sink = nullptr;
}  // namespace

const char* exceptionMessage(const std::exception& e) {
    // A length error is a size beyond any memory: a count read from a file.
    if (dynamic_cast<const std::bad_alloc*>(&e) || dynamic_cast<const std::length_error*>(&e))
        return "out of memory: this needs more memory than the player may use (is a file "
               "far larger than it should be?)";
    return e.what();
}

void setExceptionMessageBox(ExceptionMessageSink box) {
    g_box = box;
}

void setExceptionMessageSink(ExceptionMessageSink sink) {
    g_sink = sink;
}

void showExceptionMessage(const char* what) {
    // The box runs its own event loop, in which the frame timer goes on: its
    // errors while a box is open go to stderr instead of stacking boxes.
    static bool boxOpen = false;
    ExceptionMessageSink show = g_sink ? g_sink : g_box;
    if (boxOpen || !show) {
        std::fprintf(stderr, "orbakaraoke: %s\n", what);
        return;
    }
    boxOpen = true;
    show(what);
    boxOpen = false;
}

}  // namespace orba
