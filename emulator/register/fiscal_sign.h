#pragma once
// The fiscal sign of a document: a 32-bit value computed from the storage's
// serial, the document number, its date and its printed content. A real storage
// signs with a key; the emulator only needs the same document to get the same
// sign, and different documents to get different ones.

#include <cstdint>
#include <string_view>

namespace korvant3emu {

uint32_t fiscalSign(std::string_view storageSerial, int64_t number, int64_t date,
                    std::string_view content);

} // namespace korvant3emu
