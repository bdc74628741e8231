// A small writer for the one-object JSON answers of the headless commands.
#pragma once

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace orba {

// A non-negative whole number of milliseconds as a headless command's
// argument gives it; nothing for anything else (signs, blanks, overflow).
std::optional<int> parseMilliseconds(std::string_view text);

// Quotes and escapes UTF-8 text as a JSON string. Bytes that are not valid
// UTF-8 become U+FFFD so the output always parses.
std::string jsonString(std::string_view utf8);
// The same, appended to `out`.
void appendJsonString(std::string& out, std::string_view utf8);

// Builds {"key": value, ...} with keys in the order they are added.
class JsonObject {
public:
    JsonObject& add(std::string_view key, std::string_view utf8Text);
    JsonObject& add(std::string_view key, const char* utf8Text);
    JsonObject& add(std::string_view key, long long number);
    JsonObject& add(std::string_view key, int number) { return add(key, (long long)number); }
    JsonObject& add(std::string_view key, double number);
    JsonObject& add(std::string_view key, bool value);
    JsonObject& addNull(std::string_view key);
    // `json` must already be valid JSON (an object, an array ...).
    JsonObject& addRaw(std::string_view key, std::string_view json);

    std::string str() const& { return m_text + "}"; }
    std::string str() && {
        m_text += '}';
        return std::move(m_text);
    }
    // The object so far with one more key opened: the caller writes that
    // key's value and the closing "}" after it, so a large value can be
    // written out piece by piece instead of being held whole.
    std::string strOpenedAt(std::string_view key);

private:
    void key(std::string_view k);
    std::string m_text = "{";
};

// The same object as JsonObject gives for the same calls, written to `out`
// as it is built through a small buffer: a value of many megabytes goes out
// in pieces instead of being held, and copied, whole.
class JsonObjectStream {
public:
    explicit JsonObjectStream(std::FILE* out);
    JsonObjectStream(const JsonObjectStream&) = delete;
    JsonObjectStream& operator=(const JsonObjectStream&) = delete;
    // Closes the object if close() was not called.
    ~JsonObjectStream();

    JsonObjectStream& add(std::string_view key, std::string_view utf8Text);
    JsonObjectStream& add(std::string_view key, long long number);
    JsonObjectStream& add(std::string_view key, int number) { return add(key, (long long)number); }
    // A string value that comes in pieces of whole UTF-8 characters, so
    // that not even the text is held whole: `nextPiece(piece)` appends the
    // next piece to the empty `piece`, or returns false when none is left.
    JsonObjectStream& addPieces(std::string_view key,
                                const std::function<bool(std::string& piece)>& nextPiece);
    JsonObjectStream& addNull(std::string_view key);
    JsonObjectStream& addRaw(std::string_view key, std::string_view json);

    // Writes the closing "}" and everything still buffered; false when the
    // stream refused any of it.
    bool close();

private:
    void key(std::string_view k);
    void flushIfFull();
    void flush();

    std::FILE* m_out;
    std::string m_buffer;
    bool m_first = true;
    bool m_closed = false;
    bool m_failed = false;
};

}  // namespace orba
