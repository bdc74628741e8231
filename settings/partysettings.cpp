#include "settings/partysettings.h"

#include "platform/profilefile.h"

namespace orba {

PartySettings readPartySettings(const ProfileFile& file) {
    const PartySettings defaults;
    PartySettings s;
    s.port = file.readInteger("Party", "Port", defaults.port);
    if (s.port < 0 || s.port > 65535) s.port = defaults.port;
    s.upNextSeconds = file.readInteger("Party", "UpNextSeconds", defaults.upNextSeconds);
    if (s.upNextSeconds < 0 || s.upNextSeconds > 600) s.upNextSeconds = defaults.upNextSeconds;
    s.showCode = file.readBool("Party", "ShowQR", defaults.showCode);
    return s;
}

}  // namespace orba
