#include "addin/add_in_korvant.h"

#include <cstring>

#include "addin/dispatcher.h"
#include "addin/exception_funnel.h"
#include "addin/lifecycle.h"
#include "addin/method_table.h"
#include "addin/text_catalog.h"

namespace korvant {
namespace {

constexpr long kInterfaceInfo = 2000;
constexpr std::string_view kExtensionName = "Korvant";

} // namespace

AddInKorvant::AddInKorvant() {
    constructComponent(state_);
}

AddInKorvant::~AddInKorvant() = default;

#ifdef _WIN32
void* ADDIN_DESTRUCTOR_API AddInKorvant::msvcDeletingDestructor(unsigned int flags) {
    // What MSVC's deleting destructor does: destroy, and free when bit 0 is set.
    this->~AddInKorvant();
    if (flags & 1) {
        ::operator delete(this);
    }
    return this;
}
#endif

bool ADDIN_API AddInKorvant::Init(void* connection) {
    return guarded("AddInKorvant::Init", false, [&] {
        initComponent(state_);
        state_.connection = static_cast<nativeapi::IAddInDefBase*>(connection);
        return connection != nullptr;
    });
}

bool ADDIN_API AddInKorvant::setMemManager(void* memoryManager) {
    state_.memoryManager = static_cast<nativeapi::IMemoryManager*>(memoryManager);
    return memoryManager != nullptr;
}

long ADDIN_API AddInKorvant::GetInfo() {
    return kInterfaceInfo;
}

void ADDIN_API AddInKorvant::Done() {}

bool ADDIN_API AddInKorvant::RegisterExtensionAs(WCHAR_T** extensionName) {
    return guarded("AddInKorvant::RegisterExtensionAs", false, [&] {
        if (state_.memoryManager == nullptr || extensionName == nullptr) {
            return false;
        }
        const WideString name = fromUtf8(kExtensionName);
        const unsigned long bytes = (name.size() + 1) * sizeof(WCHAR_T);
        if (state_.memoryManager->AllocMemory(reinterpret_cast<void**>(extensionName), bytes)) {
            copyToHostBuffer(extensionName, name.c_str(), static_cast<uint32_t>(name.size() + 1));
        }
        return true;
    });
}

long ADDIN_API AddInKorvant::GetNProps() {
    return 0;
}
long ADDIN_API AddInKorvant::FindProp(const WCHAR_T*) {
    return -1;
}
const WCHAR_T* ADDIN_API AddInKorvant::GetPropName(long, long) {
    return nullptr;
}
bool ADDIN_API AddInKorvant::GetPropVal(const long, tVariant*) {
    return false;
}
bool ADDIN_API AddInKorvant::SetPropVal(const long, tVariant*) {
    return false;
}
bool ADDIN_API AddInKorvant::IsPropReadable(const long) {
    return false;
}
bool ADDIN_API AddInKorvant::IsPropWritable(const long) {
    return false;
}

long ADDIN_API AddInKorvant::GetNMethods() {
    return kMethodCount;
}

long ADDIN_API AddInKorvant::FindMethod(const WCHAR_T* methodName) {
    return guarded("AddInKorvant::FindMethod", -1L, [&] { return findMethod(toUtf8(methodName)); });
}

const WCHAR_T* ADDIN_API AddInKorvant::GetMethodName(const long methodNum, const long methodAlias) {
    return guarded("AddInKorvant::GetMethodName", static_cast<const WCHAR_T*>(nullptr),
                   [&]() -> const WCHAR_T* {
                       const MethodInfo* method = methodInfo(methodNum);
                       if (method == nullptr || (methodAlias != 0 && methodAlias != 1)) {
                           return nullptr;
                       }
                       return allocateHostText(state_.memoryManager, methodAlias == 0
                                                                         ? method->english
                                                                         : method->russian);
                   });
}

long ADDIN_API AddInKorvant::GetNParams(const long methodNum) {
    const MethodInfo* method = methodInfo(methodNum);
    return method ? static_cast<long>(method->paramCount) : 0;
}

bool ADDIN_API AddInKorvant::GetParamDefValue(const long, const long, tVariant*) {
    return false;
}

bool ADDIN_API AddInKorvant::HasRetVal(const long methodNum) {
    const MethodInfo* method = methodInfo(methodNum);
    return method != nullptr && method->hasRetVal != 0;
}

bool ADDIN_API AddInKorvant::CallAsProc(const long methodNum, tVariant* params,
                                        const long paramCount) {
    // A method called as a statement runs exactly as when its value is used; 1C
    // raises an exception when this answers false, so only a refused call may.
    return guarded("AddInKorvant::CallAsProc", false,
                   [&] { return callMethod(state_, methodNum, nullptr, params, paramCount); });
}

bool ADDIN_API AddInKorvant::CallAsFunc(const long methodNum, tVariant* returnValue,
                                        tVariant* params, const long paramCount) {
    return guarded("AddInKorvant::CallAsFunc", false,
                   [&] { return callMethod(state_, methodNum, returnValue, params, paramCount); });
}

void ADDIN_API AddInKorvant::SetLocale(const WCHAR_T* locale) {
    guardedVoid("AddInKorvant::SetLocale", [&] { applyHostLocale(toUtf8(locale)); });
}

} // namespace korvant
