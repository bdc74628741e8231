// Party mode's settings: the [Party] section of the settings file, read when
// party mode starts and never written by the player (the host edits them by
// hand; a file without the section gives the defaults).
#pragma once

namespace orba {

class ProfileFile;

struct PartySettings {
    int port = 8080;          // Port: where the guests' page is served; 0 any free port
    int upNextSeconds = 10;   // UpNextSeconds: the screen naming the next singer; 0 none
    bool showCode = true;     // ShowQR: the page's address as a QR code on the frame
};

// Out-of-range values fall back to the defaults.
PartySettings readPartySettings(const ProfileFile& file);

}  // namespace orba
