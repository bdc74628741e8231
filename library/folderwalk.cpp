#include "library/folderwalk.h"

#include <algorithm>
#include <optional>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/musictypes.h"

namespace orba {

namespace {

std::string joinPath(const std::string& folder, const std::string& name) {
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// One folder's entries in name order, each looked at (stat) at most once.
class FolderListing {
public:
    FolderListing(std::string folder, std::vector<FolderEntry> entries)
        : m_folder(std::move(folder)), m_entries(std::move(entries)) {
        std::sort(m_entries.begin(), m_entries.end(),
                  [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
        m_infos.resize(m_entries.size());
    }

    std::size_t size() const { return m_entries.size(); }
    const FolderEntry& entry(std::size_t i) const { return m_entries[i]; }
    std::string path(std::size_t i) const { return joinPath(m_folder, m_entries[i].name); }

    const std::optional<FileInfo>& info(std::size_t i, std::string* error = nullptr) {
        if (!m_infos[i].looked) {
            m_infos[i].looked = true;
            m_infos[i].info = fileInfo(path(i), &m_infos[i].error);
        }
        if (error) *error = m_infos[i].error;
        return m_infos[i].info;
    }

    // FNV-1a over name, size and time of the files named stem.* or stem_*
    // other than entry `self`.
    std::uint64_t companionsOf(std::size_t self) {
        const std::string& name = m_entries[self].name;
        const std::string stem = name.substr(0, name.size() - extensionPart(name).size());
        std::uint64_t hash = 0;
        auto mix = [&hash](const void* data, std::size_t n) {
            const auto* p = static_cast<const unsigned char*>(data);
            for (std::size_t k = 0; k < n; ++k) hash = (hash ^ p[k]) * 0x100000001B3ull;
        };
        auto it =
            std::lower_bound(m_entries.begin(), m_entries.end(), stem,
                             [](const FolderEntry& e, const std::string& s) { return e.name < s; });
        for (; it != m_entries.end() && it->name.compare(0, stem.size(), stem) == 0; ++it) {
            const std::size_t i = static_cast<std::size_t>(it - m_entries.begin());
            if (i == self || it->name.size() == stem.size()) continue;
            const char next = it->name[stem.size()];
            if (next != '.' && next != '_') continue;
            const std::optional<FileInfo>& sibling = info(i);
            if (!sibling || sibling->kind != FileKind::File) continue;
            if (hash == 0) hash = 0xCBF29CE484222325ull;
            mix(it->name.data(), it->name.size() + 1);
            mix(&sibling->size, sizeof sibling->size);
            mix(&sibling->mtimeNs, sizeof sibling->mtimeNs);
        }
        return hash;
    }

    // Whether a music file of the same name (B.mp3 for B.txt) lies here.
    bool hasMusicNamesake(std::size_t self) const {
        const std::string& name = m_entries[self].name;
        const std::string stem = name.substr(0, name.size() - extensionPart(name).size() + 1);
        auto it =
            std::lower_bound(m_entries.begin(), m_entries.end(), stem,
                             [](const FolderEntry& e, const std::string& s) { return e.name < s; });
        for (; it != m_entries.end() && it->name.compare(0, stem.size(), stem) == 0; ++it)
            if (hasMusicExtension(it->name) && extensionPart(it->name).size() + stem.size() ==
                                                   it->name.size() + 1)
                return true;
        return false;
    }

private:
    struct Looked {
        bool looked = false;
        std::optional<FileInfo> info;
        std::string error;
    };
    std::string m_folder;
    std::vector<FolderEntry> m_entries;
    std::vector<Looked> m_infos;
};

bool isSongText(const std::string& name) {
    const std::string ext = extensionPart(name);
    return ext.size() == 4 && ext[0] == '.' && (ext[1] | 0x20) == 't' && (ext[2] | 0x20) == 'x' &&
           (ext[3] | 0x20) == 't';
}

// A song text opens with "#NAME:" header lines; lyric texts and notes do
// not, so they are passed over with a glance at their first bytes (in
// UTF-8, an 8-bit code, or UTF-16 with its mark).
bool startsWithHeader(std::string_view head) {
    bool wide = false;
    if (head.starts_with("\xEF\xBB\xBF")) {
        head.remove_prefix(3);
    } else if (head.starts_with("\xFF\xFE") || head.starts_with("\xFE\xFF")) {
        head.remove_prefix(2);
        wide = true;
    }
    for (char c : head) {
        if (c == '\0' && wide) continue;
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
        return c == '#';
    }
    return false;
}

}  // namespace

WalkEnd walkMusicFiles(const std::string& folder, ScanDepth depth, WalkVisitor& visitor) {
    const std::optional<FileInfo> top = fileInfo(folder);
    if (!top || top->kind != FileKind::Folder) return WalkEnd::FolderUnreachable;
    std::set<std::pair<std::uint64_t, std::uint64_t>> entered = {{top->device, top->inode}};
    std::vector<std::string> pending = {folder};
    std::vector<FolderEntry> entries;
    while (!pending.empty()) {
        const std::string current = std::move(pending.back());
        pending.pop_back();
        std::string error;
        if (!listFolder(current, entries, &error)) {
            visitor.leftOut(current, SkipReason::FolderUnreadable, error);
            continue;
        }
        visitor.folderEntered(current);
        FolderListing listing(current, std::move(entries));
        std::vector<std::string> subfolders;
        for (std::size_t i = 0; i < listing.size(); ++i) {
            const FolderEntry& e = listing.entry(i);
            if (e.name.front() == '.') continue;
            FileKind kind = e.kind;
            const bool music = hasMusicExtension(e.name);
            if (kind == FileKind::Link || kind == FileKind::Unknown) {
                const std::optional<FileInfo>& target = listing.info(i, &error);
                if (!target) {
                    if (music) visitor.leftOut(listing.path(i), SkipReason::BrokenLink, error);
                    continue;
                }
                kind = target->kind;
            }
            if (kind == FileKind::Folder && depth == ScanDepth::Tree) {
                const std::optional<FileInfo>& f = listing.info(i, &error);
                if (!f)
                    visitor.leftOut(listing.path(i), SkipReason::FolderUnreadable, error);
                else if (!entered.insert({f->device, f->inode}).second)
                    visitor.repeatedFolder(listing.path(i));
                else
                    subfolders.push_back(listing.path(i));
            } else if (kind == FileKind::File && music) {
                const std::optional<FileInfo>& f = listing.info(i, &error);
                if (!f) {
                    visitor.leftOut(listing.path(i), SkipReason::NoAccess, error);
                    continue;
                }
                if (!visitor.musicFile(listing.path(i), *f, listing.companionsOf(i)))
                    return WalkEnd::Stopped;
            } else if (kind == FileKind::File && isSongText(e.name) &&
                       !listing.hasMusicNamesake(i) &&
                       startsWithHeader(readFileStart(listing.path(i), 64))) {
                const std::optional<FileInfo>& f = listing.info(i);
                if (f && !visitor.songFile(listing.path(i), *f, listing.companionsOf(i)))
                    return WalkEnd::Stopped;
            }
        }
        // Taken from the back: the subfolders are walked in name order.
        pending.insert(pending.end(), subfolders.rbegin(), subfolders.rend());
    }
    return WalkEnd::Done;
}

}  // namespace orba
