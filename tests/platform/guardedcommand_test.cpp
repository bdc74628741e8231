#include "platform/guardedcommand.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>

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
        // Running out of memory is said in words, not as the library's name for it.
        {[]() -> int { throw std::bad_alloc(); },
         "orbakaraoke: out of memory: this needs more memory than the player may use (is a "
         "file far larger than it should be?)\n"},
        {[]() -> int {
             std::string s;
             s.reserve(~std::size_t{0});  // a length error: beyond any memory
             return 0;
         },
         "orbakaraoke: out of memory: this needs more memory than the player may use (is a "
         "file far larger than it should be?)\n"},
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
