#pragma once
// The host's own picture of the Native API binary interface. It is written from the published
// layout and deliberately shares nothing with the add-in's headers: a layout mistake on either
// side must show up as a failing call, not cancel out.
//
// Interfaces are reached through slot tables: a struct of function pointers in vtable order,
// each taking the interface pointer (`this`) first. Only the destructor slots differ between
// the two layouts the add-in can be built for.

#include <cstddef>
#include <cstdint>
#include <ctime>

// Interface methods are __stdcall on 32-bit Windows. The one destructor slot of the Windows
// layout is an MSVC member function like any other C++ member: __thiscall there (`this` in ECX).
#if defined(_WIN32) && !defined(_WIN64)
#define KORVANT_HOST_CALL __stdcall
#define KORVANT_HOST_DESTRUCTOR_CALL __thiscall
#else
#define KORVANT_HOST_CALL
#define KORVANT_HOST_DESTRUCTOR_CALL
#endif

namespace korvant::host {

// WCHAR_T of the interface: UTF-16 code units on every platform (wchar_t on Windows has the
// same size and representation).
using HostChar = char16_t;

#ifdef _WIN32
struct Guid {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
};
#else
using Guid = unsigned char[16];
#endif

// Type codes of a value's `vt`.
enum class VType : uint16_t {
    Empty = 0,
    Null = 1,
    I2 = 2,
    I4 = 3,
    R4 = 4,
    R8 = 5,
    Date = 6,
    Tm = 7,
    PStr = 8,
    Interface = 9,
    Error = 10,
    Bool = 11,
    Variant = 12,
    I1 = 13,
    UI1 = 14,
    UI2 = 15,
    UI4 = 16,
    I8 = 17,
    UI8 = 18,
    Int = 19,
    UInt = 20,
    HResult = 21,
    PWStr = 22,
    Blob = 23,
    Clsid = 24,
};

// tVariant: a union first, then the element count, then the type code, default packing.
struct Variant {
    struct InterfaceValue {
        void* pInterfaceVal;
        Guid InterfaceID;
    };
    struct NarrowText {
        char* pstrVal;
        uint32_t strLen; // bytes
    };
    struct WideText {
        HostChar* pwstrVal;
        uint32_t wstrLen; // UTF-16 units, no terminator
    };
    union Data {
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
        Guid IDVal;
        Variant* pvarVal;
        struct tm tmVal;
        InterfaceValue iface;
        NarrowText narrow;
        WideText wide;
    } data;
    uint32_t cbElements;
    uint16_t vt;
};

#if defined(_WIN32)
static_assert(sizeof(Variant) == 48);
static_assert(offsetof(Variant, cbElements) == 40);
static_assert(offsetof(Variant, vt) == 44);
#elif UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(Variant) == 52);
static_assert(offsetof(Variant, cbElements) == 44);
static_assert(offsetof(Variant, vt) == 48);
#else
static_assert(sizeof(Variant) == 64);
static_assert(offsetof(Variant, cbElements) == 56);
static_assert(offsetof(Variant, vt) == 60);
#endif

// Where a virtual destructor sits. MSVC, whose layout the Windows host expects, gives it one
// slot: the deleting destructor, which takes a flags argument (bit 0: free the memory) and
// returns `this`. The Itanium layout of GCC gives it two: complete-object, then deleting.
struct DestructorSlots {
#ifdef _WIN32
// GCC calls __thiscall meant for members only; on a slot pointer it is exactly what is wanted.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wattributes"
    void*(KORVANT_HOST_DESTRUCTOR_CALL* deleting)(void* self, unsigned int flags);
#pragma GCC diagnostic pop
#else
    void (*complete)(void* self);
    void (*deleting)(void* self);
#endif
};
inline constexpr std::size_t kDestructorSlots = sizeof(DestructorSlots) / sizeof(void*);

// The component's three interfaces; the object holds their table pointers at offsets 0, 1 and
// 2 pointers, in this order.
enum class Interface { InitDone = 0, LanguageExtender = 1, Locale = 2 };

struct InitDoneSlots {
    DestructorSlots destructor;
    bool(KORVANT_HOST_CALL* Init)(void* self, void* connection);
    bool(KORVANT_HOST_CALL* setMemManager)(void* self, void* memoryManager);
    long(KORVANT_HOST_CALL* GetInfo)(void* self);
    void(KORVANT_HOST_CALL* Done)(void* self);
};

struct LanguageExtenderSlots {
    DestructorSlots destructor;
    bool(KORVANT_HOST_CALL* RegisterExtensionAs)(void* self, HostChar** name);
    long(KORVANT_HOST_CALL* GetNProps)(void* self);
    long(KORVANT_HOST_CALL* FindProp)(void* self, const HostChar* name);
    const HostChar*(KORVANT_HOST_CALL* GetPropName)(void* self, long number, long alias);
    bool(KORVANT_HOST_CALL* GetPropVal)(void* self, long number, Variant* value);
    bool(KORVANT_HOST_CALL* SetPropVal)(void* self, long number, Variant* value);
    bool(KORVANT_HOST_CALL* IsPropReadable)(void* self, long number);
    bool(KORVANT_HOST_CALL* IsPropWritable)(void* self, long number);
    long(KORVANT_HOST_CALL* GetNMethods)(void* self);
    long(KORVANT_HOST_CALL* FindMethod)(void* self, const HostChar* name);
    const HostChar*(KORVANT_HOST_CALL* GetMethodName)(void* self, long number, long alias);
    long(KORVANT_HOST_CALL* GetNParams)(void* self, long number);
    bool(KORVANT_HOST_CALL* GetParamDefValue)(void* self, long method, long param, Variant* value);
    bool(KORVANT_HOST_CALL* HasRetVal)(void* self, long number);
    bool(KORVANT_HOST_CALL* CallAsProc)(void* self, long number, Variant* params, long count);
    bool(KORVANT_HOST_CALL* CallAsFunc)(void* self, long number, Variant* result, Variant* params,
                                        long count);
};

struct LocaleSlots {
    DestructorSlots destructor;
    void(KORVANT_HOST_CALL* SetLocale)(void* self, const HostChar* locale);
};

// The host's own objects handed to the add-in.
struct MemoryManagerSlots {
    DestructorSlots destructor;
    bool(KORVANT_HOST_CALL* AllocMemory)(void* self, void** block, unsigned long bytes);
    void(KORVANT_HOST_CALL* FreeMemory)(void* self, void** block);
};

struct ConnectionSlots {
    DestructorSlots destructor;
    bool(KORVANT_HOST_CALL* AddError)(void* self, unsigned short code, const HostChar* source,
                                      const HostChar* description, long scode);
    bool(KORVANT_HOST_CALL* Read)(void* self, HostChar* name, Variant* value, long* errorCode,
                                  HostChar** errorDescription);
    bool(KORVANT_HOST_CALL* Write)(void* self, HostChar* name, Variant* value);
    bool(KORVANT_HOST_CALL* RegisterProfileAs)(void* self, HostChar* profile);
    bool(KORVANT_HOST_CALL* SetEventBufferDepth)(void* self, long depth);
    long(KORVANT_HOST_CALL* GetEventBufferDepth)(void* self);
    bool(KORVANT_HOST_CALL* ExternalEvent)(void* self, HostChar* source, HostChar* message,
                                           HostChar* data);
    void(KORVANT_HOST_CALL* CleanEventBuffer)(void* self);
    bool(KORVANT_HOST_CALL* SetStatusLine)(void* self, HostChar* text);
    void(KORVANT_HOST_CALL* ResetStatusLine)(void* self);
};

// Slot numbers, checked against the interface descriptions: a struct of function pointers has
// no padding, so the offset of a member divided by the pointer size is its vtable slot.
#define KORVANT_HOST_SLOT(table, member) (offsetof(table, member) / sizeof(void*))
static_assert(KORVANT_HOST_SLOT(InitDoneSlots, Init) == kDestructorSlots + 0);
static_assert(KORVANT_HOST_SLOT(InitDoneSlots, Done) == kDestructorSlots + 3);
static_assert(KORVANT_HOST_SLOT(LanguageExtenderSlots, GetNMethods) == kDestructorSlots + 8);
static_assert(KORVANT_HOST_SLOT(LanguageExtenderSlots, CallAsFunc) == kDestructorSlots + 15);
static_assert(KORVANT_HOST_SLOT(LocaleSlots, SetLocale) == kDestructorSlots + 0);
static_assert(KORVANT_HOST_SLOT(MemoryManagerSlots, FreeMemory) == kDestructorSlots + 1);
static_assert(KORVANT_HOST_SLOT(ConnectionSlots, ResetStatusLine) == kDestructorSlots + 9);
#undef KORVANT_HOST_SLOT

// The three exported functions: plain C functions with undecorated names.
using GetClassNamesFunction = const HostChar* (*)();
using GetClassObjectFunction = long (*)(const HostChar* className, void** component);
using DestroyObjectFunction = long (*)(void** component);

// The table of the interface whose pointer is `self`.
template <class Slots> const Slots& slotsOf(void* self) {
    return **static_cast<const Slots* const*>(self);
}

} // namespace korvant::host
