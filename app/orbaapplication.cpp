#include "app/orbaapplication.h"

#include <QMessageBox>
#include <exception>

namespace orba {

OrbaApplication::OrbaApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setExceptionMessageBox(&showErrorBox);
}

bool OrbaApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        showExceptionMessage(exceptionMessage(e));
    } catch (...) {
        showExceptionMessage("Unknown error");
    }
    return false;
}

void showErrorBox(const char* what) {
    QMessageBox::critical(QApplication::activeWindow(), QString::fromUtf8(kApplicationTitle),
                          QString::fromUtf8(what));
}

}  // namespace orba
