// The application object. An exception that escapes any event handler is
// shown in a standard error box and the event loop goes on.
#pragma once

#include <QApplication>

#include "platform/handlerguard.h"

namespace orba {

inline constexpr const char* kApplicationTitle = "ORBA KARAOKE PLAYER";

class OrbaApplication : public QApplication {
public:
    OrbaApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The standard error box, which the application installs as the way
// exceptions are shown.
void showErrorBox(const char* what);

}  // namespace orba
