// Runs the real `orbakaraoke --probe`: in the sanitizer build this is the
// check that the program itself runs clean, leak check at exit included.
#include <gtest/gtest.h>

#include "tests/playback/mediafixtures.h"
#include "tests/support/commandrun.h"

namespace orba {
namespace {

using test::jsonField;

test::CommandRun probe(const test::TempDir& dir, const std::string& file) {
    return test::runProgram(dir, ORBAKARAOKE_BIN, "--probe '" + file + "'");
}

TEST(ProbeCommand, PlayableFilesOpenWithNothingOnStderr) {
    test::TempDir dir;
    ASSERT_TRUE(test::writeTone(dir.file("tone.wav"), 1000));
    test::writeFile(dir.file("song.mid"), test::tempoChangeMidi());
    struct Case {
        std::string file;
        const char* length;
    };
    for (const Case& c : {Case{dir.file("tone.wav"), "1000"}, Case{dir.file("song.mid"), "3000"}}) {
        test::CommandRun r = probe(dir, c.file);
        EXPECT_EQ(r.exitCode, 0) << c.file;
        EXPECT_EQ(jsonField(r.out, "length"), c.length) << c.file;
        EXPECT_EQ(r.err, "") << c.file;
    }
}

TEST(ProbeCommand, BrokenRiffMidiFilesAreRefusedNotFatal) {
    // The last chunk has an odd length and no pad byte; the walk once
    // stepped past the end and the program aborted.
    const std::string files[] = {
        std::string("RIFF\x0D\0\0\0RMIDabcd\x01\0\0\0x", 21),
        std::string("RIFF\x0D\0\0\0RMIDLIST\x03\0\0\0abc", 23),
    };
    test::TempDir dir;
    for (const std::string& bytes : files) {
        test::writeFile(dir.file("broken.mid"), bytes);
        test::CommandRun r = probe(dir, dir.file("broken.mid"));
        EXPECT_EQ(r.exitCode, 2) << r.err;
        EXPECT_NE(jsonField(r.out, "error"), "0");
        EXPECT_EQ(r.err.find("terminate"), std::string::npos) << r.err;
    }
}

}  // namespace
}  // namespace orba
