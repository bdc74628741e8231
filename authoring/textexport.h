// The lyric text exports: the current lines in their plain or safe form,
// written beside the music file as "<name>_plain.txt" or "<name>_safe.txt",
// one line each with CR LF, in the Shift-JIS bytes of the lines.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "settings/lyricform.h"

namespace orba {

enum class TextExport { Plain, Safe };

// A file that cannot be created or written; what() names it (UTF-8).
class TextFileError : public std::runtime_error {
public:
    explicit TextFileError(const std::string& path);
};

// The music file's path with its extension replaced; with no music file the
// bare name, relative to the current folder.
std::string exportPath(TextExport kind, const std::string& bgmFile);

// The lines read in `encoding`; the safe form of LRC lyrics keeps its line
// time in the LRC form.
std::vector<std::string> exportLines(TextExport kind, const std::vector<std::string>& lyricLines,
                                     const LyricForm& form = {});

// Writes the export in the lyrics' own encoding (a Unicode file's mark
// included) and returns the path written. Throws TextFileError.
std::string writeTextExport(TextExport kind, const std::vector<std::string>& lyricLines,
                            const std::string& bgmFile, const LyricForm& form = {});

// The status message after a save: the file name in double quotes, then
// " save completed.", in Shift-JIS like every status text.
std::string saveMessage(const std::string& path);

}  // namespace orba
