#include "authoring/keycommands.h"

#include "playback/mastervolume.h"
#include "settings/playerstate.h"
#include "settings/settings.h"

namespace orba {

namespace {

constexpr int kQuickReferenceTime = 10000;
constexpr int kSeekStep = 2000;
constexpr int kSeekEndMargin = 1000;
constexpr int kVolumeStep = 5;

bool is(const VirtualKey& key, char letter) {
    return key.code == vk::letter(letter);
}

std::string valueMessage(const char* label, int value) {
    return label + std::to_string(value);
}

// The toggles and cycles: the first row that matches acts and posts its label
// with the new value.
bool toggleOrCycle(const VirtualKey& key, Settings& s, PlayerState& st) {
    std::string& msg = st.statusMessage;
    if (is(key, 'D')) {
        st.debugMode = !st.debugMode;
        msg = valueMessage("DebugMode : ", st.debugMode);
    } else if (is(key, 'P') && !key.ctrl) {
        st.orbaObject = !st.orbaObject;
        msg = valueMessage("OrbaObject : ", st.orbaObject);
    } else if (is(key, 'N')) {
        s.showNext = !s.showNext;
        msg = valueMessage("NextMessage : ", s.showNext);
    } else if (is(key, 'T')) {
        s.textBack = cycled(s.textBack, 4);
        msg = valueMessage("TextBack : ", s.textBack);
    } else if (is(key, 'W')) {
        s.wipeStyle = cycled(s.wipeStyle, 2);
        msg = valueMessage("WipeStyle : ", s.wipeStyle);
    } else if (is(key, 'S') && !key.ctrl) {
        s.backgroundType = cycled(s.backgroundType, 5);
        msg = valueMessage("SceneStyle : ", s.backgroundType);
    } else if (is(key, 'Z')) {
        s.noiseType = cycled(s.noiseType, 4);
        msg = valueMessage("NoiseType : ", s.noiseType);
    } else if (is(key, 'I')) {
        s.imageStyle = cycled(s.imageStyle, 6);
        msg = valueMessage("ImageDspType : ", s.imageStyle);
    } else {
        return false;
    }
    return true;
}

bool isPreviousKey(const VirtualKey& key) {
    return key.code == vk::Digit0 + 4 || key.code == vk::Numpad0 + 4 ||
           (key.code == vk::Left && !key.ctrl);
}

bool isNextKey(const VirtualKey& key) {
    return key.code == vk::Digit0 + 6 || key.code == vk::Numpad0 + 6 ||
           (key.code == vk::Right && !key.ctrl);
}

void seek(bool forward, PlayerState& st, KeyTarget& target) {
    if (!forward && st.isMidi) return;  // a MIDI song cannot be rewound
    int p = target.devicePosition();
    st.statusMessage = forward ? "Fastforward!" : "Rewind!";
    p = seekTarget(forward, p, target.deviceLength());
    target.stopDevice();
    target.setStartPosition(p);
    target.playDevice();
    if (st.isMidi) {
        target.waitUntilPlaying();
        st.songTime = target.devicePosition();
    }
}

void stepVolume(bool up, const Settings& s, PlayerState& st, KeyTarget& target) {
    unsigned int current = 0;
    // Without a readable mixer the keys step from the configured volume.
    int from = target.getMasterVolume(current) ? int(current) : s.volume;
    int v = steppedVolume(from, up ? kVolumeStep : -kVolumeStep);
    st.statusMessage = valueMessage("Master Volume : ", v);
    target.setMasterVolume(unsigned(v));
}

}  // namespace

std::string quickReferenceText() {
    return "D : DebugMode|N : NextMessage Disp|T : TextBack|"
           "W : WipeStyle|"
           "S : SceneStyle|Z : NoiseType|I : ImageDspType||"
           "UP/DOWN : Volume|ESC : PlayReset||"
           "Left/Right : Select|L : PlayList|SPACE : PAUSE||"
           "CTRL + F9 : Save this music setting|CTRL + P : Make plain text|"
           "CTRL + S : Make Safe text||"
           "CTRL + Left/Right : Fastforward & Rewind";
}

int cycled(int value, int count) {
    // C++'s remainder keeps the dividend's sign. 64 bits: a hand-edited
    // settings file can hold the largest int.
    return static_cast<int>((static_cast<long long>(value) + 1) % count);
}

int seekTarget(bool forward, int position, int length) {
    int p = position + (forward ? kSeekStep : -kSeekStep);
    if (p > length - kSeekEndMargin) p = length - kSeekEndMargin;
    // Last, so that a song shorter than the margin restarts at 0, never before it.
    if (p < 0) p = 0;
    return p;
}

void keyDown(VirtualKey& key, Settings& s, PlayerState& st, KeyTarget& target) {
    if (key.code == vk::Return) {
        if (key.alt) {
            target.toggleFullScreen();
        } else {
            st.statusMessage = quickReferenceText();
            st.statusTime = kQuickReferenceTime;
        }
        return;
    }
    if (toggleOrCycle(key, s, st)) return;

    if (key.code == vk::Space && !st.timeEditMode &&
        (target.devicePlaying() || target.devicePaused())) {
        target.togglePause();
        st.statusMessage = target.devicePlaying() ? "PLAYING" : "PAUSE";
    }

    const bool previous = isPreviousKey(key);
    if (previous || isNextKey(key)) {
        if (!s.useBgm) return;
        target.stepSong(previous ? -1 : +1);
        key.code = vk::letter('L');
    }
    if (is(key, 'L')) {
        st.statusMessage = target.playList();
        target.drawFrame();
        return;
    }

    if ((key.code == vk::Left || key.code == vk::Right) && key.ctrl) {
        if (target.devicePlaying()) seek(key.code == vk::Right, st, target);
        return;
    }
    if (key.code == vk::Up || key.code == vk::Down) {
        stepVolume(key.code == vk::Up, s, st, target);
        return;
    }
    if (key.code == vk::F9 && key.ctrl) {
        // An empty song path would name a ".oka" file in the current folder.
        if (s.useBgm && !s.bgmFile.empty())
            st.statusMessage = saveMessage(target.savePerSongSettings());
        return;
    }
    if ((is(key, 'P') || is(key, 'S')) && key.ctrl) {
        if (s.useMessage)
            st.statusMessage = saveMessage(
                target.writeTextExport(is(key, 'P') ? TextExport::Plain : TextExport::Safe));
        return;
    }
    if (key.code == vk::Escape) {
        st.timeEditMode = false;
        target.loadSong();
        return;
    }
    if (st.timeEditMode && s.useBgm && s.useMessage &&
        (key.code == vk::Space || key.code == vk::Back || key.code == vk::F6))
        target.timeEditKey(key.code);
}

}  // namespace orba
