#include "app/orbaapplication.h"

#include <QMessageBox>
#include <cstdio>
#include <exception>

namespace orba {

OrbaApplication::OrbaApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool OrbaApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        showExceptionMessage(e.what());
    } catch (...) {
        showExceptionMessage("Unknown error");
    }
    return false;
}

namespace {
ExceptionMessageSink g_sink = nullptr;
}

void setExceptionMessageSink(ExceptionMessageSink sink) {
    g_sink = sink;
}

void showExceptionMessage(const char* what) {
    // The box runs its own event loop, in which the frame timer goes on: its
    // errors while a box is open go to stderr instead of stacking boxes.
    static bool boxOpen = false;
    if (boxOpen) {
        std::fprintf(stderr, "orbakaraoke: %s\n", what);
        return;
    }
    boxOpen = true;
    if (g_sink)
        g_sink(what);
    else
        QMessageBox::critical(QApplication::activeWindow(), QString::fromUtf8(kApplicationTitle),
                              QString::fromUtf8(what));
    boxOpen = false;
}

}  // namespace orba
