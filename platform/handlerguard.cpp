#include "platform/handlerguard.h"

#include <cstdio>

namespace orba {

namespace {
ExceptionMessageSink g_box = nullptr;
ExceptionMessageSink g_sink = nullptr;
}  // namespace

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
