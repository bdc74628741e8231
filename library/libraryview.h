// What a window shows of the catalogue, decided without widgets: the rows
// of a search, where a key moves the selection, what Enter does with the
// chosen row, the note under the search field and the status texts of a
// scan. A catalogue's song may be gone from the disk since its scan: the
// caller says which files are there, these functions never look.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/library.h"
#include "library/scanreport.h"

namespace orba {

struct ResultRow {
    std::string path;
    std::string title;  // the file's name when the catalogue has no title
    std::string artist;
    std::string line;  // the lyric line that matched; empty when the names did
    bool missing = false;
};

using FileExists = std::function<bool(const std::string& path)>;

std::vector<ResultRow> resultRows(const std::vector<SearchHit>& hits, const FileExists& exists);

// The text of a row in the list: "title / artist", the missing mark, and
// the matched line on a line of its own.
std::string rowText(const ResultRow& row);

// The keys that move the selection while the search field has the focus.
enum class PanelKey { Up, Down, PageUp, PageDown };

// The row selected after `key`; -1 when there are no rows. The selection
// stops at either end rather than wrapping round, so a held key lands on
// the first or the last row.
int movedSelection(int selected, int rows, PanelKey key, int pageRows);

// What Enter does: play a song, or tell why it cannot.
struct RowChoice {
    enum class Kind { Nothing, Play, Missing };
    Kind kind = Kind::Nothing;
    std::string path;
    std::string message;  // for Missing: the status text
};

// Enter without a selection takes the first row. `exists` is asked again:
// a file may go while the list shows.
RowChoice chooseRow(const std::vector<ResultRow>& rows, int selected, const FileExists& exists);

// What the panel knows besides the rows.
struct PanelFacts {
    std::string openError;  // the catalogue could not be opened or read
    std::string notice;     // the catalogue was found damaged and rebuilt
    std::size_t folders = 0;
    std::string query;
    std::size_t rows = 0;
};

// The line under the search field.
std::string panelNote(const PanelFacts& facts);

// Status texts of a scan, for the window's status line. A scan that reads
// no new or changed file (the check at start-up of a library that did not
// change) says nothing, so it never hides what the player showed.
std::optional<std::string> scanProgressStatus(const ScanProgress& progress);
std::optional<std::string> scanFinishedStatus(const ScanReport& report);

}  // namespace orba
