#include "platform/sjis.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace orba {

namespace {

// One converter per direction and thread; iconv_t is not safe to share.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(::iconv_open(to, from)) {}
    ~Converter() {
        if (m_cd != reinterpret_cast<iconv_t>(-1)) ::iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as possible; returns false at an invalid (EILSEQ) or
    // incomplete (EINVAL) sequence, leaving `in` at it.
    bool run(std::string_view& in, std::string& out, int& error) {
        error = 0;
        if (m_cd == reinterpret_cast<iconv_t>(-1)) {
            error = EILSEQ;
            return false;
        }
        ::iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char buffer[1024];
        while (!in.empty()) {
            char* src = const_cast<char*>(in.data());
            std::size_t srcLeft = in.size();
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            std::size_t r = ::iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            in.remove_prefix(in.size() - srcLeft);
            if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
                error = errno;
                return false;
            }
        }
        return true;
    }

private:
    iconv_t m_cd;
};

Converter& fromSjis() {
    thread_local Converter c("UTF-8", "CP932");
    return c;
}

Converter& toSjis() {
    thread_local Converter c("CP932", "UTF-8");
    return c;
}

}  // namespace

std::string sjisToUtf8(std::string_view sjis) {
    std::string out;
    out.reserve(sjis.size() * 3 / 2);
    int error = 0;
    while (!fromSjis().run(sjis, out, error)) {
        out += "\xEF\xBF\xBD";  // U+FFFD
        if (error == EINVAL || sjis.empty()) break;
        sjis.remove_prefix(1);
    }
    return out;
}

std::string utf8ToSjis(std::string_view utf8) {
    std::string out;
    int error = 0;
    while (!toSjis().run(utf8, out, error)) {
        out += '?';
        if (error == EINVAL || utf8.empty()) break;
        // Skip the whole UTF-8 character that had no CP932 form.
        std::size_t n = 1;
        while (n < utf8.size() && (static_cast<unsigned char>(utf8[n]) & 0xC0) == 0x80) ++n;
        utf8.remove_prefix(n);
    }
    return out;
}

}  // namespace orba
