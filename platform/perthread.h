// Caches of measured and drawn text, one for each thread that draws: the
// window's thread and an export's thread never share one, so neither waits
// for the other nor sees a list the other is changing, and Qt's fonts stay
// with the thread whose font cache made them.
#pragma once

#include <memory>

namespace orba {

// True on the thread of the application object, or when there is none.
bool isApplicationThread();

// This thread's value of type T; `Tag` keeps apart two caches of one type.
// The application thread's value is kept to the end of the process, since
// fonts must not be freed after the application object is gone; another
// thread's value goes when that thread ends.
template <typename Tag, typename T>
T& perThread() {
    thread_local T* value = nullptr;
    thread_local std::unique_ptr<T> owned;
    if (!value) {
        if (isApplicationThread()) {
            value = new T;
        } else {
            owned = std::make_unique<T>();
            value = owned.get();
        }
    }
    return *value;
}

}  // namespace orba
