#include "operations/host_values.h"

#include <cstring>
#include <type_traits>

#include "documents/value_format.h"
#include "nativeapi/utf.h"

namespace korvant {
namespace {

size_t hostTextLength(const WCHAR_T* text) {
    size_t length = 0;
    while (text[length] != 0) {
        ++length;
    }
    return length;
}

// A template, so that only the branch for the platform's WCHAR_T is compiled.
template <typename Char> std::string unitsToUtf8(const Char* text, size_t length) {
    if constexpr (std::is_same_v<Char, char16_t>) {
        // Host text is already UTF-16 units: converted where it lies.
        return utf16ToUtf8(std::u16string_view(text, length));
    } else {
        std::u16string units(length, u'\0');
        for (size_t i = 0; i < length; ++i) {
            units[i] = static_cast<char16_t>(text[i]);
        }
        return utf16ToUtf8(units);
    }
}

} // namespace

std::string toUtf8(const WCHAR_T* text) {
    if (text == nullptr) {
        return {};
    }
    return unitsToUtf8(text, hostTextLength(text));
}

WideString fromUtf8(std::string_view text) {
    const std::u16string units = utf8ToUtf16(text);
    return WideString(units.begin(), units.end());
}

WideString fromUtf8(const char* text, size_t length) {
    if (text == nullptr) {
        return {};
    }
    return fromUtf8(std::string_view(text, length == 0 ? std::strlen(text) : length));
}

bool setResultString(IMemoryManager* memory, tVariant& value, std::string_view text) {
    // A text with an inner zero ends there for the host.
    WCHAR_T* buffer = allocateHostText(memory, text.substr(0, text.find('\0')));
    if (buffer == nullptr) {
        return false;
    }
    value.vt = nativeapi::VTYPE_PWSTR;
    value.wstr.pwstrVal = buffer;
    value.wstr.wstrLen = static_cast<uint32_t>(hostTextLength(buffer));
    return true;
}

uint32_t copyToHostBuffer(WCHAR_T** buffer, const WCHAR_T* text, uint32_t length) {
    if (buffer == nullptr || text == nullptr) {
        return 0;
    }
    if (length == 0) {
        length = static_cast<uint32_t>(hostTextLength(text) + 1);
    }
    if (*buffer == nullptr) {
        *buffer = new WCHAR_T[length];
    }
    std::memset(*buffer, 0, length * sizeof(WCHAR_T));
    uint32_t copied = 0;
    while (copied < length && text[copied] != 0) {
        (*buffer)[copied] = text[copied];
        ++copied;
    }
    return copied;
}

WCHAR_T* allocateHostText(IMemoryManager* memory, std::string_view text) {
    if (memory == nullptr) {
        return nullptr;
    }
    // Room for the terminating zero too: hosts that read a text up to its zero must find it
    // inside the block.
    const WideString wide = fromUtf8(text);
    void* buffer = nullptr;
    if (!memory->AllocMemory(&buffer,
                             static_cast<unsigned long>((wide.size() + 1) * sizeof(WCHAR_T)))) {
        return nullptr;
    }
    std::memcpy(buffer, wide.c_str(), (wide.size() + 1) * sizeof(WCHAR_T));
    return static_cast<WCHAR_T*>(buffer);
}

tVariant* HostArgs::at(long index) const {
    return index >= 0 && index < count_ ? &params_[index] : nullptr;
}

nativeapi::TYPEVAR HostArgs::type(long index) const {
    const tVariant* value = at(index);
    return value ? value->vt : static_cast<nativeapi::TYPEVAR>(nativeapi::VTYPE_EMPTY);
}

std::string HostArgs::text(long index) const {
    const tVariant* value = at(index);
    if (value == nullptr || value->vt != nativeapi::VTYPE_PWSTR) {
        return {};
    }
    return toUtf8(value->wstr.pwstrVal);
}

std::optional<std::string> HostArgs::anyText(long index) const {
    const tVariant* value = at(index);
    if (value == nullptr) {
        return std::nullopt;
    }
    if (value->vt == nativeapi::VTYPE_PWSTR) {
        return toUtf8(value->wstr.pwstrVal);
    }
    if (value->vt == nativeapi::VTYPE_PSTR) {
        return value->str.pstrVal ? std::string(value->str.pstrVal) : std::string();
    }
    return std::nullopt;
}

std::optional<double> HostArgs::numeric(long index) const {
    const tVariant* value = at(index);
    if (value == nullptr) {
        return std::nullopt;
    }
    switch (value->vt) {
    case nativeapi::VTYPE_I1:
        return value->i8Val;
    case nativeapi::VTYPE_I2:
        return value->shortVal;
    case nativeapi::VTYPE_I4:
        return value->lVal;
    case nativeapi::VTYPE_INT:
        return value->intVal;
    case nativeapi::VTYPE_I8:
        return static_cast<double>(value->llVal);
    case nativeapi::VTYPE_UI1:
        return value->ui8Val;
    case nativeapi::VTYPE_UI2:
        return value->ushortVal;
    case nativeapi::VTYPE_UI4:
        return value->ulVal;
    case nativeapi::VTYPE_UINT:
        return value->uintVal;
    case nativeapi::VTYPE_UI8:
        return static_cast<double>(value->ullVal);
    case nativeapi::VTYPE_R4:
        return value->fltVal;
    case nativeapi::VTYPE_R8:
        return value->dblVal;
    default:
        return std::nullopt;
    }
}

std::optional<double> HostArgs::amount(long index) const {
    if (const auto number = numeric(index)) {
        return number;
    }
    const auto text = anyText(index);
    return text ? readDecimalText(*text) : std::nullopt;
}

bool HostArgs::setText(long index, std::string_view utf8) const {
    tVariant* value = at(index);
    return value != nullptr && setResultString(memory_, *value, utf8);
}

bool HostArgs::setInteger(long index, int32_t value) const {
    tVariant* target = at(index);
    if (target == nullptr) {
        return false;
    }
    switch (target->vt) {
    case nativeapi::VTYPE_I2:
        target->shortVal = static_cast<int16_t>(value);
        return true;
    case nativeapi::VTYPE_I4:
        target->lVal = value;
        return true;
    case nativeapi::VTYPE_UINT:
        target->llVal = value;
        return true;
    default:
        // The value the host passed is its own (a text included): nothing to release.
        target->vt = nativeapi::VTYPE_I4;
        target->lVal = value;
        return true;
    }
}

} // namespace korvant
