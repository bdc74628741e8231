// The settings file's keys: section, key and the field of the settings
// record that holds the value. A field's type is the key's type (bool as
// "1"/"0", int in decimal, string as it stands) and its initialiser in
// Settings is the key's default. The settings store, the settings dialog and
// the per-song file all read and write through this table, so a key added
// later is added here once.
#pragma once

#include <span>
#include <string>
#include <variant>

#include "settings/settings.h"

namespace orba {

class ProfileFile;

using SettingField = std::variant<bool Settings::*, int Settings::*, std::string Settings::*>;

struct SettingKey {
    const char* section;
    const char* key;
    SettingField field;
};

// In the order of the settings record, which is also the order of a load.
inline constexpr SettingKey kSettingKeys[] = {
    {"Form", "StayOnTop", &Settings::stayOnTop},
    {"Option", "UseBGM", &Settings::useBgm},
    {"Option", "BGM", &Settings::bgmFile},
    {"Option", "UseMessage", &Settings::useMessage},
    {"Option", "MESSAGE", &Settings::messageFile},
    {"Option", "UseGaz", &Settings::useImages},
    {"Option", "Images", &Settings::imageFolder},
    {"Option", "MonoChro", &Settings::monoChrome},
    {"Option", "GazStyle", &Settings::imageStyle},
    {"Option", "WipeStyle", &Settings::wipeStyle},
    {"Option", "SetVolume", &Settings::setVolume},
    {"Option", "Volume", &Settings::volume},
    {"Option", "TextBack", &Settings::textBack},
    {"Option", "showNext", &Settings::showNext},
    {"Option", "bFRepeat", &Settings::folderRepeat},
    {"Effect", "iNoiseT", &Settings::noiseType},
    {"Effect", "iNoiseC", &Settings::noiseColor},
    {"Effect", "bFontSP", &Settings::fontSpecified},
    {"Effect", "sFontNM", &Settings::fontName},
    {"Effect", "bFontBL", &Settings::fontBold},
    {"Effect", "bFontIT", &Settings::fontItalic},
    {"Effect", "bFontUL", &Settings::fontUnderline},
    {"Effect", "iFSizePer", &Settings::fontSizePercent},
    {"Effect", "iTextTiming", &Settings::textTiming},
    {"Effect", "iBackT", &Settings::backgroundType},
    {"Effect", "iSlideTime", &Settings::slideTime},
    {"Transp", "bTransB", &Settings::darkTransparency},
    {"Transp", "bTransA", &Settings::imageOpacity},
    {"Karaoke", "bTimeForce", &Settings::timeForce},
    {"Karaoke", "bNoKaraoke", &Settings::noKaraoke},
};

// The keys each writer stores, in the order it stores them (which decides
// where new keys land in the file).
inline constexpr SettingField kWindowStateFields[] = {
    &Settings::stayOnTop,  &Settings::wipeStyle, &Settings::textBack,
    &Settings::imageStyle, &Settings::showNext,  &Settings::folderRepeat,
};
inline constexpr SettingField kDialogFields[] = {
    &Settings::useBgm,           &Settings::bgmFile,        &Settings::useMessage,
    &Settings::messageFile,      &Settings::useImages,      &Settings::monoChrome,
    &Settings::imageFolder,      &Settings::wipeStyle,      &Settings::imageStyle,
    &Settings::textBack,         &Settings::noiseType,      &Settings::noiseColor,
    &Settings::fontSpecified,    &Settings::fontName,       &Settings::fontBold,
    &Settings::fontItalic,       &Settings::fontUnderline,  &Settings::fontSizePercent,
    &Settings::textTiming,       &Settings::backgroundType, &Settings::slideTime,
    &Settings::darkTransparency, &Settings::imageOpacity,   &Settings::timeForce,
    &Settings::noKaraoke,
};
// The four display settings a song can carry in its own file.
inline constexpr SettingField kPerSongFields[] = {
    &Settings::textBack,
    &Settings::noiseType,
    &Settings::noiseColor,
    &Settings::backgroundType,
};

const SettingKey& settingKeyOf(const SettingField& field);

// Reads each field's key (every key of the table when no fields are
// named), with the field's current value as the default.
void readSettingKeys(const ProfileFile& file, Settings& values);
void readSettingKeys(const ProfileFile& file, Settings& values,
                     std::span<const SettingField> fields);
// Writes each field's key into the open file (committed by the caller).
void writeSettingKeys(ProfileFile& file, const Settings& values,
                      std::span<const SettingField> fields);

}  // namespace orba
