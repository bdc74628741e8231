#include "platform/profilefile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <limits>
#include <sstream>

namespace orba {

namespace fs = std::filesystem;

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// Names compare without regard to ASCII case; other bytes (Japanese names in
// any encoding) must match exactly.
bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    return true;
}

// A section header: "[name]" after optional blanks. A line that opens a
// bracket without closing it is still taken as a header up to its end.
bool sectionName(std::string_view line, std::string_view& name) {
    std::string_view t = trim(line);
    if (t.empty() || t.front() != '[') return false;
    t.remove_prefix(1);
    std::size_t close = t.find(']');
    name = trim(close == std::string_view::npos ? t : t.substr(0, close));
    return true;
}

bool keyValue(std::string_view line, std::string_view& key, std::string_view& value) {
    std::string_view t = trim(line);
    if (t.empty() || t.front() == ';') return false;
    std::size_t eq = t.find('=');
    if (eq == std::string_view::npos) return false;
    key = trim(t.substr(0, eq));
    value = trim(t.substr(eq + 1));
    return true;
}

// A value written into the file must stay on its line.
std::string oneLine(std::string_view value) {
    std::string s(value);
    for (char& c : s)
        if (c == '\r' || c == '\n') c = ' ';
    return s;
}

}  // namespace

ProfileWriteError::ProfileWriteError(const fs::path& path)
    : std::runtime_error(path.string() + " に書き込めません") {}

int parseProfileInteger(std::string_view text, int defaultValue) {
    std::string_view t = trim(text);
    if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        std::string_view digits = t.substr(2);
        if (digits.size() > 8) return defaultValue;
        std::uint32_t v = 0;
        auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v, 16);
        if (ec != std::errc() || end != digits.data() + digits.size()) return defaultValue;
        return static_cast<int>(v);
    }
    if (!t.empty() && t.front() == '+') t.remove_prefix(1);
    if (t.empty()) return defaultValue;
    int v = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v, 10);
    if (ec != std::errc() || end != t.data() + t.size()) return defaultValue;
    return v;
}

ProfileText::ProfileText(std::string_view bytes) {
    std::size_t i = 0;
    std::string firstEnding;
    bool mixed = false;
    while (i < bytes.size()) {
        std::size_t j = i;
        while (j < bytes.size() && bytes[j] != '\r' && bytes[j] != '\n') ++j;
        Line line{std::string(bytes.substr(i, j - i)), {}};
        if (j < bytes.size()) {
            if (bytes[j] == '\r' && j + 1 < bytes.size() && bytes[j + 1] == '\n')
                line.ending = "\r\n";
            else
                line.ending = std::string(1, bytes[j]);
            if (firstEnding.empty()) firstEnding = line.ending;
            mixed = mixed || line.ending != firstEnding;
        }
        i = j + line.ending.size();
        m_lines.push_back(std::move(line));
    }
    // New lines follow the file's own convention when it has one.
    if (!firstEnding.empty() && !mixed) m_newline = firstEnding;
}

bool ProfileText::lookup(std::string_view section, std::string_view key, std::string& value) const {
    bool inSection = false;
    bool sectionSeen = false;
    for (const Line& line : m_lines) {
        std::string_view name;
        if (sectionName(line.text, name)) {
            // Only the first section of that name counts.
            if (inSection) return false;
            inSection = !sectionSeen && sameName(name, section);
            sectionSeen = sectionSeen || inSection;
            continue;
        }
        std::string_view k, v;
        if (inSection && keyValue(line.text, k, v) && sameName(k, key)) {
            if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
                v = v.substr(1, v.size() - 2);
            value.assign(v.substr(0, std::min(v.size(), kProfileStringMax)));
            return true;
        }
    }
    return false;
}

void ProfileText::set(std::string_view section, std::string_view key, std::string_view value) {
    std::string newLine = std::string(key) + "=" + oneLine(value);
    std::size_t sectionStart = m_lines.size();
    std::size_t lastContent = 0;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        std::string_view name;
        if (sectionName(m_lines[i].text, name)) {
            if (sectionStart != m_lines.size()) break;
            if (sameName(name, section)) {
                sectionStart = i;
                lastContent = i;
            }
            continue;
        }
        if (sectionStart == m_lines.size()) continue;
        std::string_view k, v;
        if (keyValue(m_lines[i].text, k, v) && sameName(k, key)) {
            m_lines[i].text = newLine;
            return;
        }
        if (!trim(m_lines[i].text).empty()) lastContent = i;
    }
    if (!m_lines.empty() && m_lines.back().ending.empty()) m_lines.back().ending = m_newline;
    if (sectionStart == m_lines.size()) {
        m_lines.push_back({"[" + std::string(section) + "]", m_newline});
        m_lines.push_back({newLine, m_newline});
        return;
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(lastContent) + 1,
                   Line{newLine, m_newline});
}

std::string ProfileText::bytes() const {
    std::string out;
    for (const Line& line : m_lines) {
        out += line.text;
        out += line.ending;
    }
    return out;
}

ProfileFile::ProfileFile(fs::path path) : m_path(std::move(path)) {
    std::error_code ec;
    if (!fs::is_regular_file(m_path, ec)) return;
    std::ifstream in(m_path, std::ios::binary);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    m_text = ProfileText(buffer.str());
}

ProfileFile::ProfileFile(fs::path path, std::string_view bytes)
    : m_path(std::move(path)), m_text(bytes) {}

bool ProfileFile::readBool(std::string_view section, std::string_view key,
                           bool defaultValue) const {
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

int ProfileFile::readInteger(std::string_view section, std::string_view key,
                             int defaultValue) const {
    std::string value;
    if (!m_text.lookup(section, key, value)) return defaultValue;
    return parseProfileInteger(value, defaultValue);
}

std::string ProfileFile::readString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const {
    std::string value;
    if (!m_text.lookup(section, key, value)) return std::string(defaultValue);
    return value;
}

void ProfileFile::writeBool(std::string_view section, std::string_view key, bool value) {
    writeString(section, key, value ? "1" : "0");
}

void ProfileFile::writeInteger(std::string_view section, std::string_view key, int value) {
    writeString(section, key, std::to_string(value));
}

void ProfileFile::writeString(std::string_view section, std::string_view key,
                              std::string_view value) {
    m_text.set(section, key, value);
    m_changed = true;
}

namespace {

bool writeWhole(const char* path, const std::string& data) {
    std::FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    ok = std::fflush(f) == 0 && ok;
    ok = ::fsync(::fileno(f)) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

}  // namespace

// Writes beside the file and renames over it, so that a crash or a full disk
// leaves either the old file or the new one, never half of one. A file
// without any write permission bit is treated as read-only even for root,
// as the platform the format comes from would refuse it. A writable file in
// a folder where nothing new may be created is rewritten in place: the only
// way left to save it.
void ProfileFile::commit() {
    if (!m_changed) return;
    std::error_code ec;
    fs::path target = m_path;
    if (target.has_parent_path() && !fs::exists(target.parent_path(), ec))
        fs::create_directories(target.parent_path(), ec);
    if (fs::is_symlink(target, ec)) target = fs::weakly_canonical(target, ec);
    struct stat st {};
    bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists &&
        (!S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0))
        throw ProfileWriteError(m_path);

    const std::string data = m_text.bytes();
    fs::path temp = target;
    temp += ".tmp" + std::to_string(::getpid());
    if (std::FILE* probe = std::fopen(temp.c_str(), "wb")) {
        std::fclose(probe);
        bool ok = writeWhole(temp.c_str(), data);
        if (ok && exists) ok = ::chmod(temp.c_str(), st.st_mode & 07777) == 0;
        if (ok) ok = std::rename(temp.c_str(), target.c_str()) == 0;
        if (!ok) {
            std::remove(temp.c_str());
            throw ProfileWriteError(m_path);
        }
        m_changed = false;
        return;
    }
    if (!exists || !writeWhole(target.c_str(), data)) throw ProfileWriteError(m_path);
    m_changed = false;
}

}  // namespace orba
