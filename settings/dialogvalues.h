// What the settings dialog's controls hold, and how they come from and go to
// the settings file. The dialog fills its controls from the file once, when
// it is created, and writes them back on OK; the conversions between stored
// values and list indices, slider positions and spin values live here so
// that they can be checked without widgets.
#pragma once

#include <string>
#include <string_view>

#include "settings/companions.h"
#include "settings/settings.h"

namespace orba {

class ProfileFile;

// Item counts of the dialog's drop-down lists.
inline constexpr int kWipeItems = 2;           // ComboBox2
inline constexpr int kImageStyleItems = 6;     // ComboBox1
inline constexpr int kTextBackItems = 4;       // ComboBox5
inline constexpr int kNoiseTypeItems = 4;      // ComboBox3
inline constexpr int kNoiseColorItems = 3;     // ComboBox4
inline constexpr int kBackgroundItems = 5;     // ComboBox6
inline constexpr int kTransparencyItems = 10;  // ComboBox7

// Ranges of the spin edits and the slider.
struct IntRange {
    int min;
    int max;
    int step;
};
inline constexpr IntRange kFontSizeRange{50, 300, 10};         // CSpinEdit2
inline constexpr IntRange kTextTimingRange{-2000, 2000, 100};  // CSpinEdit3
inline constexpr IntRange kSlideRange{5, 100, 5};              // TrackBar1, ticks every 5

// One value per control; a list index of -1 means no selection.
struct DialogValues {
    // What the dialog shows when the file holds nothing: the settings
    // record's defaults, except that the text is shown.
    DialogValues();
    // What the controls show for stored values: list indices, clamped spin
    // values and slider position.
    explicit DialogValues(const Settings& stored);
    // What the OK writer stores; fields the dialog has no control for keep
    // their defaults.
    Settings stored() const;

    MusicChoice music;              // CheckBox1, Edit1, CheckBox2, Edit2, CheckBox4, Edit3
    bool monoChrome = false;        // CheckBox5
    int wipeStyle = -1;             // ComboBox2
    int imageStyle = -1;            // ComboBox1
    int textBack = -1;              // ComboBox5
    int noiseType = -1;             // ComboBox3
    int noiseColor = -1;            // ComboBox4
    bool fontSpecified = false;     // CheckBox8
    std::string fontName;           // FNComboBox1
    bool fontBold = false;          // CheckBox9
    bool fontItalic = false;        // CheckBox10
    bool fontUnderline = false;     // CheckBox11
    int fontSizePercent = 0;        // CSpinEdit2
    int textTiming = 0;             // CSpinEdit3
    int backgroundType = -1;        // ComboBox6
    int slidePosition = 0;          // TrackBar1
    bool darkTransparency = false;  // CheckBox6
    int transparency = -1;          // ComboBox7
    bool timeForce = false;         // CBTime
    bool noKaraoke = false;         // CBNoKara

    // bTransA as read, for a value that matches no transparency item.
    int storedOpacity = 0;

    bool operator==(const DialogValues&) const = default;
};

// A stored value as a list index: -1 when the list has no such item.
int listIndexFor(int value, int itemCount);
int clampTo(int value, IntRange range);

// bTransA -> ComboBox7 index (10 - value / 10) and back (100 - index * 10).
int transparencyIndexFor(int opacity);
// With no selection the stored opacity is written back unchanged: an index
// of -1 would otherwise store 110, an opacity beyond full.
int opacityFor(int transparencyIndex, int storedOpacity);

// iSlideTime -> TrackBar1 position (clamped) and back.
int slidePositionFor(int slideTime);
inline int slideTimeFor(int position) {
    return position * 100;
}

// Panel1's caption for a slider position: "1000 " for 10.
std::string slidePanelCaption(int position);

// FormCreate's reads, with the dialog's defaults.
DialogValues readDialogValues(const ProfileFile& file);

// The OK writer's keys, in order, into the file's copy in memory.
void storeDialogValues(ProfileFile& file, const DialogValues& values);
// The same keys, committed as one replace of the file.
// Throws ProfileWriteError and leaves the file as it was.
void writeDialogValues(ProfileFile& file, const DialogValues& values);

}  // namespace orba
