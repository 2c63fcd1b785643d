#include "register/fiscal_sign.h"

#include "printer/text_format.h"

#include <string>

namespace korvant3emu {
namespace {

// 32-bit FNV-1a.
uint32_t hash(uint32_t state, std::string_view bytes) {
    for (unsigned char byte : bytes) {
        state = (state ^ byte) * 16777619u;
    }
    return state;
}

} // namespace

uint32_t fiscalSign(std::string_view storageSerial, int64_t number, int64_t date,
                    std::string_view content) {
    uint32_t sign = 2166136261u;
    sign = hash(sign, storageSerial);
    sign = hash(sign, "|" + decimal(number) + "|" + decimal(date) + "|");
    sign = hash(sign, content);
    // A sign of 0 reads as "no sign" to a client.
    return sign == 0 ? 1 : sign;
}

} // namespace korvant3emu
