// The walk over a song folder: every music file under it, and every text
// file that may be a song of its own (one beside a music file of its name
// is that song's lyrics, never a song), each folder once
// however many links lead to it (a link back up the tree would otherwise
// never end), the names starting with "." left out (trash and hidden
// folders of removable drives).
#pragma once

#include <cstdint>
#include <string>

#include "library/scanreport.h"
#include "platform/fileinfo.h"

namespace orba {

class WalkVisitor {
public:
    virtual ~WalkVisitor() = default;
    virtual void folderEntered(const std::string& /*folder*/) {}
    // `companions` stands for the files beside the song that share its name
    // (B.txt, B_t.txt, B.lrc ... for B.mp3): it changes when one of them
    // does. False stops the walk.
    virtual bool musicFile(const std::string& path, const FileInfo& info,
                           std::uint64_t companions) = 0;
    // A file that may be a song of its own though it has no music extension
    // (a song text that names its audio); one the visitor cannot read as a
    // song is no song, and nothing is said of it. False stops the walk.
    virtual bool songFile(const std::string& /*path*/, const FileInfo& /*info*/,
                          std::uint64_t /*companions*/) {
        return true;
    }
    virtual void leftOut(const std::string& path, SkipReason reason, const std::string& detail) = 0;
    virtual void repeatedFolder(const std::string& /*path*/) {}
};

enum class WalkEnd : std::uint8_t { Done, Stopped, FolderUnreachable };

// Walks `folder` (with its subfolders for ScanDepth::Tree) in name order.
WalkEnd walkMusicFiles(const std::string& folder, ScanDepth depth, WalkVisitor& visitor);

}  // namespace orba
