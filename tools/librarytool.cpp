#include "tools/librarytool.h"

#include <cstdio>
#include <memory>

#include "library/library.h"
#include "lyrics/sources/lyricsource.h"
#include "lyrics/sources/musictag.h"
#include "lyrics/textforms.h"
#include "platform/files.h"
#include "platform/guardedcommand.h"
#include "platform/json.h"
#include "settings/settingsstore.h"
#include "player/songresolution.h"
#include "tools/toolargs.h"

namespace orba {

namespace {

constexpr int kDefaultLimit = 50;
constexpr int kLargestLimit = 10000;

std::unique_ptr<Library> openLibrary() {
    auto library = std::make_unique<Library>(libraryFileFromEnvironment(), describeSongForTools);
    if (!library->notice().empty())
        std::fprintf(stderr, "orbakaraoke: %s\n", library->notice().c_str());
    return library;
}

std::string stringArray(const std::vector<std::string>& items) {
    std::string json = "[";
    for (const std::string& s : items) {
        if (json.size() > 1) json += ", ";
        appendJsonString(json, s);
    }
    return json + "]";
}

std::string countsObject(const std::vector<std::pair<std::string, std::int64_t>>& counts) {
    JsonObject o;
    for (const auto& [name, n] : counts)
        o.add(name.empty() ? "none" : name, static_cast<long long>(n));
    return o.str();
}

int print(const std::string& json) {
    std::puts(json.c_str());
    return std::fflush(stdout) == 0 ? 0 : 2;
}

int libraryAdd(const std::vector<std::string>& args) {
    std::vector<std::string> folders(args.begin() + 1, args.end());
    if (folders.empty()) return toolError("usage: orbakaraoke --library-add DIR...");
    for (const std::string& f : folders) {
        if (f.rfind("--", 0) == 0) return toolError("unknown option " + f);
        if (!isFolder(f)) return toolError(f + " is no folder");
    }
    const std::unique_ptr<Library> library = openLibrary();
    ScanReport total;
    for (const std::string& f : folders) {
        library->addFolder(f);
        const ScanReport r = library->rescanFolder(f, ScanDepth::Tree);
        if (!r.error.empty()) return toolError(r.error);
        total.filesSeen += r.filesSeen;
        total.added += r.added;
        total.updated += r.updated;
        total.removed += r.removed;
        total.skipped += r.skipped;
    }
    const LibraryStats stats = library->stats();
    return print(JsonObject()
                     .addRaw("folders", stringArray(stats.folders))
                     .add("filesSeen", static_cast<long long>(total.filesSeen))
                     .add("added", static_cast<long long>(total.added))
                     .add("updated", static_cast<long long>(total.updated))
                     .add("removed", static_cast<long long>(total.removed))
                     .add("skipped", static_cast<long long>(total.skipped))
                     .add("songs", static_cast<long long>(stats.songs))
                     .str());
}

int libraryRemove(const std::vector<std::string>& args) {
    ToolArgs a;
    if (std::string e = parseToolArgs(args, {}, a); !e.empty())
        return toolError(e + "\nusage: orbakaraoke --library-remove DIR");
    const std::unique_ptr<Library> library = openLibrary();
    const bool removed = library->removeFolder(a.file);
    const LibraryStats stats = library->stats();
    return print(JsonObject()
                     .add("removed", removed)
                     .addRaw("folders", stringArray(stats.folders))
                     .add("songs", static_cast<long long>(stats.songs))
                     .str());
}

int search(const std::vector<std::string>& args) {
    constexpr const char* kUsage = "usage: orbakaraoke --search TEXT [--limit N]";
    if (args.size() < 2) return toolError(std::string("no text given\n") + kUsage);
    ToolArgs a;
    if (std::string e = parseToolArgs(args, {{"--limit", true}}, a); !e.empty())
        return toolError(e + "\n" + kUsage);
    int limit = kDefaultLimit;
    if (const auto it = a.values.find("--limit"); it != a.values.end()) {
        const std::optional<int> n = parseMilliseconds(it->second);
        if (!n || *n < 1 || *n > kLargestLimit)
            return toolError("--limit: '" + it->second + "' is not a number from 1 to " +
                             std::to_string(kLargestLimit));
        limit = *n;
    }
    const std::unique_ptr<Library> library = openLibrary();
    std::string results = "[";
    for (const SearchHit& hit : library->search(a.file, limit)) {
        if (results.size() > 1) results += ", ";
        JsonObject o;
        o.add("id", static_cast<long long>(hit.id))
            .add("path", hit.path)
            .add("title", hit.title)
            .add("artist", hit.artist);
        if (hit.line.empty())
            o.addNull("line");
        else
            o.add("line", hit.line);
        results += std::move(o).str();
    }
    return print(JsonObject().addRaw("results", results + "]").str());
}

int libraryStats(const std::vector<std::string>& args) {
    if (args.size() > 1) return toolError("usage: orbakaraoke --library-stats");
    const std::unique_ptr<Library> library = openLibrary();
    const LibraryStats s = library->stats();
    return print(JsonObject()
                     .add("file", library->file())
                     .addRaw("folders", stringArray(s.folders))
                     .add("songs", static_cast<long long>(s.songs))
                     .add("missing", static_cast<long long>(s.missing))
                     .addRaw("types", countsObject(s.types))
                     .addRaw("dialects", countsObject(s.dialects))
                     .addRaw("skipped", countsObject(s.skipped))
                     .add("databaseBytes", static_cast<long long>(s.databaseBytes))
                     .str());
}

}  // namespace

std::optional<SongFacts> describeSongForTools(const std::string& path) {
    // A song text is a song only when it names audio that is there.
    const SongOnDisk onDisk = lookAtSong(path);
    if (onDisk.musicFile.empty()) return std::nullopt;
    if (onDisk.musicFile == path && !opensAsSong(path)) return std::nullopt;
    std::optional<SongFacts> facts = describeByFileName(path);
    facts->type = musicTypeByExtension(onDisk.musicFile);
    // The song as the window opens it.
    const ResolvedSong song = chooseSong(onDisk, {});
    facts->hasPictures = song.choice.useImages;
    facts->hasPerSongFile = !song.perSongFile.empty();
    if (song.isMidi) facts->type = "midi";
    // The tags of the music file give lyrics, title and artist (Matroska's
    // need a pipeline per file, so they wait for the player's own reading).
    LyricSource source = readFirstLyrics(song.lyrics, musicTagReader({}));
    if (!source.found) return facts;
    const TextEncoding e = source.form.encoding;
    facts->lyricSource = lyricSourceName(source.form.source);
    facts->lyricDialect = lyricDialectName(source.form.dialect);
    facts->lyricEncoding = encodingName(e);
    if (!source.form.title.empty()) facts->title = source.form.title;
    if (!source.form.artist.empty()) facts->artist = source.form.artist;
    for (std::string& line : source.lines) {
        const std::string shown = lyricTextToUtf8(plainTextForm(std::move(line), e), e);
        if (shown.find_first_not_of(" \t\r") == std::string::npos) continue;
        facts->lyrics.append(shown).push_back('\n');
    }
    if (!facts->lyrics.empty()) facts->lyrics.pop_back();
    return facts;
}

int runLibraryAdd(const std::vector<std::string>& args) {
    return runGuardedCommand([&] { return libraryAdd(args); });
}

int runLibraryRemove(const std::vector<std::string>& args) {
    return runGuardedCommand([&] { return libraryRemove(args); });
}

int runSearch(const std::vector<std::string>& args) {
    return runGuardedCommand([&] { return search(args); });
}

int runLibraryStats(const std::vector<std::string>& args) {
    return runGuardedCommand([&] { return libraryStats(args); });
}

}  // namespace orba
