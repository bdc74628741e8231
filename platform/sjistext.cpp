#include "platform/sjistext.h"

#include <QStringDecoder>
#include <string>
#include <unordered_map>

#include "platform/sjis.h"

namespace orba {

namespace {

constexpr std::size_t kCacheLimit = 256;

bool isAscii(std::string_view bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

}  // namespace

QString sjisText(std::string_view sjis) {
    // Overlay readouts change every frame; plain ASCII needs no codec and
    // would only churn the cache.
    if (isAscii(sjis)) return QString::fromLatin1(sjis.data(), static_cast<qsizetype>(sjis.size()));

    thread_local std::unordered_map<std::string, QString> cache;
    std::string key(sjis);
    if (auto it = cache.find(key); it != cache.end()) return it->second;
    if (cache.size() >= kCacheLimit) cache.clear();
    QString text = QString::fromStdString(sjisToUtf8(sjis));
    cache.emplace(std::move(key), text);
    return text;
}

QString utf8OrSjisText(std::string_view bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (!utf8.hasError()) return text;
    return sjisText(bytes);
}

}  // namespace orba
