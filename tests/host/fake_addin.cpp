// A small add-in written with ordinary C++ virtual classes, so that the compiler, not the host,
// lays out its tables. The host reaching the right function in every slot of this library is
// the check that its hand-written slot tables match what GCC builds. Its methods echo values
// back and, on request, misbehave in the ways the host's memory manager must notice.
//
// On Windows the tables must look as MSVC lays them out: a virtual destructor there is one
// slot, the deleting destructor (flags argument, bit 0 frees, returns `this`, __thiscall on
// 32-bit), and the methods are __stdcall on 32-bit. GCC would give a C++ destructor two slots,
// so these interfaces declare that one slot as an ordinary virtual function instead.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#ifdef _WIN32
#define FAKE_EXPORT extern "C" __declspec(dllexport)
#else
#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

#if defined(_WIN32) && !defined(_WIN64)
#define FAKE_CALL __stdcall
#define FAKE_DESTRUCTOR_CALL __thiscall
#else
#define FAKE_CALL
#define FAKE_DESTRUCTOR_CALL
#endif

#ifdef _WIN32
#define FAKE_DESTRUCTOR(Interface)                                                                 \
public:                                                                                            \
    virtual void* FAKE_DESTRUCTOR_CALL deleting(unsigned int flags) = 0;                           \
                                                                                                   \
protected:                                                                                         \
    ~Interface() = default;                                                                        \
                                                                                                   \
public:
#else
#define FAKE_DESTRUCTOR(Interface)                                                                 \
public:                                                                                            \
    virtual ~Interface() = default;
#endif

// The interfaces live in a named namespace: in an anonymous one the compiler may conclude that
// nothing outside this file implements them and call their pure declarations directly.
namespace fake {

using WChar = char16_t;

struct FakeString {
    char* pstrVal;
    uint32_t strLen;
};
struct FakeWideString {
    WChar* pwstrVal;
    uint32_t wstrLen;
};

struct tVariantFake {
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
        unsigned char IDVal[16];
        tVariantFake* pvarVal;
        struct tm tmVal;
        FakeString s;
        FakeWideString w;
    };
    uint32_t cbElements;
    uint16_t vt;
};

enum : uint16_t { kEmpty = 0, kI4 = 3, kPStr = 8, kBool = 11, kPWStr = 22 };

class IMemoryManager {
    FAKE_DESTRUCTOR(IMemoryManager)
    virtual bool FAKE_CALL AllocMemory(void** block, unsigned long bytes) = 0;
    virtual void FAKE_CALL FreeMemory(void** block) = 0;
};

class IAddInDefBase {
    FAKE_DESTRUCTOR(IAddInDefBase)
    virtual bool FAKE_CALL AddError(unsigned short, const WChar*, const WChar*, long) = 0;
    virtual bool FAKE_CALL Read(WChar*, tVariantFake*, long*, WChar**) = 0;
    virtual bool FAKE_CALL Write(WChar*, tVariantFake*) = 0;
    virtual bool FAKE_CALL RegisterProfileAs(WChar*) = 0;
    virtual bool FAKE_CALL SetEventBufferDepth(long) = 0;
    virtual long FAKE_CALL GetEventBufferDepth() = 0;
    virtual bool FAKE_CALL ExternalEvent(WChar*, WChar*, WChar*) = 0;
    virtual void FAKE_CALL CleanEventBuffer() = 0;
    virtual bool FAKE_CALL SetStatusLine(WChar*) = 0;
    virtual void FAKE_CALL ResetStatusLine() = 0;
};

class IInitDoneBase {
    FAKE_DESTRUCTOR(IInitDoneBase)
    virtual bool FAKE_CALL Init(void*) = 0;
    virtual bool FAKE_CALL setMemManager(void*) = 0;
    virtual long FAKE_CALL GetInfo() = 0;
    virtual void FAKE_CALL Done() = 0;
};

class ILanguageExtenderBase {
    FAKE_DESTRUCTOR(ILanguageExtenderBase)
    virtual bool FAKE_CALL RegisterExtensionAs(WChar**) = 0;
    virtual long FAKE_CALL GetNProps() = 0;
    virtual long FAKE_CALL FindProp(const WChar*) = 0;
    virtual const WChar* FAKE_CALL GetPropName(long, long) = 0;
    virtual bool FAKE_CALL GetPropVal(long, tVariantFake*) = 0;
    virtual bool FAKE_CALL SetPropVal(long, tVariantFake*) = 0;
    virtual bool FAKE_CALL IsPropReadable(long) = 0;
    virtual bool FAKE_CALL IsPropWritable(long) = 0;
    virtual long FAKE_CALL GetNMethods() = 0;
    virtual long FAKE_CALL FindMethod(const WChar*) = 0;
    virtual const WChar* FAKE_CALL GetMethodName(long, long) = 0;
    virtual long FAKE_CALL GetNParams(long) = 0;
    virtual bool FAKE_CALL GetParamDefValue(long, long, tVariantFake*) = 0;
    virtual bool FAKE_CALL HasRetVal(long) = 0;
    virtual bool FAKE_CALL CallAsProc(long, tVariantFake*, long) = 0;
    virtual bool FAKE_CALL CallAsFunc(long, tVariantFake*, tVariantFake*, long) = 0;
};

class LocaleBase {
    FAKE_DESTRUCTOR(LocaleBase)
    virtual void FAKE_CALL SetLocale(const WChar*) = 0;
};

class IComponentBase : public IInitDoneBase, public ILanguageExtenderBase, public LocaleBase {};

} // namespace fake

namespace {

using namespace fake;

int liveObjects = 0;

struct MethodRow {
    const char16_t* english;
    const char16_t* russian;
    long params;
};
const MethodRow kMethods[] = {
    {u"Echo", u"Эхо", 1}, {u"Misbehave", u"Нарушить", 2}, {u"Locale", u"Локаль", 1}};
constexpr long kMethodCount = 3;

class FakeComponent final : public IComponentBase {
public:
    FakeComponent() { ++liveObjects; }
#ifdef _WIN32
    ~FakeComponent() {
#else
    ~FakeComponent() override {
#endif
        --liveObjects;
        clear(property);
    }
#ifdef _WIN32
    void* FAKE_DESTRUCTOR_CALL deleting(unsigned int flags) override {
        this->~FakeComponent();
        if (flags & 1) {
            ::operator delete(this);
        }
        return this;
    }
#endif

    bool FAKE_CALL Init(void* connection) override {
        this->connection = static_cast<IAddInDefBase*>(connection);
        return connection != nullptr;
    }
    bool FAKE_CALL setMemManager(void* memory) override {
        this->memory = static_cast<IMemoryManager*>(memory);
        return memory != nullptr;
    }
    long FAKE_CALL GetInfo() override {
        return 2000;
    }
    void FAKE_CALL Done() override {}

    bool FAKE_CALL RegisterExtensionAs(WChar** name) override {
        *name = copyText(u"Fake");
        return true;
    }
    long FAKE_CALL GetNProps() override {
        return 1;
    }
    long FAKE_CALL FindProp(const WChar* name) override {
        return std::u16string_view(name) == u"Prop" ? 0 : -1;
    }
    const WChar* FAKE_CALL GetPropName(long number, long alias) override {
        return number == 0 && alias == 0 ? copyText(u"Prop") : nullptr;
    }
    bool FAKE_CALL GetPropVal(long number, tVariantFake* value) override {
        return number == 0 && copyValue(property, *value);
    }
    bool FAKE_CALL SetPropVal(long number, tVariantFake* value) override {
        if (number != 0) {
            return false;
        }
        clear(property);
        return copyValue(*value, property);
    }
    bool FAKE_CALL IsPropReadable(long number) override {
        return number == 0;
    }
    bool FAKE_CALL IsPropWritable(long number) override {
        return number == 0;
    }
    long FAKE_CALL GetNMethods() override {
        return kMethodCount;
    }
    long FAKE_CALL FindMethod(const WChar* name) override {
        for (long i = 0; i < kMethodCount; ++i) {
            if (std::u16string_view(name) == kMethods[i].english ||
                std::u16string_view(name) == kMethods[i].russian) {
                return i;
            }
        }
        return -1;
    }
    const WChar* FAKE_CALL GetMethodName(long number, long alias) override {
        if (number < 0 || number >= kMethodCount || alias < 0 || alias > 1) {
            return nullptr;
        }
        return copyText(alias == 0 ? kMethods[number].english : kMethods[number].russian);
    }
    long FAKE_CALL GetNParams(long number) override {
        return number >= 0 && number < kMethodCount ? kMethods[number].params : 0;
    }
    bool FAKE_CALL GetParamDefValue(long method, long param, tVariantFake* value) override {
        if (method != 0 || param != 0) {
            return false;
        }
        value->vt = kI4;
        value->lVal = 42;
        return true;
    }
    bool FAKE_CALL HasRetVal(long number) override {
        return number >= 0 && number < kMethodCount;
    }
    bool FAKE_CALL CallAsProc(long number, tVariantFake*, long count) override {
        return number == 0 && count == 1;
    }
    bool FAKE_CALL CallAsFunc(long number, tVariantFake* result, tVariantFake* params,
                              long count) override {
        if (number < 0 || number >= kMethodCount || count != kMethods[number].params) {
            return false;
        }
        switch (number) {
        case 0:
            return copyValue(params[0], *result);
        case 1:
            return misbehave(params[0].lVal, params[1], *result);
        default:
            params[0].vt = kPWStr;
            params[0].w.pwstrVal = copyText(locale.c_str());
            params[0].w.wstrLen = static_cast<uint32_t>(locale.size());
            return true;
        }
    }

    void FAKE_CALL SetLocale(const WChar* locale) override {
        this->locale = locale ? locale : u"";
    }

private:
    WChar* copyText(std::u16string_view text) {
        void* block = nullptr;
        if (memory == nullptr || !memory->AllocMemory(&block, (text.size() + 1) * 2)) {
            return nullptr;
        }
        std::memcpy(block, text.data(), text.size() * 2);
        static_cast<WChar*>(block)[text.size()] = 0;
        return static_cast<WChar*>(block);
    }

    // Texts are copied into blocks of the host's memory manager, as a result must be.
    bool copyValue(const tVariantFake& from, tVariantFake& to) {
        to = from;
        if (from.vt == kPWStr) {
            to.w.pwstrVal = copyText(std::u16string_view(from.w.pwstrVal, from.w.wstrLen));
            return to.w.pwstrVal != nullptr;
        }
        if (from.vt == kPStr) {
            void* block = nullptr;
            if (memory == nullptr || !memory->AllocMemory(&block, from.s.strLen + 1)) {
                return false;
            }
            std::memcpy(block, from.s.pstrVal, from.s.strLen + 1);
            to.s.pstrVal = static_cast<char*>(block);
        }
        return true;
    }

    void clear(tVariantFake& value) {
        if (value.vt == kPWStr || value.vt == kPStr) {
            void* block = value.vt == kPWStr ? static_cast<void*>(value.w.pwstrVal)
                                             : static_cast<void*>(value.s.pstrVal);
            memory->FreeMemory(&block);
        }
        value.vt = kEmpty;
    }

    // Acts on `param`, the second argument; the first chooses the fault.
    bool misbehave(int mode, tVariantFake& param, tVariantFake& result) {
        static char16_t foreign[] = u"not from the host";
        void* block = nullptr;
        result.vt = kBool;
        result.bVal = true;
        switch (mode) {
        case 0: // a text that never came from the memory manager
            param.vt = kPWStr;
            param.w.pwstrVal = foreign;
            param.w.wstrLen = 4;
            break;
        case 1: // freed twice
            memory->AllocMemory(&block, 8);
            {
                void* copy = block;
                memory->FreeMemory(&block);
                memory->FreeMemory(&copy);
            }
            break;
        case 2: // written past its end (a terminated text, then one unit more)
            memory->AllocMemory(&block, 4);
            param.vt = kPWStr;
            param.w.pwstrVal = static_cast<WChar*>(block);
            param.w.pwstrVal[0] = u'x';
            param.w.pwstrVal[1] = 0;
            param.w.pwstrVal[2] = u'x';
            param.w.wstrLen = 1;
            break;
        case 3: // left behind
            memory->AllocMemory(&block, 8);
            break;
        case 4: // a length beyond its block
            param.vt = kPWStr;
            param.w.pwstrVal = copyText(u"ab");
            param.w.wstrLen = 10;
            break;
        case 5: // every method of the connection
            connection->AddError(1001, u"src", u"descr", -1);
            connection->Read(const_cast<WChar*>(u"prop"), &result, nullptr, nullptr);
            connection->Write(const_cast<WChar*>(u"prop"), &result);
            connection->RegisterProfileAs(const_cast<WChar*>(u"profile"));
            connection->SetEventBufferDepth(5);
            result.lVal = static_cast<int32_t>(connection->GetEventBufferDepth());
            result.vt = kI4;
            connection->ExternalEvent(const_cast<WChar*>(u"s"), const_cast<WChar*>(u"m"), nullptr);
            connection->CleanEventBuffer();
            connection->SetStatusLine(const_cast<WChar*>(u"busy"));
            connection->ResetStatusLine();
            break;
        case 6: // replaces the host's text after freeing it itself: allowed
            block = param.w.pwstrVal;
            memory->FreeMemory(&block);
            param.w.pwstrVal = copyText(u"new");
            param.w.wstrLen = 3;
            break;
        case 7: // destroys the host's memory manager
#ifdef _WIN32
            memory->deleting(1);
#else
            delete memory;
#endif
            break;
        case 8: // a text of the right length without room for its terminating zero
            memory->AllocMemory(&block, 4);
            param.vt = kPWStr;
            param.w.pwstrVal = static_cast<WChar*>(block);
            std::memcpy(block, u"ab", 4);
            param.w.wstrLen = 2;
            break;
        default:
            result.bVal = false;
        }
        return true;
    }

    IMemoryManager* memory = nullptr;
    IAddInDefBase* connection = nullptr;
    std::u16string locale;
    tVariantFake property{};
};

} // namespace

FAKE_EXPORT const WChar* GetClassNames() {
    return u"FakeA|FakeB";
}

FAKE_EXPORT long GetClassObject(const WChar*, IComponentBase** component) {
    if (component == nullptr || *component != nullptr) {
        return 0;
    }
    *component = new FakeComponent;
    return 1;
}

FAKE_EXPORT long DestroyObject(IComponentBase** component) {
    if (component == nullptr || *component == nullptr) {
        return -1;
    }
#ifdef _WIN32
    static_cast<IInitDoneBase*>(*component)->deleting(1);
#else
    delete *component;
#endif
    *component = nullptr;
    return 0;
}

FAKE_EXPORT int fake_live_objects() {
    return liveObjects;
}
