// The application object. An exception that escapes any event handler is
// shown in a standard error box and the event loop goes on.
#pragma once

#include <QApplication>

namespace orba {

inline constexpr const char* kApplicationTitle = "ORBA KARAOKE PLAYER";

class OrbaApplication : public QApplication {
public:
    OrbaApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The standard error box for an exception's message.
void showExceptionMessage(const char* what);

// Tests put a recorder in place of the modal box; nullptr restores the box.
using ExceptionMessageSink = void (*)(const char* what);
void setExceptionMessageSink(ExceptionMessageSink sink);

}  // namespace orba
