#include "settings/dialogvalues.h"

#include <algorithm>

#include "platform/profilefile.h"

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

DialogValues readDialogValues(const ProfileFile& f) {
    DialogValues v;
    v.music.useBgm = f.readBool("Option", "UseBGM", false);
    v.music.bgmFile = f.readString("Option", "BGM", "");
    v.music.useMessage = f.readBool("Option", "UseMessage", true);
    v.music.messageFile = f.readString("Option", "MESSAGE", "");
    v.music.useImages = f.readBool("Option", "UseGaz", false);
    v.monoChrome = f.readBool("Option", "MonoChro", false);
    v.music.imageFolder = f.readString("Option", "Images", "");
    v.wipeStyle = listIndexFor(f.readInteger("Option", "WipeStyle", 1), kWipeItems);
    v.imageStyle = listIndexFor(f.readInteger("Option", "GazStyle", 0), kImageStyleItems);
    v.textBack = listIndexFor(f.readInteger("Option", "TextBack", 0), kTextBackItems);
    v.noiseType = listIndexFor(f.readInteger("Effect", "iNoiseT", 0), kNoiseTypeItems);
    v.noiseColor = listIndexFor(f.readInteger("Effect", "iNoiseC", 0), kNoiseColorItems);
    v.fontSpecified = f.readBool("Effect", "bFontSP", false);
    v.fontName = f.readString("Effect", "sFontNM", "");
    v.fontBold = f.readBool("Effect", "bFontBL", true);
    v.fontItalic = f.readBool("Effect", "bFontIT", false);
    v.fontUnderline = f.readBool("Effect", "bFontUL", false);
    v.fontSizePercent = clampTo(f.readInteger("Effect", "iFSizePer", 120), kFontSizeRange);
    v.textTiming = clampTo(f.readInteger("Effect", "iTextTiming", 0), kTextTimingRange);
    v.backgroundType = listIndexFor(f.readInteger("Effect", "iBackT", 1), kBackgroundItems);
    v.slidePosition = slidePositionFor(f.readInteger("Effect", "iSlideTime", 5000));
    v.darkTransparency = f.readInteger("Transp", "bTransB", 0) != 0;
    v.storedOpacity = f.readInteger("Transp", "bTransA", 100);
    v.transparency = transparencyIndexFor(v.storedOpacity);
    v.timeForce = f.readBool("Karaoke", "bTimeForce", true);
    v.noKaraoke = f.readBool("Karaoke", "bNoKaraoke", false);
    return v;
}

void writeDialogValues(ProfileFile& f, const DialogValues& v) {
    f.writeBool("Option", "UseBGM", v.music.useBgm);
    f.writeString("Option", "BGM", v.music.bgmFile);
    f.writeBool("Option", "UseMessage", v.music.useMessage);
    f.writeString("Option", "MESSAGE", v.music.messageFile);
    f.writeBool("Option", "UseGaz", v.music.useImages);
    f.writeBool("Option", "MonoChro", v.monoChrome);
    f.writeString("Option", "Images", v.music.imageFolder);
    f.writeInteger("Option", "WipeStyle", v.wipeStyle);
    f.writeInteger("Option", "GazStyle", v.imageStyle);
    f.writeInteger("Option", "TextBack", v.textBack);
    f.writeInteger("Effect", "iNoiseT", v.noiseType);
    f.writeInteger("Effect", "iNoiseC", v.noiseColor);
    f.writeBool("Effect", "bFontSP", v.fontSpecified);
    f.writeString("Effect", "sFontNM", v.fontName);
    f.writeBool("Effect", "bFontBL", v.fontBold);
    f.writeBool("Effect", "bFontIT", v.fontItalic);
    f.writeBool("Effect", "bFontUL", v.fontUnderline);
    f.writeInteger("Effect", "iFSizePer", v.fontSizePercent);
    f.writeInteger("Effect", "iTextTiming", v.textTiming);
    f.writeInteger("Effect", "iBackT", v.backgroundType);
    f.writeInteger("Effect", "iSlideTime", slideTimeFor(v.slidePosition));
    f.writeInteger("Transp", "bTransB", v.darkTransparency ? 1 : 0);
    f.writeInteger("Transp", "bTransA", opacityFor(v.transparency, v.storedOpacity));
    f.writeBool("Karaoke", "bTimeForce", v.timeForce);
    f.writeBool("Karaoke", "bNoKaraoke", v.noKaraoke);
}

}  // namespace orba
