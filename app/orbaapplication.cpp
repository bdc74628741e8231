#include "app/orbaapplication.h"

#include <QMessageBox>
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
    if (g_sink) {
        g_sink(what);
        return;
    }
    QMessageBox::critical(QApplication::activeWindow(), QString::fromUtf8(kApplicationTitle),
                          QString::fromUtf8(what));
}

}  // namespace orba
