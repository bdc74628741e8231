#include "playback/mastervolume.h"

#include <gtest/gtest.h>

#include <climits>

#include "platform/fakemixer.h"

namespace orba {
namespace {

TEST(VolumePercent, ConvertsBothWaysOnA16BitControl) {
    EXPECT_EQ(volumePercentFromValue(13107, 0, 65535), 20u);
    EXPECT_EQ(volumeValueFromPercent(20, 0, 65535), 13107u);
    EXPECT_EQ(volumeValueFromPercent(25, 0, 65535), 16383u);
    EXPECT_EQ(volumeValueFromPercent(100, 0, 65535), 65535u);
    EXPECT_EQ(volumeValueFromPercent(0, 0, 65535), 0u);
}

TEST(VolumePercent, RoundsHalfUpAndCountsFromTheMinimum) {
    // Range 200: a value 1 above the minimum is 0.5 %, 3 above is 1.5 %.
    EXPECT_EQ(volumePercentFromValue(101, 100, 300), 1u);
    EXPECT_EQ(volumePercentFromValue(103, 100, 300), 2u);
    EXPECT_EQ(volumePercentFromValue(100, 100, 300), 0u);
    EXPECT_EQ(volumePercentFromValue(300, 100, 300), 100u);
    EXPECT_EQ(volumeValueFromPercent(50, 100, 300), 200u);
    EXPECT_EQ(volumeValueFromPercent(33, 0, 87), 28u);  // truncated from 28.71
}

TEST(VolumePercent, KeyStepsGoToMultiplesOfFiveWithinTheRange) {
    struct Case {
        int from, step, to;
    };
    for (Case c : {Case{23, 5, 25}, Case{23, -5, 15}, Case{97, 5, 100}, Case{100, 5, 100},
                   Case{4, -5, 0}, Case{0, -5, 0}, Case{50, -5, 45},
                   // a configured volume from a hand-edited settings file
                   Case{INT_MAX, 5, 100}, Case{INT_MAX, -5, 100}, Case{INT_MIN, -5, 0},
                   Case{INT_MIN, 5, 0}, Case{-1, 5, 5}})
        EXPECT_EQ(steppedVolume(c.from, c.step), c.to) << c.from << " by " << c.step;
}

TEST(MasterVolume, OpensLazilyAndLooksTheControlUpOnce) {
    auto mixer = std::make_unique<FakeMixer>(0, 65535, 13107);
    FakeMixer& fake = *mixer;
    MasterVolume volume(std::move(mixer));
    EXPECT_EQ(fake.opens, 0);
    unsigned int percent = 0;
    ASSERT_TRUE(volume.getMasterVolume(percent));
    EXPECT_EQ(percent, 20u);
    ASSERT_TRUE(volume.setMasterVolume(25));
    EXPECT_EQ(fake.value, 16383u);
    EXPECT_EQ(fake.opens, 1);
    EXPECT_EQ(fake.lookups, 1);

    volume.closeMixer();
    EXPECT_EQ(fake.closes, 1);
    ASSERT_TRUE(volume.getMasterVolume(percent));
    EXPECT_EQ(fake.opens, 2);
    EXPECT_EQ(fake.lookups, 2);
}

TEST(MasterVolume, FailuresLeaveTheVolumeAndTheOutValueAlone) {
    struct Case {
        const char* what;
        void (*breakIt)(FakeMixer&);
    };
    const Case cases[] = {
        {"no mixer", [](FakeMixer& m) { m.failOpen = true; }},
        {"no volume control", [](FakeMixer& m) { m.hasControl = false; }},
        {"control without range", [](FakeMixer& m) { m.maximum = m.minimum = 5; }},
    };
    for (const Case& c : cases) {
        auto mixer = std::make_unique<FakeMixer>(0, 65535, 13107);
        c.breakIt(*mixer);
        FakeMixer& fake = *mixer;
        MasterVolume volume(std::move(mixer));
        unsigned int percent = 77;
        EXPECT_FALSE(volume.getMasterVolume(percent)) << c.what;
        EXPECT_EQ(percent, 77u) << c.what;
        EXPECT_FALSE(volume.setMasterVolume(50)) << c.what;
        EXPECT_EQ(fake.value, 13107u) << c.what;
    }
}

TEST(MasterVolume, MixerThatDoesNotAnswerFailsOnceAndStaysOpen) {
    auto mixer = std::make_unique<FakeMixer>(0, 65535, 13107);
    mixer->failCapabilities = true;
    FakeMixer& fake = *mixer;
    MasterVolume volume(std::move(mixer));
    unsigned int percent = 77;
    EXPECT_FALSE(volume.getMasterVolume(percent));
    EXPECT_EQ(percent, 77u);
    EXPECT_TRUE(volume.getMasterVolume(percent));
    EXPECT_EQ(percent, 20u);
    EXPECT_EQ(fake.opens, 1);
}

TEST(MasterVolume, RefusedWriteReportsFalse) {
    auto mixer = std::make_unique<FakeMixer>(0, 100, 10);
    mixer->failWrite = true;
    MasterVolume volume(std::move(mixer));
    EXPECT_FALSE(volume.setMasterVolume(50));
}

TEST(MasterVolume, PercentAboveHundredSetsTheMaximum) {
    auto mixer = std::make_unique<FakeMixer>(0, 1000, 0);
    FakeMixer& fake = *mixer;
    MasterVolume volume(std::move(mixer));
    ASSERT_TRUE(volume.setMasterVolume(250));
    EXPECT_EQ(fake.value, 1000u);
}

class ConfiguredVolume : public ::testing::Test {
protected:
    void SetUp() override {
        auto mixer = std::make_unique<FakeMixer>(0, 65535, volumeValueFromPercent(60, 0, 65535));
        fake = mixer.get();
        installMixer(std::move(mixer));
    }
    void TearDown() override { installMixer(makeSystemMixer()); }
    unsigned int systemPercent() const { return volumePercentFromValue(fake->value, 0, 65535); }
    FakeMixer* fake = nullptr;
};

TEST_F(ConfiguredVolume, IsImposedAtLoadAndTheFoundVolumeComesBackAtExit) {
    int savedVolume = 0;
    imposeConfiguredVolume(20, savedVolume);
    EXPECT_EQ(savedVolume, 60);
    EXPECT_EQ(systemPercent(), 20u);
    restoreSavedVolume(savedVolume);
    EXPECT_EQ(systemPercent(), 60u);
    EXPECT_EQ(fake->closes, 1);
}

TEST_F(ConfiguredVolume, ASecondLoadRemembersTheVolumeFoundThen) {
    int savedVolume = 0;
    imposeConfiguredVolume(20, savedVolume);
    setMasterVolume(35);  // the volume keys meanwhile
    imposeConfiguredVolume(20, savedVolume);
    EXPECT_EQ(savedVolume, 35);
    restoreSavedVolume(savedVolume);
    EXPECT_EQ(systemPercent(), 35u);
}

TEST_F(ConfiguredVolume, UnreadableVolumeKeepsTheSavedOne) {
    fake->hasControl = false;
    int savedVolume = 42;
    imposeConfiguredVolume(20, savedVolume);
    EXPECT_EQ(savedVolume, 42);
}

TEST(SystemMixer, SwitchedOffMixerFailsEveryOperationQuietly) {
    // The test environment sets ORBAKARAOKE_MIXER=none.
    MasterVolume volume(makeSystemMixer());
    unsigned int percent = 9;
    EXPECT_FALSE(volume.openMixer());
    EXPECT_FALSE(volume.findVolumeControl());
    EXPECT_FALSE(volume.getMasterVolume(percent));
    EXPECT_FALSE(volume.setMasterVolume(20));
    EXPECT_EQ(percent, 9u);
    volume.closeMixer();
}

}  // namespace
}  // namespace orba
