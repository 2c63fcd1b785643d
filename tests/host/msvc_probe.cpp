// A caller of the add-in built the way the Windows host is built: the Native API interfaces
// declared as the host's SDK declares them (plain virtual destructors, ordinary classes), and
// this file compiled by clang in MSVC's C++ ABI (--target=x86_64-pc-windows-msvc), so the
// compiler itself lays out the tables the MSVC way. It shares nothing with the add-in's or the
// host's hand-written ABI headers; a slot, offset or layout mistake on their side shows up as a
// wrong answer here.
//
// Compiled freestanding (no exceptions, no RTTI, no thread-safe statics) so the object links
// into a MinGW test program: it needs only malloc and free from the C runtime.

#include <stddef.h>
#include <stdint.h>

namespace {

using WCHAR_T = wchar_t;

struct Guid {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
};

struct tVariant {
    union {
        int32_t lVal;
        int64_t llVal;
        double dblVal;
        bool bVal;
        Guid IDVal;
        struct {
            int tm_fields[9];
        } tmVal;
        struct {
            void* pInterfaceVal;
            Guid InterfaceID;
        } iface;
        struct {
            WCHAR_T* pwstrVal;
            uint32_t wstrLen;
        } wstr;
    };
    uint32_t cbElements;
    uint16_t vt;
};
static_assert(sizeof(tVariant) == 48 && offsetof(tVariant, vt) == 44);

constexpr uint16_t kEmpty = 0;
constexpr uint16_t kI4 = 3;
constexpr uint16_t kPWStr = 22;

class IMemoryManager {
public:
    virtual ~IMemoryManager() {}
    virtual bool AllocMemory(void** block, unsigned long bytes) = 0;
    virtual void FreeMemory(void** block) = 0;
};

class IInitDoneBase {
public:
    virtual ~IInitDoneBase() {}
    virtual bool Init(void* connection) = 0;
    virtual bool setMemManager(void* memory) = 0;
    virtual long GetInfo() = 0;
    virtual void Done() = 0;
};

class ILanguageExtenderBase {
public:
    virtual ~ILanguageExtenderBase() {}
    virtual bool RegisterExtensionAs(WCHAR_T** name) = 0;
    virtual long GetNProps() = 0;
    virtual long FindProp(const WCHAR_T* name) = 0;
    virtual const WCHAR_T* GetPropName(long number, long alias) = 0;
    virtual bool GetPropVal(const long number, tVariant* value) = 0;
    virtual bool SetPropVal(const long number, tVariant* value) = 0;
    virtual bool IsPropReadable(const long number) = 0;
    virtual bool IsPropWritable(const long number) = 0;
    virtual long GetNMethods() = 0;
    virtual long FindMethod(const WCHAR_T* name) = 0;
    virtual const WCHAR_T* GetMethodName(const long number, const long alias) = 0;
    virtual long GetNParams(const long number) = 0;
    virtual bool GetParamDefValue(const long method, const long param, tVariant* value) = 0;
    virtual bool HasRetVal(const long number) = 0;
    virtual bool CallAsProc(const long number, tVariant* params, const long count) = 0;
    virtual bool CallAsFunc(const long number, tVariant* result, tVariant* params,
                            const long count) = 0;
};

class LocaleBase {
public:
    virtual ~LocaleBase() {}
    virtual void SetLocale(const WCHAR_T* locale) = 0;
};

class IComponentBase : public IInitDoneBase, public ILanguageExtenderBase, public LocaleBase {
public:
    virtual ~IComponentBase() {}
};

extern "C" void* malloc(size_t);
extern "C" void free(void*);

// The host's allocator as an MSVC-built host has it: the add-in must reach AllocMemory and
// FreeMemory through slots 1 and 2.
class Memory final : public IMemoryManager {
public:
    static void* operator new(size_t bytes) { return malloc(bytes); }
    static void operator delete(void* block) { free(block); }

    bool AllocMemory(void** block, unsigned long bytes) override {
        *block = malloc(bytes == 0 ? 1 : bytes);
        ++live;
        ++allocations;
        return *block != nullptr;
    }
    void FreeMemory(void** block) override {
        free(*block);
        *block = nullptr;
        --live;
    }

    long live = 0;
    long allocations = 0;
};

IComponentBase* component(void* object) {
    return static_cast<IComponentBase*>(object);
}

} // namespace

// The deleting destructors of the interfaces refer to the usual operator delete.
void operator delete(void* block) noexcept {
    free(block);
}
void operator delete(void* block, size_t) noexcept {
    free(block);
}

extern "C" {

void* msvc_probe_memory_create() {
    return static_cast<IMemoryManager*>(new Memory);
}

long msvc_probe_memory_live(void* memory) {
    return static_cast<Memory*>(static_cast<IMemoryManager*>(memory))->live;
}

long msvc_probe_memory_allocations(void* memory) {
    return static_cast<Memory*>(static_cast<IMemoryManager*>(memory))->allocations;
}

void msvc_probe_memory_free(void* memory, void* block) {
    static_cast<IMemoryManager*>(memory)->FreeMemory(&block);
}

void msvc_probe_memory_destroy(void* memory) {
    delete static_cast<IMemoryManager*>(memory);
}

bool msvc_probe_set_memory(void* object, void* memory) {
    return component(object)->setMemManager(memory);
}

bool msvc_probe_init(void* object, void* connection) {
    return component(object)->Init(connection);
}

long msvc_probe_info(void* object) {
    return component(object)->GetInfo();
}

void msvc_probe_done(void* object) {
    component(object)->Done();
}

// RegisterExtensionAs's text, in a block of the memory manager (null when none came back).
WCHAR_T* msvc_probe_extension_name(void* object) {
    WCHAR_T* name = nullptr;
    return component(object)->RegisterExtensionAs(&name) ? name : nullptr;
}

long msvc_probe_props(void* object) {
    return component(object)->GetNProps();
}

long msvc_probe_find_prop(void* object, const WCHAR_T* name) {
    return component(object)->FindProp(name);
}

long msvc_probe_methods(void* object) {
    return component(object)->GetNMethods();
}

long msvc_probe_find_method(void* object, const WCHAR_T* name) {
    return component(object)->FindMethod(name);
}

const WCHAR_T* msvc_probe_method_name(void* object, long number, long alias) {
    return component(object)->GetMethodName(number, alias);
}

long msvc_probe_params(void* object, long number) {
    return component(object)->GetNParams(number);
}

bool msvc_probe_has_ret_val(void* object, long number) {
    return component(object)->HasRetVal(number);
}

bool msvc_probe_call_as_proc(void* object, long number) {
    return component(object)->CallAsProc(number, nullptr, 0);
}

// CallAsFunc of a method without arguments that answers an I4; -1 when it does not.
long msvc_probe_call_i4(void* object, long number) {
    tVariant result{};
    result.vt = kEmpty;
    if (!component(object)->CallAsFunc(number, &result, nullptr, 0) || result.vt != kI4) {
        return -1;
    }
    return result.lVal;
}

// CallAsFunc of a method with one text out-argument that answers an I4: the text (a block of
// the memory manager, or null) goes to *text, its length to *length; -1 when the answer is no I4.
long msvc_probe_call_i4_text(void* object, long number, WCHAR_T** text, unsigned* length) {
    tVariant result{};
    tVariant param{};
    param.vt = kEmpty;
    *text = nullptr;
    *length = 0;
    if (!component(object)->CallAsFunc(number, &result, &param, 1) || result.vt != kI4) {
        return -1;
    }
    if (param.vt == kPWStr) {
        *text = param.wstr.pwstrVal;
        *length = param.wstr.wstrLen;
    }
    return result.lVal;
}

void msvc_probe_set_locale(void* object, const WCHAR_T* locale) {
    component(object)->SetLocale(locale);
}

// `delete` through one of the component's interfaces, as a host that does not call
// DestroyObject ends it: 0 IInitDoneBase, 1 ILanguageExtenderBase, 2 LocaleBase.
void msvc_probe_delete(void* object, int which) {
    switch (which) {
    case 0:
        delete static_cast<IInitDoneBase*>(component(object));
        break;
    case 1:
        delete static_cast<ILanguageExtenderBase*>(component(object));
        break;
    default:
        delete static_cast<LocaleBase*>(component(object));
        break;
    }
}

// Where the object's interface tables are, as MSVC computes the casts: offsets in bytes.
long msvc_probe_interface_offset(void* object, int which) {
    const char* base = static_cast<const char*>(object);
    switch (which) {
    case 0:
        return static_cast<const char*>(
                   static_cast<const void*>(static_cast<IInitDoneBase*>(component(object)))) -
               base;
    case 1:
        return static_cast<const char*>(static_cast<const void*>(
                   static_cast<ILanguageExtenderBase*>(component(object)))) -
               base;
    default:
        return static_cast<const char*>(
                   static_cast<const void*>(static_cast<LocaleBase*>(component(object)))) -
               base;
    }
}

} // extern "C"
