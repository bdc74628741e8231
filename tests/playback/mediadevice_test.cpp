#include "playback/mediadevice.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/playback/mediafixtures.h"
#include "tests/support/midiwriter.h"
#include "tests/support/zipwriter.h"

namespace orba {
namespace {

using test::MusicTypeTest;

TEST_P(MusicTypeTest, OpensStoppedAtZeroWithTheLengthItDecodesTo) {
    MediaDevice device;
    device.open(path);
    device.setTimeFormatMilliseconds();
    EXPECT_EQ(device.lastError(), 0u);
    EXPECT_EQ(device.errorText(), "");
    EXPECT_EQ(device.mode(), kModeStopped);
    EXPECT_EQ(device.position(), 0);
    if (GetParam() == ".mid") {
        EXPECT_TRUE(device.playsMidi());
        EXPECT_EQ(device.length(), test::kTempoChangeMidiMs);
    } else {
        EXPECT_NEAR(device.length(), test::decodedLengthMs(path), 50);
    }
}

TEST_P(MusicTypeTest, SeekLeavesTheDeviceStoppedThere) {
    MediaDevice device;
    device.open(path);
    device.seek(1000);
    EXPECT_EQ(device.mode(), kModeStopped);
    EXPECT_NEAR(device.position(), 1000, 30);
}

TEST_P(MusicTypeTest, CloseLeavesNoDevice) {
    MediaDevice device;
    device.open(path);
    device.close();
    EXPECT_FALSE(device.isOpen());
    EXPECT_EQ(device.mode(), kModeNotReady);
    EXPECT_THROW(device.play(), MediaDeviceError);
}

INSTANTIATE_TEST_SUITE_P(AllTypes, MusicTypeTest, ::testing::ValuesIn(test::musicTypes()),
                         test::musicTypeName);

TEST(MediaDevice, CheckingCommandsWithoutADeviceRaiseNoDevice) {
    MediaDevice device;
    const std::function<void()> checking[] = {
        [&] { device.play(); },  [&] { device.stop(); },         [&] { device.pauseToggle(); },
        [&] { device.seek(0); }, [&] { (void)device.length(); },
    };
    for (const auto& command : checking) {
        try {
            command();
            ADD_FAILURE() << "no error raised";
        } catch (const MediaDeviceError& e) {
            EXPECT_STREQ(e.what(), kNoDeviceText);
        }
    }
    EXPECT_NO_THROW(device.position());
    EXPECT_NO_THROW(device.mode());
    EXPECT_NO_THROW(device.setStartPosition(10));
    EXPECT_NO_THROW(device.setTimeFormatMilliseconds());
    EXPECT_NO_THROW(device.close());
}

TEST(MediaDevice, StartPositionBeyondTheEndIsOutOfRange) {
    test::TempDir dir;
    std::string path = dir.file("a.wav");
    ASSERT_TRUE(test::writeTone(path, 500));
    MediaDevice device;
    device.open(path);
    device.setStartPosition(device.length() + 1000);
    device.play();
    EXPECT_EQ(device.lastError(), kMediaOutOfRange);
    EXPECT_EQ(device.errorText(), kUnknownErrorText);
    EXPECT_EQ(device.mode(), kModeStopped);
}

// The music of a song zip plays from memory as a file would: its length,
// a seek, playing from a position to the end, and a zip that is no song.
TEST(MediaDevice, AZipSongsMusicOpensSeeksAndPlaysFromMemory) {
    test::TempDir dir;
    for (const char* ext : {".mp3", ".ogg", ".wav"}) {
        const std::string music = dir.file(std::string("tone") + ext);
        ASSERT_TRUE(test::writeTone(music, 3000)) << ext;
        const std::string zip = dir.file(std::string("song") + ext + ".zip");
        ASSERT_TRUE(test::writeZip(zip, {{std::string("a/tone") + ext, test::readFile(music)}}));
        MediaDevice device;
        device.open(zip);
        device.setTimeFormatMilliseconds();
        ASSERT_EQ(device.lastError(), 0u) << ext << ": " << device.errorText();
        EXPECT_NEAR(device.length(), test::decodedLengthMs(music), 50) << ext;
        device.seek(1000);
        EXPECT_NEAR(device.position(), 1000, 30) << ext;
        device.setStartPosition(2500);
        device.play();
        EXPECT_TRUE(test::waitForMode(device, kModeStopped, 10000)) << ext;
        EXPECT_NEAR(device.position(), device.length(), 50) << ext;
    }
    ASSERT_TRUE(test::writeZip(dir.file("none.zip"), {{"notes.txt", "words"}}));
    MediaDevice device;
    EXPECT_THROW(device.open(dir.file("none.zip")), MediaDeviceError);
    EXPECT_EQ(device.lastError(), kMediaInvalidFile);
    EXPECT_EQ(device.errorText(), "none.zip: no music file in the zip");
}

struct BadFile {
    const char* what;
    std::string name;
    std::function<void(const std::string&)> make;
};

std::string midiHeaderWith(std::size_t at, std::string bytes) {
    std::string s = test::tempoChangeMidi();
    s.replace(at, bytes.size(), bytes);
    return s;
}

TEST(MediaDevice, FilesThatCannotPlayGiveAnErrorCodeAndText) {
    const BadFile cases[] = {
        {"missing file", "gone.mp3", [](const std::string&) {}},
        {"zero bytes", "empty.mp3", [](const std::string& p) { test::writeFile(p, ""); }},
        {"text named .mp3", "notes.mp3",
         [](const std::string& p) { test::writeFile(p, std::string(3000, 'a') + "\nlyrics\n"); }},
        {"folder named like a song", "folder.wav",
         [](const std::string& p) { std::filesystem::create_directory(p); }},
        {"MIDI header cut short", "short.mid",
         [](const std::string& p) {
             test::writeFile(p, midiHeaderWith(4, std::string("\0\0\0\x02", 4)));
         }},
        {"MIDI with time-code timing", "smpte.mid",
         [](const std::string& p) { test::writeFile(p, midiHeaderWith(12, "\xE7\x28")); }},
        // Readers that trip over these must not take the caller down.
        {"RIFF MIDI whose odd last chunk lacks its pad byte", "odd.mid",
         [](const std::string& p) {
             test::writeFile(p, std::string("RIFF\x0d\0\0\0RMIDabcd\x01\0\0\0x", 21));
         }},
        {"RIFF MIDI holding only an odd LIST chunk", "list.mid",
         [](const std::string& p) {
             test::writeFile(p, std::string("RIFF\x0f\0\0\0RMIDLIST\x03\0\0\0abc", 23));
         }},
    };
    test::TempDir dir;
    for (const BadFile& c : cases) {
        std::string path = dir.file(c.name);
        c.make(path);
        MediaDevice device;
        auto start = std::chrono::steady_clock::now();
        EXPECT_THROW(device.open(path), MediaDeviceError) << c.what;
        EXPECT_LT(test::msSince(start), 10000) << c.what;
        EXPECT_NE(device.lastError(), 0u) << c.what;
        EXPECT_FALSE(device.errorText().empty()) << c.what;
        EXPECT_FALSE(device.isOpen()) << c.what;
        EXPECT_EQ(device.mode(), kModeNotReady) << c.what;
    }
}

TEST(MediaDevice, MissingFileReportsGStreamersOwnText) {
    test::TempDir dir;
    MediaDevice device;
    EXPECT_THROW(device.open(dir.file("gone.ogg")), MediaDeviceError);
    EXPECT_EQ(device.lastError(), kMediaFileNotFound);
    EXPECT_NE(device.errorText(), kUnknownErrorText);
}

TEST(MediaDevice, FailedOpenClosesThePreviousSongAndTheNextOpenClearsTheError) {
    test::TempDir dir;
    std::string good = dir.file("good.wav");
    ASSERT_TRUE(test::writeTone(good, 500));
    MediaDevice device;
    device.open(good);
    EXPECT_THROW(device.open(dir.file("gone.wav")), MediaDeviceError);
    EXPECT_FALSE(device.isOpen());
    device.open(good);
    EXPECT_EQ(device.lastError(), 0u);
    EXPECT_EQ(device.errorText(), "");
}

TEST(MediaDevice, OddButPlayableFilesOpenWithTheirLength) {
    test::TempDir dir;
    struct Case {
        const char* what;
        std::string name;
        std::function<bool(const std::string&)> make;
        int length;  // -1: what GStreamer decodes
    };
    const Case cases[] = {
        {"Japanese name with spaces", "歌 の ファイル 1.wav",
         [](const std::string& p) { return test::writeTone(p, 1000); }, 1000},
        {"MP3 without a length header", "plain.mp3",
         [](const std::string& p) { return test::writeTone(p, 2000, false); }, -1},
        {"MP3 without a length header behind a 1.5 MB picture tag", "cover.mp3",
         [](const std::string& p) {
             if (!test::writeTone(p, 2000, false)) return false;
             const std::uint32_t body = 1500000;
             std::string tag = "ID3\x03";
             tag += '\0';
             tag += '\0';
             for (int shift : {21, 14, 7, 0}) tag += char((body >> shift) & 0x7F);
             test::writeFile(p, tag + std::string(body, '\0') + test::readFile(p));
             return true;
         },
         -1},
        {"truncated MP3", "cut.mp3",
         [](const std::string& p) {
             if (!test::writeTone(p, 2000)) return false;
             std::string bytes = test::readFile(p);
             test::writeFile(p, bytes.substr(0, bytes.size() / 2 + 77));
             return true;
         },
         -1},
        {"MIDI cut inside its last track", "cut.mid",
         [](const std::string& p) {
             std::string bytes = test::tempoChangeMidi();
             test::writeFile(p, bytes.substr(0, bytes.size() - 8));
             return true;
         },
         test::kTempoChangeMidiMs},  // the tempo track still ends at 3000 ms
        {"MIDI in a RIFF wrapper", "wrapped.rmi",
         [](const std::string& p) {
             std::string smf = test::tempoChangeMidi();
             std::string riff = "RIFF";
             for (int shift : {0, 8, 16, 24}) riff += char((smf.size() + 12) >> shift);
             riff += "RMIDdata";
             for (int shift : {0, 8, 16, 24}) riff += char(smf.size() >> shift);
             test::writeFile(p, riff + smf);
             return true;
         },
         test::kTempoChangeMidiMs},
    };
    for (const Case& c : cases) {
        std::string path = dir.file(c.name);
        ASSERT_TRUE(c.make(path)) << c.what;
        MediaDevice device;
        EXPECT_NO_THROW(device.open(path)) << c.what << ": " << device.errorText();
        int expected = c.length >= 0 ? c.length : test::decodedLengthMs(path);
        EXPECT_NEAR(device.length(), expected, 50) << c.what;
    }
}

// Sets ORBAKARAOKE_AUDIO_SINK for one test.
class ConfiguredSink {
public:
    explicit ConfiguredSink(const char* description) {
        const char* old = std::getenv("ORBAKARAOKE_AUDIO_SINK");
        m_old = old ? old : "";
        ::setenv("ORBAKARAOKE_AUDIO_SINK", description, 1);
    }
    ~ConfiguredSink() { ::setenv("ORBAKARAOKE_AUDIO_SINK", m_old.c_str(), 1); }

private:
    std::string m_old;
};

TEST(MediaDevice, AnUnusableConfiguredSinkIsReportedOnceAndTheSongStillOpens) {
    test::TempDir dir;
    std::string path = dir.file("tone.wav");
    ASSERT_TRUE(test::writeTone(path, 500));
    ConfiguredSink sink("no-such-sink-element");
    ::testing::internal::CaptureStderr();
    MediaDevice device;
    EXPECT_NO_THROW(device.open(path)) << device.errorText();
    EXPECT_NO_THROW(device.open(path)) << device.errorText();
    std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("ORBAKARAOKE_AUDIO_SINK \"no-such-sink-element\" cannot be used"),
              std::string::npos)
        << said;
    EXPECT_EQ(said.find("ORBAKARAOKE_AUDIO_SINK", said.find('\n')), std::string::npos) << said;
}

// The output breaks a few buffers into the song: the song ends, and the
// device keeps the error's text for the player to show, once.
TEST(MediaDevice, AnErrorWhileASongPlaysIsKeptUntilTaken) {
    test::TempDir dir;
    std::string path = dir.file("tone.wav");
    ASSERT_TRUE(test::writeTone(path, 3000));
    ConfiguredSink sink("identity error-after=20 ! fakesink sync=false");
    MediaDevice device;
    device.open(path);
    EXPECT_EQ(device.takePlaybackError(), "");
    device.play();
    ASSERT_TRUE(test::waitForMode(device, kModeStopped, 10000));
    // The mode question that saw the song end has already cleared the last
    // error; the playback error outlives it.
    EXPECT_EQ(device.lastError(), 0u);
    EXPECT_NE(device.takePlaybackError(), "");
    EXPECT_EQ(device.takePlaybackError(), "");
}

}  // namespace
}  // namespace orba
