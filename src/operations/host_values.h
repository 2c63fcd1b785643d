#pragma once
// Reading and writing host values. Host texts are zero-terminated UTF-16; inside
// the component texts are UTF-8. Every text handed back to the host is allocated
// through the host's memory manager and then belongs to the host.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "nativeapi/abi.h"
#include "nativeapi/interfaces.h"

namespace korvant {

using nativeapi::IMemoryManager;
using nativeapi::tVariant;
using nativeapi::WCHAR_T;
using WideString = std::basic_string<WCHAR_T>;

// Host text (read up to its terminating zero, whatever wstrLen says) to UTF-8.
std::string toUtf8(const WCHAR_T* text);
// UTF-8 to host text; `length` 0 means up to the terminating zero.
WideString fromUtf8(const char* text, size_t length = 0);
WideString fromUtf8(std::string_view text);

// Allocates the text, with its terminating zero, through the host and stores it
// in `value` as VTYPE_PWSTR (wstrLen: the characters before the zero). False,
// with `value` untouched, when there is no memory manager or it refuses.
bool setResultString(IMemoryManager* memory, tVariant& value, std::string_view text);

// Copies `text` into a host buffer of `length` characters (0: the text's length
// plus its terminator), allocating one with `new[]` when `*buffer` is null.
uint32_t copyToHostBuffer(WCHAR_T** buffer, const WCHAR_T* text, uint32_t length = 0);

// A zero-terminated host text allocated through the host's memory manager,
// or null when that is impossible.
WCHAR_T* allocateHostText(IMemoryManager* memory, std::string_view text);

// Typed access to the parameter array of one call. Out-of-range indexes, null
// arrays, null texts and values of unexpected types read as empty or zero.
class HostArgs {
public:
    HostArgs(IMemoryManager* memory, tVariant* params, long count)
        : memory_(memory), params_(params), count_(params ? count : 0) {}

    long count() const { return count_; }
    tVariant* at(long index) const;
    nativeapi::TYPEVAR type(long index) const;

    // A VTYPE_PWSTR text as UTF-8; anything else is empty.
    std::string text(long index) const;
    // Like text(), and a VTYPE_PSTR value taken as UTF-8 bytes.
    std::optional<std::string> anyText(long index) const;
    // Any integer or real type (I1 to I8, UI1 to UI8, INT, UINT, R4, R8) as a
    // double; nullopt for every other type.
    std::optional<double> numeric(long index) const;
    // A 1C number however the host hands it: numeric(), or a text that reads
    // as a decimal number (readDecimalText); nullopt for anything else.
    std::optional<double> amount(long index) const;

    // Writes a text result into a parameter; false when the host refused memory.
    bool setText(long index, std::string_view utf8) const;
    // Writes an integer result into a parameter, as a text result is written
    // whatever the parameter held. An integer type the host chose stays: VTYPE_I2
    // takes the low 16 bits, VTYPE_I4 all 32, VTYPE_UINT the value widened with
    // its sign to the 64-bit field. Any other value (empty, text, real...) becomes
    // VTYPE_I4. False only when there is no such parameter.
    bool setInteger(long index, int32_t value) const;

private:
    IMemoryManager* memory_;
    tVariant* params_;
    long count_;
};

} // namespace korvant
