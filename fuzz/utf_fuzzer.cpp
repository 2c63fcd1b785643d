// toUtf8 and fromUtf8 on arbitrary units and bytes: the output is always
// valid, well-formed text survives both ways unchanged, and what goes to the
// host through its memory manager is exactly the converted text.
#include <nlohmann/json.hpp>

#include "fuzz_support.h"
#include "nativeapi/utf.h"
#include "operations/host_values.h"
#include "support/test_memory.h"

namespace korvant::fuzz {
namespace {

bool isHigh(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLow(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The units with every unpaired surrogate replaced by U+FFFD.
std::u16string repaired(std::u16string_view units) {
    std::u16string out;
    for (size_t i = 0; i < units.size(); ++i) {
        if (isHigh(units[i]) && i + 1 < units.size() && isLow(units[i + 1])) {
            out.push_back(units[i]);
            out.push_back(units[++i]);
        } else {
            out.push_back(isHigh(units[i]) || isLow(units[i]) ? u'\uFFFD' : units[i]);
        }
    }
    return out;
}

void checkUnits(std::u16string_view units) {
    const std::string utf8 = utf16ToUtf8(units);
    require(sanitizeUtf8(utf8) == utf8, "UTF-16 converts to valid UTF-8");
    require(utf8ToUtf16(utf8) == repaired(units), "UTF-16 survives the round trip");
    nlohmann::json(utf8).dump();

    // The host's zero-terminated form is read up to its first zero.
    std::u16string terminated(units);
    terminated.push_back(0);
    const WideString host(terminated.begin(), terminated.end());
    require(toUtf8(host.c_str()) == utf16ToUtf8(units.substr(0, units.find(u'\0'))),
            "toUtf8 reads to the terminating zero");
}

void checkBytes(std::string_view bytes) {
    const std::u16string units = utf8ToUtf16(bytes);
    const std::string clean = sanitizeUtf8(bytes);
    require(utf16ToUtf8(units) == clean, "UTF-8 round trip gives the sanitized text");
    require(sanitizeUtf8(clean) == clean, "sanitizing is idempotent");
    const WideString wide = fromUtf8(bytes);
    require(std::u16string(wide.begin(), wide.end()) == units, "fromUtf8 agrees");

    korvant::testing::TestMemory memory;
    nativeapi::tVariant value{};
    require(setResultString(&memory, value, bytes), "the host takes the text");
    const size_t length =
        units.find(u'\0') == std::u16string::npos ? units.size() : units.find(u'\0');
    require(value.vt == nativeapi::VTYPE_PWSTR && value.wstr.wstrLen == length,
            "the host text has the converted length");
    require(std::u16string_view(reinterpret_cast<const char16_t*>(value.wstr.pwstrVal), length) ==
                std::u16string_view(units).substr(0, length),
            "the host text is the converted text");
    void* block = value.wstr.pwstrVal;
    memory.FreeMemory(&block);
}

} // namespace
} // namespace korvant::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace korvant::fuzz;
    std::u16string units(size / 2, u'\0');
    std::memcpy(units.data(), data, units.size() * 2);
    checkUnits(units);
    checkBytes(asText(data, size));
    return 0;
}
