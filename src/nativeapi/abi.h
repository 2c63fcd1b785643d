#pragma once
// The binary interface 1C:Enterprise's Native API expects, written from its
// published layout: text type, value type (tVariant) and calling convention.
// Every size and offset the host relies on is pinned by a static_assert.

#include <cstddef>
#include <cstdint>
#include <ctime>

// Interface methods: __stdcall on 32-bit Windows, as the host's SDK declares them.
// The destructor slot of a Windows host (see interfaces.h) keeps MSVC's member
// convention instead, __thiscall: `this` in ECX, the flags on the stack.
#if defined(_WIN32) && !defined(_WIN64)
#define ADDIN_API __stdcall
#define ADDIN_DESTRUCTOR_API __thiscall
#else
#define ADDIN_API
#define ADDIN_DESTRUCTOR_API
#endif

namespace nativeapi {

#ifdef _WIN32
using WCHAR_T = wchar_t;
// A GUID: 16 bytes, 4-byte aligned, as the Windows headers define it.
struct IID {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
};
#else
using WCHAR_T = char16_t;
using IID = unsigned char[16];
#endif
static_assert(sizeof(WCHAR_T) == 2, "host text is UTF-16 on every platform");

using TYPEVAR = uint16_t;

enum VariantType : TYPEVAR {
    VTYPE_EMPTY = 0,
    VTYPE_NULL = 1,
    VTYPE_I2 = 2,
    VTYPE_I4 = 3,
    VTYPE_R4 = 4,
    VTYPE_R8 = 5,
    VTYPE_DATE = 6,
    VTYPE_TM = 7,
    VTYPE_PSTR = 8,
    VTYPE_INTERFACE = 9,
    VTYPE_ERROR = 10,
    VTYPE_BOOL = 11,
    VTYPE_VARIANT = 12,
    VTYPE_I1 = 13,
    VTYPE_UI1 = 14,
    VTYPE_UI2 = 15,
    VTYPE_UI4 = 16,
    VTYPE_I8 = 17,
    VTYPE_UI8 = 18,
    VTYPE_INT = 19,
    VTYPE_UINT = 20,
    VTYPE_HRESULT = 21,
    VTYPE_PWSTR = 22,
    VTYPE_BLOB = 23,
    VTYPE_CLSID = 24,
};

// The host's value: a union first, then the element count, then the type code,
// with the compiler's default packing. The three trailing structs of the union
// are declared beside it (ISO C++ allows no types inside an anonymous union);
// their layout is what counts.
struct tVariant {
    struct InterfaceValue {
        void* pInterfaceVal;
        IID InterfaceID;
    };
    struct NarrowText {
        char* pstrVal;
        uint32_t strLen;
    };
    struct WideText {
        WCHAR_T* pwstrVal;
        uint32_t wstrLen;
    };
    union {
        int8_t i8Val;
        int16_t shortVal;
        int32_t lVal;
        int intVal;
        unsigned int uintVal;
        int64_t llVal;
        uint8_t ui8Val;
        uint16_t ushortVal;
        uint32_t ulVal;
        uint64_t ullVal;
        int32_t errCode;
        long hRes;
        float fltVal;
        double dblVal;
        bool bVal;
        char chVal;
        wchar_t wchVal;
        double date;
        IID IDVal;
        tVariant* pvarVal;
        struct tm tmVal;
        InterfaceValue iface;
        NarrowText str;
        WideText wstr;
    };
    uint32_t cbElements;
    TYPEVAR vt;
};

#if defined(_WIN32)
static_assert(sizeof(tVariant) == 48);
static_assert(offsetof(tVariant, cbElements) == 40);
static_assert(offsetof(tVariant, vt) == 44);
#elif defined(__x86_64__)
static_assert(sizeof(tVariant) == 64);
static_assert(offsetof(tVariant, cbElements) == 56);
static_assert(offsetof(tVariant, vt) == 60);
#elif defined(__i386__)
static_assert(sizeof(tVariant) == 52);
static_assert(offsetof(tVariant, cbElements) == 44);
static_assert(offsetof(tVariant, vt) == 48);
#endif
static_assert(offsetof(tVariant, wstr.wstrLen) == sizeof(void*));

} // namespace nativeapi
