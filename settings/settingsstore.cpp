#include "settings/settingsstore.h"

#include <cstdlib>

#include "platform/files.h"
#include "platform/profilefile.h"

namespace orba {

std::string chooseSettingsFilePath(const SettingsPathInputs& in) {
    if (!in.iniOverride.empty()) return in.iniOverride;
    if (in.programFolderWritable || in.programFolderHasFile)
        return in.programFolder + kSettingsFileName;
    std::string config = in.xdgConfigHome;
    if (config.empty()) config = in.home + "/.config";
    return config + "/orbakaraoke/" + kSettingsFileName;
}

std::string settingsFilePath() {
    SettingsPathInputs in;
    in.iniOverride = environmentValue("ORBAKARAOKE_INI");
    if (in.iniOverride.empty()) {
        in.programFolder = programFolder();
        in.programFolderWritable = folderWritable(in.programFolder);
        in.programFolderHasFile = isRegularFile(in.programFolder + kSettingsFileName);
        in.xdgConfigHome = environmentValue("XDG_CONFIG_HOME");
        in.home = environmentValue("HOME");
    }
    std::string path = chooseSettingsFilePath(in);
    // The per-user folder may not exist yet on a first start.
    if (in.iniOverride.empty() && !in.programFolderWritable && !in.programFolderHasFile) {
        std::error_code ec;
        std::filesystem::create_directories(folderPart(path), ec);
    }
    return path;
}

StoredSettings readSettings(const ProfileFile& f) {
    StoredSettings out;
    Settings& s = out.settings;
    const Settings d;
    out.stayOnTop = f.readBool("Form", "StayOnTop", false);
    s.useBgm = f.readBool("Option", "UseBGM", d.useBgm);
    s.bgmFile = f.readString("Option", "BGM", d.bgmFile);
    s.useMessage = f.readBool("Option", "UseMessage", d.useMessage);
    s.messageFile = f.readString("Option", "MESSAGE", d.messageFile);
    s.useImages = f.readBool("Option", "UseGaz", d.useImages);
    s.imageFolder = f.readString("Option", "Images", d.imageFolder);
    s.monoChrome = f.readBool("Option", "MonoChro", d.monoChrome);
    s.imageStyle = f.readInteger("Option", "GazStyle", d.imageStyle);
    s.wipeStyle = f.readInteger("Option", "WipeStyle", d.wipeStyle);
    s.setVolume = f.readBool("Option", "SetVolume", d.setVolume);
    s.volume = f.readInteger("Option", "Volume", d.volume);
    s.textBack = f.readInteger("Option", "TextBack", d.textBack);
    s.showNext = f.readBool("Option", "showNext", d.showNext);
    s.folderRepeat = f.readBool("Option", "bFRepeat", d.folderRepeat);
    s.noiseType = f.readInteger("Effect", "iNoiseT", d.noiseType);
    s.noiseColor = f.readInteger("Effect", "iNoiseC", d.noiseColor);
    s.fontSpecified = f.readBool("Effect", "bFontSP", d.fontSpecified);
    s.fontName = f.readString("Effect", "sFontNM", d.fontName);
    s.fontBold = f.readBool("Effect", "bFontBL", d.fontBold);
    s.fontItalic = f.readBool("Effect", "bFontIT", d.fontItalic);
    s.fontUnderline = f.readBool("Effect", "bFontUL", d.fontUnderline);
    s.fontSizePercent = f.readInteger("Effect", "iFSizePer", d.fontSizePercent);
    s.textTiming = f.readInteger("Effect", "iTextTiming", d.textTiming);
    s.backgroundType = f.readInteger("Effect", "iBackT", d.backgroundType);
    s.slideTime = f.readInteger("Effect", "iSlideTime", d.slideTime);
    s.darkTransparency = f.readInteger("Transp", "bTransB", d.darkTransparency);
    s.imageOpacity = f.readInteger("Transp", "bTransA", d.imageOpacity);
    s.timeForce = f.readBool("Karaoke", "bTimeForce", d.timeForce);
    s.noKaraoke = f.readBool("Karaoke", "bNoKaraoke", d.noKaraoke);
    return out;
}

void writeWindowState(ProfileFile& f, const WindowState& w) {
    f.writeBool("Form", "StayOnTop", w.stayOnTop);
    f.writeInteger("Option", "WipeStyle", w.wipeStyle);
    f.writeInteger("Option", "TextBack", w.textBack);
    f.writeInteger("Option", "GazStyle", w.imageStyle);
    f.writeBool("Option", "showNext", w.showNext);
    f.writeBool("Option", "bFRepeat", w.folderRepeat);
}

std::string perSongFilePath(std::string_view bgmFile) {
    return replaceExtension(bgmFile, ".oka");
}

void applyPerSongFile(std::string_view bgmFile, Settings& s) {
    std::string path = perSongFilePath(bgmFile);
    if (!isRegularFile(path)) return;
    ProfileFile f(path);
    s.textBack = f.readInteger("Option", "TextBack", s.textBack);
    s.noiseType = f.readInteger("Effect", "iNoiseT", s.noiseType);
    s.noiseColor = f.readInteger("Effect", "iNoiseC", s.noiseColor);
    s.backgroundType = f.readInteger("Effect", "iBackT", s.backgroundType);
}

std::string mascotPicturePath(std::string_view imageFolder) {
    return folderPart(imageFolder) + "orba.bmp";
}

}  // namespace orba
