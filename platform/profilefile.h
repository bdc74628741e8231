// Profile (INI) files with the rules of the platform the settings format
// comes from: section and key names match without regard to case, the first
// match wins, booleans go through integers, "0x" prefixes hexadecimal, strings
// are cut at 2047 characters, and anything unusable gives the default.
//
// A ProfileFile is opened for one operation of the caller (a load, a save):
// it reads the file once, its writes change only its copy in memory (later
// reads see them), and commit() replaces the whole file once, atomically
// (temporary file + rename), keeping every other line as it was: comments,
// unknown sections and keys and their order survive. An operation that
// fails before or during its commit leaves the file as it was.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace orba {

// A refused write; the message is "<path> に書き込めません".
class ProfileWriteError : public std::runtime_error {
public:
    explicit ProfileWriteError(const std::filesystem::path& path);
};

// The longest string value that a read returns.
inline constexpr std::size_t kProfileStringMax = 2047;

// Parses an integer the way the settings store reads one: optional sign and
// decimal digits, or "0x"/"0X" followed by up to eight hex digits (taken as
// 32 bits, so 0xFFFFFFFF is -1). Anything else, or a number that does not
// fit in an int, gives the default.
int parseProfileInteger(std::string_view text, int defaultValue);

// The parsed contents of a profile file: its raw lines and where each
// section and key sits in them.
class ProfileText {
public:
    ProfileText() = default;
    explicit ProfileText(std::string_view bytes);

    // Value of the first matching key in the first matching section, trimmed
    // and without enclosing quotes; false when the key is missing.
    bool lookup(std::string_view section, std::string_view key, std::string& value) const;

    // Sets the key, replacing the first matching key line, else adding a line
    // at the end of the first matching section, else adding the section.
    void set(std::string_view section, std::string_view key, std::string_view value);

    std::string bytes() const;

private:
    struct Line {
        std::string text;
        std::string ending;  // "\r\n", "\n", "\r" or "" for a last line without one
    };
    std::vector<Line> m_lines;
    std::string m_newline = "\n";
};

class ProfileFile {
public:
    explicit ProfileFile(std::filesystem::path path);
    // The file's bytes as the caller read them (bounded, say), or "" for a
    // file that is not there yet.
    ProfileFile(std::filesystem::path path, std::string_view bytes);

    const std::filesystem::path& path() const { return m_path; }

    bool readBool(std::string_view section, std::string_view key, bool defaultValue) const;
    int readInteger(std::string_view section, std::string_view key, int defaultValue) const;
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;

    void writeBool(std::string_view section, std::string_view key, bool value);
    void writeInteger(std::string_view section, std::string_view key, int value);
    void writeString(std::string_view section, std::string_view key, std::string_view value);

    // Replaces the file with every write since it was opened (nothing when
    // there was none); throws ProfileWriteError. A missing folder of the file
    // is created first: a first start's per-user settings folder.
    void commit();

private:
    std::filesystem::path m_path;
    ProfileText m_text;
    bool m_changed = false;
};

}  // namespace orba
