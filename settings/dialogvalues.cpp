#include "settings/dialogvalues.h"

#include <algorithm>

#include "platform/profilefile.h"
#include "settings/settingsstore.h"
#include "settings/settingstable.h"

namespace orba {

int listIndexFor(int value, int itemCount) {
    return value >= 0 && value < itemCount ? value : -1;
}

int clampTo(int value, IntRange range) {
    return std::clamp(value, range.min, range.max);
}

int transparencyIndexFor(int opacity) {
    return listIndexFor(10 - opacity / 10, kTransparencyItems);
}

int opacityFor(int transparencyIndex, int storedOpacity) {
    if (transparencyIndex < 0 || transparencyIndex >= kTransparencyItems) return storedOpacity;
    return 100 - transparencyIndex * 10;
}

int slidePositionFor(int slideTime) {
    return clampTo(slideTime / 100, kSlideRange);
}

std::string slidePanelCaption(int position) {
    return std::to_string(slideTimeFor(position)) + " ";
}

namespace {

Settings dialogDefaults() {
    Settings d;
    d.useMessage = true;
    return d;
}

}  // namespace

DialogValues::DialogValues() : DialogValues(dialogDefaults()) {}

DialogValues::DialogValues(const Settings& s)
    : music{s.useBgm, s.bgmFile, s.useMessage, s.messageFile, s.useImages, s.imageFolder},
      monoChrome(s.monoChrome),
      wipeStyle(listIndexFor(s.wipeStyle, kWipeItems)),
      imageStyle(listIndexFor(s.imageStyle, kImageStyleItems)),
      textBack(listIndexFor(s.textBack, kTextBackItems)),
      noiseType(listIndexFor(s.noiseType, kNoiseTypeItems)),
      noiseColor(listIndexFor(s.noiseColor, kNoiseColorItems)),
      fontSpecified(s.fontSpecified),
      fontName(s.fontName),
      fontBold(s.fontBold),
      fontItalic(s.fontItalic),
      fontUnderline(s.fontUnderline),
      fontSizePercent(clampTo(s.fontSizePercent, kFontSizeRange)),
      textTiming(clampTo(s.textTiming, kTextTimingRange)),
      backgroundType(listIndexFor(s.backgroundType, kBackgroundItems)),
      slidePosition(slidePositionFor(s.slideTime)),
      darkTransparency(s.darkTransparency != 0),
      transparency(transparencyIndexFor(s.imageOpacity)),
      timeForce(s.timeForce),
      noKaraoke(s.noKaraoke),
      storedOpacity(s.imageOpacity) {}

Settings DialogValues::stored() const {
    Settings s = dialogDefaults();
    s.useBgm = music.useBgm;
    s.bgmFile = music.bgmFile;
    s.useMessage = music.useMessage;
    s.messageFile = music.messageFile;
    s.useImages = music.useImages;
    s.imageFolder = music.imageFolder;
    s.monoChrome = monoChrome;
    s.wipeStyle = wipeStyle;
    s.imageStyle = imageStyle;
    s.textBack = textBack;
    s.noiseType = noiseType;
    s.noiseColor = noiseColor;
    s.fontSpecified = fontSpecified;
    s.fontName = fontName;
    s.fontBold = fontBold;
    s.fontItalic = fontItalic;
    s.fontUnderline = fontUnderline;
    s.fontSizePercent = fontSizePercent;
    s.textTiming = textTiming;
    s.backgroundType = backgroundType;
    s.slideTime = slideTimeFor(slidePosition);
    s.darkTransparency = darkTransparency ? 1 : 0;
    s.imageOpacity = opacityFor(transparency, storedOpacity);
    s.timeForce = timeForce;
    s.noKaraoke = noKaraoke;
    return s;
}

DialogValues readDialogValues(const ProfileFile& file) {
    return DialogValues(readSettings(file, dialogDefaults()));
}

void storeDialogValues(ProfileFile& file, const DialogValues& values) {
    writeSettingKeys(file, values.stored(), kDialogFields);
}

void writeDialogValues(ProfileFile& file, const DialogValues& values) {
    storeDialogValues(file, values);
    file.commit();
}

}  // namespace orba
