#include "printer/code_svg.h"

#include "printer/linear_barcode.h"
#include "printer/qr_code.h"
#include "printer/text_format.h"

#include <algorithm>

namespace korvant3emu {
namespace {

constexpr int kQrQuietZone = 4;
constexpr int kBarQuietZone = 11;
constexpr int kBarHeightPixels = 60;
// A code is drawn at most about as wide as the paper of a 48-character line.
constexpr int kPaperPixels = 400;

// One dark rectangle in module units, as a path piece.
std::string rectangle(int x, int y, int width, int height) {
    return "M" + decimal(x) + " " + decimal(y) + "h" + decimal(width) + "v" + decimal(height) +
           "h-" + decimal(width) + "z";
}

// `modules` module units wide and `rows` high, each module `scale` pixels.
std::string svg(int modules, int rows, int scale, const std::string& path) {
    const std::string width = decimal(modules);
    const std::string height = decimal(rows);
    return R"(<svg xmlns="http://www.w3.org/2000/svg" width=")" + decimal(modules * scale) +
           R"(" height=")" + decimal(rows * scale) + R"(" viewBox="0 0 )" + width + " " + height +
           R"(" shape-rendering="crispEdges"><rect width=")" + width + R"(" height=")" + height +
           R"(" fill="#fff"/><path fill="#000" d=")" + path + R"("/></svg>)";
}

// Each run of dark modules in a row is one rectangle.
std::string qrSvg(const QrSymbol& symbol) {
    std::string path;
    for (int row = 0; row < symbol.size; ++row) {
        for (int column = 0; column < symbol.size;) {
            if (!symbol.isDark(row, column)) {
                ++column;
                continue;
            }
            const int start = column;
            while (column < symbol.size && symbol.isDark(row, column)) {
                ++column;
            }
            path += rectangle(start + kQrQuietZone, row + kQrQuietZone, column - start, 1);
        }
    }
    const int modules = symbol.size + 2 * kQrQuietZone;
    return svg(modules, modules, std::clamp(kPaperPixels * 2 / 3 / modules, 2, 4), path);
}

std::string barsSvg(const BarModules& bars) {
    const int modules = int(bars.size()) + 2 * kBarQuietZone;
    const int scale = modules * 2 <= kPaperPixels ? 2 : 1;
    const int rows = kBarHeightPixels / scale;
    std::string path;
    for (size_t i = 0; i < bars.size();) {
        if (!bars[i]) {
            ++i;
            continue;
        }
        const size_t start = i;
        while (i < bars.size() && bars[i]) {
            ++i;
        }
        path += rectangle(int(start) + kBarQuietZone, 0, int(i - start), rows);
    }
    return svg(modules, rows, scale, path);
}

std::optional<BarModules> barsOf(CodeType type, const std::string& value) {
    switch (type) {
    case CodeType::ean8:
        return encodeEan8(value);
    case CodeType::ean13:
        return encodeEan13(value);
    case CodeType::code39:
        return encodeCode39(value);
    case CodeType::qr:
        break;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> codeSvg(CodeType type, const std::string& value) {
    if (type == CodeType::qr) {
        const auto symbol = encodeQr(value);
        return symbol ? std::optional(qrSvg(*symbol)) : std::nullopt;
    }
    const auto bars = barsOf(type, value);
    return bars ? std::optional(barsSvg(*bars)) : std::nullopt;
}

} // namespace korvant3emu
