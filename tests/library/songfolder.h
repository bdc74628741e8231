// A song folder of the tests' own: tiny music files with lyric files beside
// them, and a describer that counts its calls (a rescan that reads nothing
// calls it never) and tells each song by its name and its lyric file.
#pragma once

#include <atomic>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>

#include "library/library.h"
#include "tests/support/tempdir.h"

namespace orba::test {

class SongFolder {
public:
    SongFolder() { std::filesystem::create_directories(songs()); }

    std::string songs() const { return m_dir.file("songs"); }
    std::string libraryFile() const { return m_dir.file("library.db"); }
    std::string song(const std::string& relative) const { return songs() + "/" + relative; }

    // A music file, with its lyric file B.txt when `lyrics` is given.
    std::string addSong(const std::string& relative, const std::string& lyrics = {}) {
        const std::string path = song(relative);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        writeFile(path, "music of " + relative);
        if (!lyrics.empty()) writeFile(lyricFile(path), lyrics);
        return path;
    }
    static std::string lyricFile(const std::string& music) {
        return std::filesystem::path(music).replace_extension(".txt").string();
    }

    // Fixes what a song says, whatever its files hold.
    void tell(const std::string& path, SongFacts facts) {
        std::lock_guard lock(m_mutex);
        m_facts[path] = std::move(facts);
    }

    DescribeSong describer() {
        return [this](const std::string& path) -> std::optional<SongFacts> {
            ++calls;
            {
                std::lock_guard lock(m_mutex);
                if (const auto it = m_facts.find(path); it != m_facts.end()) return it->second;
            }
            std::optional<SongFacts> facts = describeByFileName(path);
            if (std::filesystem::exists(lyricFile(path))) facts->lyrics = readFile(lyricFile(path));
            return facts;
        };
    }

    std::atomic<int> calls{0};

private:
    TempDir m_dir;
    std::mutex m_mutex;
    std::map<std::string, SongFacts> m_facts;
};

inline std::vector<std::string> titlesOf(const std::vector<SearchHit>& hits) {
    std::vector<std::string> titles;
    for (const SearchHit& h : hits) titles.push_back(h.title);
    return titles;
}

}  // namespace orba::test
