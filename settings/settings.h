// The settings record: every value the settings file keeps, with the defaults
// the player starts from when the file, a section or a key is missing. These
// initialisers are the only place of the defaults; settingstable.h names the
// section and key of each field.
#pragma once

#include <string>

namespace orba {

struct Settings {
    // [Form]: the stay-on-top menu item owns the mark while the player runs;
    // this is the value read at load and the mark written at save.
    bool stayOnTop = false;
    // [Option]
    bool useBgm = false;
    std::string bgmFile;
    bool useMessage = false;
    std::string messageFile;
    bool useImages = false;
    std::string imageFolder;
    bool monoChrome = false;
    int imageStyle = 0;
    int wipeStyle = 1;
    bool setVolume = false;
    int volume = 20;
    int textBack = 0;
    bool showNext = true;
    bool folderRepeat = true;
    // [Effect]
    int noiseType = 0;
    int noiseColor = 0;
    bool fontSpecified = false;
    std::string fontName;
    bool fontBold = true;
    bool fontItalic = false;
    bool fontUnderline = false;
    int fontSizePercent = 120;
    int textTiming = 0;
    int backgroundType = 1;
    int slideTime = 5000;
    // [Transp]
    int darkTransparency = 0;
    int imageOpacity = 100;
    // [Karaoke]
    bool timeForce = true;
    bool noKaraoke = false;

    bool operator==(const Settings&) const = default;
};

}  // namespace orba
