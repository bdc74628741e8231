#include "player/command.h"

#include "authoring/keycommands.h"
#include "authoring/singercontrols.h"
#include "player/playerstate.h"
#include "settings/settings.h"

namespace orba {

namespace {

bool is(const VirtualKey& key, char letter) {
    return key.code == vk::letter(letter);
}

char letterOf(const VirtualKey& key) {
    return static_cast<char>(key.code);
}

bool isPreviousKey(const VirtualKey& key) {
    return key.code == vk::Digit0 + 4 || key.code == vk::Numpad0 + 4 ||
           (key.code == vk::Left && !key.ctrl);
}

bool isNextKey(const VirtualKey& key) {
    return key.code == vk::Digit0 + 6 || key.code == vk::Numpad0 + 6 ||
           (key.code == vk::Right && !key.ctrl);
}

Command command(CommandKind kind, int value = 0) {
    return Command{kind, value, {}};
}

// The singer's keys: + and - move the key (with Ctrl the tempo), V cuts the
// voice, M mutes the next melody channel, "," and "." move the lyrics
// earlier and later (with Shift finely), Ctrl+0 puts everything back.
Command decideSingerKey(const VirtualKey& key) {
    const bool up = key.code == vk::OemPlus || key.code == vk::Add;
    const bool down = key.code == vk::OemMinus || key.code == vk::Subtract;
    if (up || down)
        return command(key.ctrl ? CommandKind::SingerTempo : CommandKind::SingerKey, up ? +1 : -1);
    if (is(key, 'V')) return command(CommandKind::VocalCut);
    if (is(key, 'M')) return command(CommandKind::MelodyMute);
    if (key.code == vk::OemComma || key.code == vk::OemPeriod) {
        const int step = key.shift ? kLyricOffsetFineStep : kLyricOffsetStep;
        return command(CommandKind::LyricOffset, key.code == vk::OemPeriod ? step : -step);
    }
    if (key.code == vk::Digit0 && key.ctrl) return command(CommandKind::SingerReset);
    return {};
}

}  // namespace

Command decideKey(const VirtualKey& key, const Settings& s, const PlayerState& st) {
    if (key.code == vk::Return)
        return command(key.alt ? CommandKind::FullScreen : CommandKind::QuickReference);
    if (isLookToggle(key)) return command(CommandKind::LookToggle, letterOf(key));
    if (key.code == vk::Space && !st.timeEdit.timeEditMode)
        return command(CommandKind::PauseToggle);

    const bool previous = isPreviousKey(key);
    if (previous || isNextKey(key)) {
        if (!s.useBgm) return {};
        return command(CommandKind::StepSong, previous ? -1 : +1);
    }
    if (is(key, 'L')) return command(CommandKind::PlayList);
    if ((key.code == vk::Left || key.code == vk::Right) && key.ctrl)
        return command(CommandKind::Seek, key.code == vk::Right ? +1 : -1);
    if (key.code == vk::Up || key.code == vk::Down)
        return command(CommandKind::Volume, key.code == vk::Up ? +1 : -1);
    if (key.code == vk::F9 && key.ctrl) {
        // An empty song path would name a ".oka" file in the current folder.
        if (s.useBgm && !s.bgmFile.empty()) return command(CommandKind::SavePerSong);
        return {};
    }
    if ((is(key, 'P') || is(key, 'S')) && key.ctrl) {
        if (s.useMessage) return command(CommandKind::TextExport, is(key, 'P') ? 0 : 1);
        return {};
    }
    if (Command singer = decideSingerKey(key); singer.kind != CommandKind::None) return singer;
    if (key.code == vk::Escape) return command(CommandKind::Restart);
    if (is(key, 'Q') && !key.ctrl && !key.alt) return command(CommandKind::PartyCode);
    if (is(key, 'K') && !key.ctrl && !key.alt) return command(CommandKind::ScoreToggle);
    if (st.timeEdit.timeEditMode && s.useBgm && s.useMessage) {
        if (key.code == vk::Space) return command(CommandKind::TimeEditTap);
        if (key.code == vk::Back) return command(CommandKind::TimeEditBack);
        if (key.code == vk::F6) return command(CommandKind::TimeEditSave);
    }
    return {};
}

}  // namespace orba
