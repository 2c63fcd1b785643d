#include "printer/qr_code.h"

#include <qrencode.h>

#include <algorithm>
#include <memory>
#include <string>

namespace korvant3emu {
namespace {

// The ECI number of UTF-8.
constexpr unsigned kUtf8Eci = 26;
// The most characters any QR code holds (digits only, version 40, level L); the encoder tells
// whether a shorter text fits.
constexpr size_t kMostCharacters = 7089;

struct QrFree {
    void operator()(QRcode* code) const { QRcode_free(code); }
    void operator()(QRinput* input) const { QRinput_free(input); }
};

bool plainAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return c != '\0' && static_cast<unsigned char>(c) < 0x80; });
}

bool beyondAscii(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

QRcode* encodeBytes(std::string_view text) {
    const std::unique_ptr<QRinput, QrFree> input(QRinput_new2(0, QR_ECLEVEL_M));
    if (!input || (beyondAscii(text) && QRinput_appendECIheader(input.get(), kUtf8Eci) != 0) ||
        QRinput_append(input.get(), QR_MODE_8, int(text.size()),
                       reinterpret_cast<const unsigned char*>(text.data())) != 0) {
        return nullptr;
    }
    return QRcode_encodeInput(input.get());
}

} // namespace

std::optional<QrSymbol> encodeQr(std::string_view text) {
    if (text.empty() || text.size() > kMostCharacters) {
        return std::nullopt;
    }
    // Plain ASCII lets the encoder pack digits and capitals tighter.
    const std::unique_ptr<QRcode, QrFree> code(
        plainAscii(text)
            ? QRcode_encodeString(std::string(text).c_str(), 0, QR_ECLEVEL_M, QR_MODE_8, 1)
            : encodeBytes(text));
    if (!code) {
        return std::nullopt;
    }
    QrSymbol symbol;
    symbol.size = code->width;
    symbol.dark.resize(size_t(code->width) * size_t(code->width));
    // Bit 0 of each byte is the module's colour; the others say what the module is for.
    std::transform(code->data, code->data + symbol.dark.size(), symbol.dark.begin(),
                   [](unsigned char module) { return uint8_t(module & 1); });
    return symbol;
}

} // namespace korvant3emu
