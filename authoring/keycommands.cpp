#include "authoring/keycommands.h"

#include "settings/settings.h"

namespace orba {

namespace {

constexpr int kSeekStep = 2000;
constexpr int kSeekEndMargin = 1000;

std::string valueMessage(const char* label, int value) {
    return label + std::to_string(value);
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
           "CTRL + Left/Right : Fastforward & Rewind||"
           "+/- : Key  CTRL + +/- : Tempo  V : VocalCut  M : MelodyMute  ,/. : LyricOffset  "
           "CTRL + 0 : SingerReset||"
           "K : Scoring (sing into the microphone)";
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

bool isLookToggle(const VirtualKey& key) {
    for (char letter : {'D', 'N', 'T', 'W', 'Z', 'I'})
        if (key.code == vk::letter(letter)) return true;
    return (key.code == vk::letter('P') || key.code == vk::letter('S')) && !key.ctrl;
}

std::string applyLookToggle(char letter, Settings& s, LookFlags& look) {
    switch (letter) {
        case 'D':
            look.debugMode = !look.debugMode;
            return valueMessage("DebugMode : ", look.debugMode);
        case 'P':
            look.orbaObject = !look.orbaObject;
            return valueMessage("OrbaObject : ", look.orbaObject);
        case 'N':
            s.showNext = !s.showNext;
            return valueMessage("NextMessage : ", s.showNext);
        case 'T':
            s.textBack = cycled(s.textBack, 4);
            return valueMessage("TextBack : ", s.textBack);
        case 'W':
            s.wipeStyle = cycled(s.wipeStyle, 2);
            return valueMessage("WipeStyle : ", s.wipeStyle);
        case 'S':
            s.backgroundType = cycled(s.backgroundType, 5);
            return valueMessage("SceneStyle : ", s.backgroundType);
        case 'Z':
            s.noiseType = cycled(s.noiseType, 4);
            return valueMessage("NoiseType : ", s.noiseType);
        case 'I':
            s.imageStyle = cycled(s.imageStyle, 6);
            return valueMessage("ImageDspType : ", s.imageStyle);
        default:
            return {};
    }
}

std::string volumeMessage(int volume) {
    return valueMessage("Master Volume : ", volume);
}

}  // namespace orba
