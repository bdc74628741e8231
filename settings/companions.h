// Which lyric ("message") file and picture folder go with a newly chosen
// music file. A companion that lay in the previous song's folder is dropped;
// one kept elsewhere stays in use; companions found beside the new song
// replace either.
#pragma once

#include <string>

namespace orba {

// The dialog's music, message and picture fields with their check boxes.
struct MusicChoice {
    bool useBgm = false;      // CheckBox1
    std::string bgmFile;      // Edit1
    bool useMessage = false;  // CheckBox2
    std::string messageFile;  // Edit2
    bool useImages = false;   // CheckBox4
    std::string imageFolder;  // Edit3

    bool operator==(const MusicChoice&) const = default;
};

// The companion candidates of a music file D/B.E: D/B_t.txt, D/B.txt and
// D/okaraimg/ (with its trailing separator).
struct CompanionPaths {
    std::string timedText;
    std::string plainText;
    std::string imageFolder;
};
CompanionPaths companionPathsFor(const std::string& musicFile);

// Which of the candidates exist.
struct CompanionsFound {
    bool timedText = false;
    bool plainText = false;
    bool imageFolder = false;
};

// The fields after `musicFile` was chosen. Folder comparisons are byte for
// byte; with no previous music file every picture folder counts as lying
// under its (empty) folder.
MusicChoice chooseCompanions(const MusicChoice& before, const std::string& musicFile,
                             const CompanionsFound& found);

// Looks the candidates up on disk.
CompanionsFound findCompanions(const CompanionPaths& paths);

}  // namespace orba
