#include "platform/sjis.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

namespace orba {

namespace {

// One converter per thread; iconv_t is not safe to share.
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

// What the converter makes of one code of the page: its UTF-8 form, or
// nothing (size 0) when the converter refuses it.
struct DecodedChar {
    char utf8[7] = {};
    std::uint8_t size = 0;
};

// Every code of the page decoded once by iconv, so that the result is the
// converter's own, and then read by table: a line of invalid codes costs a
// look-up per byte instead of a converter call per byte.
class SjisDecodeTable {
public:
    SjisDecodeTable() {
        m_rowOf.fill(kNotLead);
        iconv_t cd = ::iconv_open("UTF-8", "CP932");
        if (cd == reinterpret_cast<iconv_t>(-1)) return;
        for (int b = 0; b < 256; ++b) {
            const char one[1] = {static_cast<char>(b)};
            if (decode(cd, one, 1, m_single[b]) != EINVAL) continue;
            // The converter waits for a second byte: a lead byte.
            m_rowOf[b] = static_cast<std::uint8_t>(m_rows.size() / 256);
            m_rows.resize(m_rows.size() + 256);
            for (int t = 0; t < 256; ++t) {
                const char two[2] = {static_cast<char>(b), static_cast<char>(t)};
                DecodedChar& c = m_rows[m_rows.size() - 256 + static_cast<std::size_t>(t)];
                decode(cd, two, 2, c);
            }
        }
        ::iconv_close(cd);
    }

    bool isLead(unsigned char b) const { return m_rowOf[b] != kNotLead; }
    const DecodedChar& single(unsigned char b) const { return m_single[b]; }
    const DecodedChar& pair(unsigned char lead, unsigned char trail) const {
        return m_rows[std::size_t{m_rowOf[lead]} * 256 + trail];
    }

private:
    static constexpr std::uint8_t kNotLead = 0xFF;

    // 0 when all `n` bytes became one character, else the converter's errno.
    static int decode(iconv_t cd, const char* bytes, std::size_t n, DecodedChar& c) {
        ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(bytes);
        char* dst = c.utf8;
        std::size_t srcLeft = n, dstLeft = sizeof c.utf8;
        if (::iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1))
            return errno;
        if (srcLeft != 0) return EILSEQ;
        c.size = static_cast<std::uint8_t>(dst - c.utf8);
        return 0;
    }

    std::array<DecodedChar, 256> m_single{};
    std::array<std::uint8_t, 256> m_rowOf{};
    std::vector<DecodedChar> m_rows;  // 256 trail bytes per lead byte
};

const SjisDecodeTable& decodeTable() {
    static const SjisDecodeTable table;
    return table;
}

Converter& toSjis() {
    thread_local Converter c("CP932", "UTF-8");
    return c;
}

}  // namespace

std::string sjisToUtf8(std::string_view sjis) {
    std::string out;
    appendSjisAsUtf8(out, sjis, sjis.size());
    return out;
}

std::size_t appendSjisAsUtf8(std::string& out, std::string_view sjis, std::size_t limit) {
    static constexpr DecodedChar kReplacement = {"\xEF\xBF\xBD", 3};  // U+FFFD
    const SjisDecodeTable& table = decodeTable();
    const std::size_t end = std::min(limit, sjis.size());
    // Room for the longest result, three bytes for every byte (one more for
    // a pair across the limit), and for the fixed-size copy of the last
    // character; cut to what was written. Writing through a pointer costs a
    // store per character, where an append per character cost a call.
    const std::size_t start = out.size();
    out.resize(start + (end + 1) * 3 + sizeof(DecodedChar::utf8));
    char* w = out.data() + start;
    std::size_t i = 0;
    while (i < end) {
        const auto b = static_cast<unsigned char>(sjis[i]);
        const DecodedChar* c = &table.single(b);
        std::size_t taken = 1;
        if (table.isLead(b)) {
            // Cut off at the end, the lead byte is refused; a refused pair
            // gives up only its first byte, the second is read anew.
            if (i + 1 == sjis.size()) {
                c = &kReplacement;
            } else {
                c = &table.pair(b, static_cast<unsigned char>(sjis[i + 1]));
                if (c->size) taken = 2;
            }
        }
        if (!c->size) c = &kReplacement;
        std::memcpy(w, c->utf8, sizeof c->utf8);
        w += c->size;
        i += taken;
    }
    out.resize(static_cast<std::size_t>(w - out.data()));
    return i;
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
