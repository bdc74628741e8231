#include "settings/companions.h"

#include "platform/files.h"

namespace orba {

CompanionPaths companionPathsFor(const std::string& musicFile) {
    const std::string folder = folderPart(musicFile);
    const std::string base = replaceExtension(musicFile, "");
    return {base + "_t.txt", base + ".txt", folder + "okaraimg/"};
}

MusicChoice chooseCompanions(const MusicChoice& before, const std::string& musicFile,
                             const CompanionsFound& found) {
    const std::string oldDir = folderPart(before.bgmFile);
    const bool messageBesideOld = folderPart(before.messageFile) == oldDir;
    const bool imagesUnderOld = before.imageFolder.compare(0, oldDir.size(), oldDir) == 0;

    MusicChoice after = before;
    if (messageBesideOld) after.useMessage = false;
    if (imagesUnderOld) after.useImages = false;
    after.useBgm = true;
    after.bgmFile = musicFile;

    const CompanionPaths paths = companionPathsFor(musicFile);
    if (found.timedText || found.plainText) {
        after.useMessage = true;
        after.messageFile = found.timedText ? paths.timedText : paths.plainText;
    }
    if (found.imageFolder) {
        after.useImages = true;
        after.imageFolder = paths.imageFolder;
    }
    return after;
}

CompanionsFound findCompanions(const CompanionPaths& paths) {
    return {isRegularFile(paths.timedText), isRegularFile(paths.plainText),
            isFolder(paths.imageFolder)};
}

}  // namespace orba
