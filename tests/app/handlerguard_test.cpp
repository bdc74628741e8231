#include "platform/handlerguard.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace orba {
namespace {

std::vector<std::string> g_shown;

TEST(HandlerGuard, AThrowingHandlerShowsItsMessageOnceAndTheCallerGoesOn) {
    g_shown.clear();
    setExceptionMessageSink([](const char* what) { g_shown.push_back(what); });
    int after = 0;
    guarded([] { throw std::runtime_error("a.ini に書き込めません"); });
    guarded([&] { ++after; });
    EXPECT_EQ(g_shown, std::vector<std::string>{"a.ini に書き込めません"});
    EXPECT_EQ(after, 1);
    setExceptionMessageSink(nullptr);
}

TEST(HandlerGuard, ErrorsWhileABoxIsOpenDoNotStackBoxes) {
    g_shown.clear();
    // The box runs an event loop in which the frame timer fails again.
    setExceptionMessageSink([](const char* what) {
        g_shown.push_back(what);
        guarded([] { throw std::runtime_error("again"); });
    });
    guarded([] { throw std::runtime_error("first"); });
    guarded([] { throw std::runtime_error("later"); });
    EXPECT_EQ(g_shown, (std::vector<std::string>{"first", "later"}));
    setExceptionMessageSink(nullptr);
}

}  // namespace
}  // namespace orba
