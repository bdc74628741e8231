#include <gtest/gtest.h>

#include <regex>

#include "playback/probe.h"
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
    std::smatch m;
    ASSERT_TRUE(std::regex_search(out, m, std::regex("\"position\": *([0-9]+)"))) << out;
    EXPECT_NEAR(std::stoi(m[1].str()), 500, 80);
    EXPECT_TRUE(std::regex_search(out, std::regex("\"mode\": *2"))) << out;
}

}  // namespace
}  // namespace orba
