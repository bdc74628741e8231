#include "player/foldersongs.h"

#include <QCollator>
#include <QString>
#include <algorithm>
#include <array>
#include <numeric>

#include "platform/files.h"
#include "player/playerstate.h"
#include "settings/settings.h"

namespace orba {

namespace {

constexpr std::array<std::string_view, 6> kMusicExtensions = {".wma", ".mp2", ".mp3",
                                                              ".wav", ".mid", ".ogg"};

constexpr int kPlayListEntries = 21;

QString qstr(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// Drops `count` characters, not bytes, from the end of UTF-8 text.
std::string withoutLastCharacters(std::string_view utf8, int count) {
    std::size_t end = utf8.size();
    while (count-- > 0 && end > 0) {
        --end;
        while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) --end;
    }
    return std::string(utf8.substr(0, end));
}

}  // namespace

bool hasMusicExtension(std::string_view path) {
    std::string ext = extensionPart(path);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return std::find(kMusicExtensions.begin(), kMusicExtensions.end(), ext) !=
           kMusicExtensions.end();
}

int songIndex(const std::vector<std::string>& songs, std::string_view path) {
    auto exact = std::find(songs.begin(), songs.end(), path);
    if (exact != songs.end()) return int(exact - songs.begin());
    const QString wanted = qstr(path);
    for (std::size_t i = 0; i < songs.size(); ++i)
        if (QString::compare(qstr(songs[i]), wanted, Qt::CaseInsensitive) == 0) return int(i);
    return -1;
}

std::vector<std::string> listFolderSongs(std::string_view path) {
    const std::string folder = folderPart(path);
    std::vector<std::string> names;
    if (!listFiles(folder, "*.*", names)) return {};
    std::erase_if(names, [](const std::string& n) { return !hasMusicExtension(n); });

    QCollator collator;  // the user's locale
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(names.size());
    // Keys of the case-folded names: the C locale's keys would keep case apart.
    for (const std::string& n : names) keys.push_back(collator.sortKey(qstr(n).toCaseFolded()));
    std::vector<std::size_t> order(names.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    // Names equal but for case get a fixed order, whatever the file system's.
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        int c = keys[a].compare(keys[b]);
        return c != 0 ? c < 0 : names[a] < names[b];
    });

    std::vector<std::string> songs;
    songs.reserve(names.size());
    for (std::size_t i : order) songs.push_back(folder + names[i]);
    return songs;
}

std::string folderSong(std::string_view path, int offset, std::string_view bgmFile,
                       std::vector<std::string>& folderSongs) {
    if (songIndex(folderSongs, bgmFile) < 0) folderSongs = listFolderSongs(path);
    const int count = int(folderSongs.size());
    if (count == 0) return {};
    int index = songIndex(folderSongs, path) + offset;
    if (index < 0) index = count - 1;
    if (index >= count) index = 0;
    return folderSongs[std::size_t(index)];
}

std::string playListText(const std::vector<std::string>& folderSongs, std::string_view bgmFile) {
    const int i = songIndex(folderSongs, bgmFile);
    const int n = int(folderSongs.size());
    const int first = i > kPlayListEntries - 1 ? i - (kPlayListEntries - 1) : 0;
    std::string text = "[" + std::to_string(i + 1) + "/" + std::to_string(n) + "]|";
    for (int k = 0; first + k < n && k < kPlayListEntries; ++k) {
        text += first + k == i ? "> " : "    ";
        text += fileNamePart(folderSongs[std::size_t(first + k)]);
        text += "|";
    }
    return text;
}

SongEndAction endOfSong(const Settings& settings, PlayerState& state) {
    state.songTime = 0;
    state.currentLine = 0;
    if (!settings.useBgm) return SongEndAction::RestartLyrics;
    return settings.folderRepeat ? SongEndAction::NextSong : SongEndAction::Replay;
}

std::string nextSongMessage(std::string_view bgmFile) {
    return withoutLastCharacters(fileNamePart(bgmFile), 4);
}

}  // namespace orba
