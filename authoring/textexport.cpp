#include "authoring/textexport.h"

#include "lyrics/sources/lrcreader.h"
#include "lyrics/textforms.h"
#include "lyrics/timevalue.h"
#include "platform/atomicfile.h"
#include "platform/files.h"

namespace orba {

TextFileError::TextFileError(const std::string& path)
    : std::runtime_error(path + " を作成できません") {}

std::string exportPath(TextExport kind, const std::string& bgmFile) {
    return replaceExtension(bgmFile, kind == TextExport::Plain ? "_plain.txt" : "_safe.txt");
}

std::vector<std::string> exportLines(TextExport kind, const std::vector<std::string>& lyricLines,
                                     const LyricForm& form) {
    const TextEncoding e = form.encoding;
    const bool lrc =
        form.source == LyricSourceKind::File &&
        (form.dialect == LyricDialect::Lrc || form.dialect == LyricDialect::EnhancedLrc);
    std::vector<std::string> out;
    out.reserve(lyricLines.size());
    for (const std::string& line : lyricLines) {
        if (kind == TextExport::Plain) {
            out.push_back(plainTextForm(line, e));
        } else if (lrc && beginsWithTimeValue(line)) {
            // Only the line time is wanted in LRC form; word times are cut off.
            out.push_back(safeTextForm(lrcLineTime(line, form.offsetMs) + line.substr(10), e));
        } else {
            out.push_back(safeTextForm(line, e));
        }
    }
    return out;
}

namespace {

// Replaced in one step, like a lyric save: a full disk or a refused write
// leaves the export of before whole, never half of a new one.
void writeTextBytes(const std::string& path, const std::string& data) {
    if (!writeFileAtomically(path, data)) throw TextFileError(path);
}

std::string joinedLines(const std::vector<std::string>& lines) {
    std::string data;
    for (const std::string& line : lines) data.append(line).append("\r\n");
    return data;
}

}  // namespace

std::string writeTextExport(TextExport kind, const std::vector<std::string>& lyricLines,
                            const std::string& bgmFile, const LyricForm& form) {
    std::string path = exportPath(kind, bgmFile);
    writeTextBytes(
        path, fromInternalText(joinedLines(exportLines(kind, lyricLines, form)), form.encoding));
    return path;
}

std::string saveMessage(const std::string& path) {
    return "\"" + fileNamePart(path) + "\" save completed.";
}

}  // namespace orba
