#include "platform/guardedcommand.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace orba {
namespace {

TEST(GuardedCommand, ExceptionsBecomeAMessageAndExitCodeTwo) {
    struct Case {
        std::function<int()> command;
        const char* message;
    };
    const Case cases[] = {
        {[]() -> int { throw std::out_of_range("basic_string::substr"); },
         "orbakaraoke: basic_string::substr\n"},
        {[]() -> int { throw 42; }, "orbakaraoke: unexpected error\n"},
    };
    for (const Case& c : cases) {
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(runGuardedCommand(c.command), 2);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.message);
    }
}

TEST(GuardedCommand, ExitCodeOfACommandThatReturnsPassesThrough) {
    EXPECT_EQ(runGuardedCommand([] { return 0; }), 0);
    EXPECT_EQ(runGuardedCommand([] { return 2; }), 2);
}

}  // namespace
}  // namespace orba
