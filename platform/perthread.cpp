#include "platform/perthread.h"

#include <QCoreApplication>
#include <QThread>

namespace orba {

bool isApplicationThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

}  // namespace orba
