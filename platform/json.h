// A small writer for the one-object JSON answers of the headless commands.
#pragma once

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

    std::string str() const { return "{" + m_body + "}"; }
    // The object so far with one more key opened: the caller writes that
    // key's value and the closing "}" after it, so a large value can be
    // written out piece by piece instead of being held whole.
    std::string strOpenedAt(std::string_view key);

private:
    void key(std::string_view k);
    std::string m_body;
};

}  // namespace orba
