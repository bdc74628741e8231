// What the user asked the player to do, as a small value: a key press, a
// menu entry and (later) a desktop media control all become a Command, and
// Player::run carries it out. Which command a key means is decided by
// decideKey from the key, the settings and the player state alone; what the
// device must say first (is it playing?) is checked when the command runs.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "platform/keys.h"
#include "player/partyqueue.h"

namespace orba {

struct PlayerState;
struct Settings;

enum class CommandKind {
    None,
    FullScreen,       // Alt+Enter
    QuickReference,   // Enter
    LookToggle,       // D P N T W S Z I; value: the letter
    PauseToggle,      // Space, while the music plays or is paused
    StepSong,         // value -1 or +1 through the folder, then the play list
    PlayList,         // L
    Seek,             // value -1 back, +1 on, while the music plays
    Volume,           // value -1 down, +1 up
    SavePerSong,      // Ctrl+F9
    TextExport,       // value 0 plain, 1 safe
    Restart,          // Escape: ends the edit mode and loads the song again
    TimeEditTap,      // the edit mode's Space
    TimeEditBack,     // the edit mode's Backspace
    TimeEditSave,     // the edit mode's F6
    SetTimeEditMode,  // the menu entry; value 1 on, 0 off
    OpenSong,         // a music file chosen for the player; path
    DropSong,         // a music file dropped or handed over: the window state is kept first
    SeekTo,           // a desktop control: value, the ms to play from (a planned seek)
    SetVolume,        // a desktop control: value, the master volume in percent
    SingerKey,        // + and -: value +1 or -1 semitone
    SingerTempo,      // Ctrl with + and -: value +1 or -1 step
    VocalCut,         // V
    MelodyMute,       // M: the next channel to mute
    LyricOffset,      // , and .: value, the ms the lyrics move (negative: earlier)
    SingerReset,      // Ctrl+0
    SongEnded,      // queued by the frame that reached the end: folder play, replay or lyrics again
    Play,           // a desktop control: a paused or stopped song plays on, a closed one loads
    Pause,          // a desktop control: a playing song pauses
    Stop,           // a desktop control: the song stands paused at 0, not loaded again
    ApplySettings,  // the settings dialog's OK wrote the file: read it, load the song if it changed
    SetFolderPlay,  // the menu entry: value 1 on, 0 off
    OpenFirstSong,  // at start-up: path, the command line's song ("" for the default); value 1
                    // opens it in the time-tag edit mode
    BeginExport,    // a video export of the song starts: the song pauses, nothing may change it
    EndExport,      // the export ended: the song goes on as it was
    QueueSong,      // queue: the song (queue.path, else queue.songId) for queue.singer
    RemoveQueueEntry,  // entry: a waiting entry leaves the queue
    MoveQueueEntry,    // entry to place `value` of the play order (0: next)
    SkipQueueEntry,    // the song ends at once and the next entry plays
    PauseQueue,        // value 1: song ends take no entry; 0: they do again
    StartUpNext,       // the up-next screen's time is up: the announced song plays
    PartyCode,         // Q: the page's QR code shown or hidden
    ScoreToggle,       // K: singing scoring on or off
};

struct Command {
    Command(CommandKind k = CommandKind::None, int v = 0, std::string p = {})
        : kind(k), value(v), path(std::move(p)) {}

    CommandKind kind = CommandKind::None;
    int value = 0;
    std::string path;
    QueueRequest queue;
    std::int64_t entry = 0;  // a queue entry's id

    bool operator==(const Command&) const = default;
};

// The command a key press means.
Command decideKey(const VirtualKey& key, const Settings& settings, const PlayerState& state);

}  // namespace orba
