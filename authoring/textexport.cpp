#include "authoring/textexport.h"

#include <cstdio>

#include "lyrics/textforms.h"
#include "platform/files.h"

namespace orba {

TextFileError::TextFileError(const std::string& path)
    : std::runtime_error(path + " を作成できません") {}

std::string exportPath(TextExport kind, const std::string& bgmFile) {
    return replaceExtension(bgmFile, kind == TextExport::Plain ? "_plain.txt" : "_safe.txt");
}

std::vector<std::string> exportLines(TextExport kind, const std::vector<std::string>& lyricLines) {
    std::vector<std::string> out;
    out.reserve(lyricLines.size());
    for (const std::string& line : lyricLines)
        out.push_back(kind == TextExport::Plain ? plainTextForm(line) : safeTextForm(line));
    return out;
}

void writeTextLines(const std::string& path, const std::vector<std::string>& lines) {
    std::string data;
    for (const std::string& line : lines) data.append(line).append("\r\n");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw TextFileError(path);
    bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) throw TextFileError(path);
}

std::string writeTextExport(TextExport kind, const std::vector<std::string>& lyricLines,
                            const std::string& bgmFile) {
    std::string path = exportPath(kind, bgmFile);
    writeTextLines(path, exportLines(kind, lyricLines));
    return path;
}

std::string saveMessage(const std::string& path) {
    return "\"" + fileNamePart(path) + "\" save completed.";
}

}  // namespace orba
