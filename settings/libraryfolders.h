// The song library's folders as the settings dialog edits them. The
// catalogue sits above the settings, so the window hands the dialog this
// narrow view of it; a test hands it a list of its own.
#pragma once

#include <string>
#include <vector>

namespace orba {

class LibraryFolders {
public:
    virtual ~LibraryFolders() = default;
    // Each throws std::exception, with a text for the user, when the
    // catalogue cannot be read or written (or the folder is no folder).
    virtual std::vector<std::string> folders() = 0;
    // Takes the folder in and starts reading its songs.
    virtual void addFolder(const std::string& folder) = 0;
    // Lets the folder go, with the songs that only it held.
    virtual void removeFolder(const std::string& folder) = 0;
};

}  // namespace orba
