#include "platform/qrcode.h"

#include <qrencode.h>

#include <memory>
#include <string>

namespace orba {

QrCode makeQrCode(std::string_view text) {
    QrCode code;
    if (text.empty()) return code;
    const std::string bytes(text);
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> qr(
        QRcode_encodeData(static_cast<int>(bytes.size()),
                          reinterpret_cast<const unsigned char*>(bytes.data()), 0, QR_ECLEVEL_M),
        &QRcode_free);
    if (!qr) return code;
    code.size = qr->width;
    code.dark.resize(static_cast<std::size_t>(qr->width) * static_cast<std::size_t>(qr->width));
    // Bit 0 of each of libqrencode's bytes is the module's colour; the
    // others say what part of the symbol it belongs to.
    for (std::size_t i = 0; i < code.dark.size(); ++i) code.dark[i] = qr->data[i] & 1;
    return code;
}

}  // namespace orba
