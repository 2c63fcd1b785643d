#pragma once
// The host's interfaces, in their vtable order.
//
// Every interface starts with a destructor. GCC (the Linux host) gives a virtual
// destructor two vtable slots, which is what a plain virtual destructor produces
// here. MSVC (the Windows host) gives it one slot, the deleting destructor, which
// takes a flags argument, destroys the object, frees it when bit 0 is set and
// returns `this`; it is a plain member function, so __thiscall on 32-bit even
// though every other method is __stdcall. A MinGW build therefore declares that
// single slot explicitly instead of a C++ destructor, so every later method sits
// where the host looks for it.

#include "nativeapi/abi.h"

namespace nativeapi {

#ifdef _WIN32
#define NATIVEAPI_DESTRUCTOR_SLOT(Interface)                                                       \
public:                                                                                            \
    virtual void* ADDIN_DESTRUCTOR_API msvcDeletingDestructor(unsigned int flags) = 0;             \
                                                                                                   \
protected:                                                                                         \
    ~Interface() = default;                                                                        \
                                                                                                   \
public:
#else
#define NATIVEAPI_DESTRUCTOR_SLOT(Interface)                                                       \
public:                                                                                            \
    virtual ~Interface() = default;
#endif

// The host's allocator: every text handed back to the host comes from here.
class IMemoryManager {
    NATIVEAPI_DESTRUCTOR_SLOT(IMemoryManager)
    virtual bool ADDIN_API AllocMemory(void** memory, unsigned long bytes) = 0;
    virtual void ADDIN_API FreeMemory(void** memory) = 0;
};

// The host's connection object. The component keeps it and never calls it.
class IAddInDefBase {
    NATIVEAPI_DESTRUCTOR_SLOT(IAddInDefBase)
    virtual bool ADDIN_API AddError(unsigned short code, const WCHAR_T* source,
                                    const WCHAR_T* description, long scode) = 0;
    virtual bool ADDIN_API Read(WCHAR_T* propName, tVariant* value, long* error,
                                WCHAR_T** errorDescription) = 0;
    virtual bool ADDIN_API Write(WCHAR_T* propName, tVariant* value) = 0;
    virtual bool ADDIN_API RegisterProfileAs(WCHAR_T* profileName) = 0;
    virtual bool ADDIN_API SetEventBufferDepth(long depth) = 0;
    virtual long ADDIN_API GetEventBufferDepth() = 0;
    virtual bool ADDIN_API ExternalEvent(WCHAR_T* source, WCHAR_T* message, WCHAR_T* data) = 0;
    virtual void ADDIN_API CleanEventBuffer() = 0;
    virtual bool ADDIN_API SetStatusLine(WCHAR_T* statusLine) = 0;
    virtual void ADDIN_API ResetStatusLine() = 0;
};

class IInitDoneBase {
    NATIVEAPI_DESTRUCTOR_SLOT(IInitDoneBase)
    virtual bool ADDIN_API Init(void* connection) = 0;
    virtual bool ADDIN_API setMemManager(void* memoryManager) = 0;
    virtual long ADDIN_API GetInfo() = 0;
    virtual void ADDIN_API Done() = 0;
};

class ILanguageExtenderBase {
    NATIVEAPI_DESTRUCTOR_SLOT(ILanguageExtenderBase)
    virtual bool ADDIN_API RegisterExtensionAs(WCHAR_T** extensionName) = 0;
    virtual long ADDIN_API GetNProps() = 0;
    virtual long ADDIN_API FindProp(const WCHAR_T* propName) = 0;
    virtual const WCHAR_T* ADDIN_API GetPropName(long propNum, long propAlias) = 0;
    virtual bool ADDIN_API GetPropVal(const long propNum, tVariant* propVal) = 0;
    virtual bool ADDIN_API SetPropVal(const long propNum, tVariant* propVal) = 0;
    virtual bool ADDIN_API IsPropReadable(const long propNum) = 0;
    virtual bool ADDIN_API IsPropWritable(const long propNum) = 0;
    virtual long ADDIN_API GetNMethods() = 0;
    virtual long ADDIN_API FindMethod(const WCHAR_T* methodName) = 0;
    virtual const WCHAR_T* ADDIN_API GetMethodName(const long methodNum,
                                                   const long methodAlias) = 0;
    virtual long ADDIN_API GetNParams(const long methodNum) = 0;
    virtual bool ADDIN_API GetParamDefValue(const long methodNum, const long paramNum,
                                            tVariant* defValue) = 0;
    virtual bool ADDIN_API HasRetVal(const long methodNum) = 0;
    virtual bool ADDIN_API CallAsProc(const long methodNum, tVariant* params,
                                      const long paramCount) = 0;
    virtual bool ADDIN_API CallAsFunc(const long methodNum, tVariant* returnValue, tVariant* params,
                                      const long paramCount) = 0;
};

class LocaleBase {
    NATIVEAPI_DESTRUCTOR_SLOT(LocaleBase)
    virtual void ADDIN_API SetLocale(const WCHAR_T* locale) = 0;
};

// The object the host creates: three interface tables at offsets 0, 1 and 2 pointers.
class IComponentBase : public IInitDoneBase, public ILanguageExtenderBase, public LocaleBase {
#ifndef _WIN32
public:
    ~IComponentBase() override = default;
#endif
};

// The host deletes a component either through DestroyObject or through any of its
// interfaces; both must run the component's real destructor.
void destroyComponent(IComponentBase* component);

} // namespace nativeapi
