#include <gtest/gtest.h>

#include "tools/probetool.h"
#include "tests/playback/mediafixtures.h"

namespace orba {
namespace {

TEST(ProbeTiming, PlayReportsThePositionReachedAndTheMode) {
    test::TempDir dir;
    std::string path = dir.file("tone.ogg");
    ASSERT_TRUE(test::writeTone(path, 2000));
    ::testing::internal::CaptureStdout();
    int code = runProbe({"--probe", path, "--play", "500"});
    std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(code, 0);
    std::string position = test::jsonField(out, "position");
    ASSERT_FALSE(position.empty()) << out;
    EXPECT_NEAR(std::stoi(position), 500, 80);
    EXPECT_EQ(test::jsonField(out, "mode"), "2") << out;
}

}  // namespace
}  // namespace orba
