#include "library/libraryview.h"

#include <algorithm>

#include "library/searchform.h"
#include "platform/files.h"

namespace orba {

namespace {

constexpr const char* kMissingMark = "（ファイルがありません）";

std::string shownTitle(const ResultRow& row) {
    return row.title.empty() ? fileNamePart(row.path) : row.title;
}

std::string count(std::size_t n) {
    return std::to_string(n);
}

// "追加 3・削除 1" for the counts that are not zero.
std::string changeCounts(const ScanReport& r) {
    std::string text;
    auto add = [&](const char* what, std::size_t n) {
        if (n == 0) return;
        if (!text.empty()) text += "・";
        text += what + (" " + count(n));
    };
    add("追加", r.added);
    add("更新", r.updated);
    add("削除", r.removed);
    add("見つからない", r.missing);
    return text;
}

}  // namespace

std::vector<ResultRow> resultRows(const std::vector<SearchHit>& hits, const FileExists& exists) {
    std::vector<ResultRow> rows;
    rows.reserve(hits.size());
    for (const SearchHit& hit : hits) {
        ResultRow row{hit.path, hit.title, hit.artist, hit.line, !exists(hit.path)};
        if (row.title.empty()) row.title = fileNamePart(hit.path);
        rows.push_back(std::move(row));
    }
    // Songs that read alike (a MIDI and a recording of one song, copies in
    // two folders) are told apart by their files' names.
    std::vector<bool> alike(rows.size(), false);
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (std::size_t j = i + 1; j < rows.size(); ++j)
            if (rows[i].title == rows[j].title && rows[i].artist == rows[j].artist)
                alike[i] = alike[j] = true;
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (alike[i] && rows[i].title != fileNamePart(rows[i].path))
            rows[i].title += " (" + fileNamePart(rows[i].path) + ")";
    return rows;
}

std::string rowText(const ResultRow& row) {
    std::string text = shownTitle(row);
    if (!row.artist.empty()) text += " / " + row.artist;
    if (row.missing) text += kMissingMark;
    if (!row.line.empty()) text += "\n    " + row.line;
    return text;
}

int movedSelection(int selected, int rows, PanelKey key, int pageRows) {
    if (rows <= 0) return -1;
    const int page = std::max(1, pageRows);
    // Nothing selected yet: the first move goes to the first row.
    if (selected < 0 || selected >= rows) return 0;
    int to = selected;
    switch (key) {
        case PanelKey::Up:
            to = selected - 1;
            break;
        case PanelKey::Down:
            to = selected + 1;
            break;
        case PanelKey::PageUp:
            to = selected - page;
            break;
        case PanelKey::PageDown:
            to = selected + page;
            break;
    }
    return std::clamp(to, 0, rows - 1);
}

RowChoice chooseRow(const std::vector<ResultRow>& rows, int selected, const FileExists& exists) {
    if (rows.empty()) return {};
    const ResultRow& row =
        rows[selected >= 0 && selected < static_cast<int>(rows.size()) ? selected : 0];
    if (!exists(row.path))
        return {RowChoice::Kind::Missing, row.path,
                "「" + shownTitle(row) + "」のファイルがありません: " + row.path};
    return {RowChoice::Kind::Play, row.path, {}};
}

std::string panelNote(const PanelFacts& f) {
    if (!f.openError.empty()) return "ライブラリを開けません: " + f.openError;
    std::string note;
    if (!f.notice.empty()) note = f.notice + "\n";
    if (f.folders == 0)
        return note +
               "ライブラリにフォルダがありません。設定の「ライブラリ」ページで追加してください。";
    if (searchForm(f.query).find_first_not_of(" \t\r\n") == std::string::npos)
        return note + "曲名・歌手名・歌詞の一部を入力してください";
    if (f.rows == 0) return note + "見つかりません";
    return note + count(f.rows) + " 曲";
}

std::optional<std::string> scanProgressStatus(const ScanProgress& p) {
    if (p.filesRead == 0) return std::nullopt;
    return "ライブラリを更新中: " + fileNamePart(p.folder) + " " + count(p.filesRead) + " 曲";
}

std::optional<std::string> scanFinishedStatus(const ScanReport& r) {
    if (!r.error.empty()) return "ライブラリの更新に失敗しました: " + r.error;
    if (!r.changedSongs()) return std::nullopt;
    return "ライブラリを更新しました: " + changeCounts(r);
}

}  // namespace orba
