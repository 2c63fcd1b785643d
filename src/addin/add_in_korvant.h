#pragma once
// The component the host creates: the whole driver as 1C:Enterprise sees it.
// A thin shell: host-interface calls are funnelled through the exception guard
// into the method table, the dispatcher and the component's state.

#include "nativeapi/interfaces.h"
#include "operations/component_state.h"

namespace korvant {

using nativeapi::tVariant;
using nativeapi::WCHAR_T;

class AddInKorvant final : public nativeapi::IComponentBase {
public:
    AddInKorvant();
#ifdef _WIN32
    ~AddInKorvant();
    void* ADDIN_DESTRUCTOR_API msvcDeletingDestructor(unsigned int flags) override;
#else
    ~AddInKorvant() override;
#endif

    // IInitDoneBase
    bool ADDIN_API Init(void* connection) override;
    bool ADDIN_API setMemManager(void* memoryManager) override;
    long ADDIN_API GetInfo() override;
    void ADDIN_API Done() override;

    // ILanguageExtenderBase
    bool ADDIN_API RegisterExtensionAs(WCHAR_T** extensionName) override;
    long ADDIN_API GetNProps() override;
    long ADDIN_API FindProp(const WCHAR_T* propName) override;
    const WCHAR_T* ADDIN_API GetPropName(long propNum, long propAlias) override;
    bool ADDIN_API GetPropVal(const long propNum, tVariant* propVal) override;
    bool ADDIN_API SetPropVal(const long propNum, tVariant* propVal) override;
    bool ADDIN_API IsPropReadable(const long propNum) override;
    bool ADDIN_API IsPropWritable(const long propNum) override;
    long ADDIN_API GetNMethods() override;
    long ADDIN_API FindMethod(const WCHAR_T* methodName) override;
    const WCHAR_T* ADDIN_API GetMethodName(const long methodNum, const long methodAlias) override;
    long ADDIN_API GetNParams(const long methodNum) override;
    bool ADDIN_API GetParamDefValue(const long methodNum, const long paramNum,
                                    tVariant* defValue) override;
    bool ADDIN_API HasRetVal(const long methodNum) override;
    bool ADDIN_API CallAsProc(const long methodNum, tVariant* params,
                              const long paramCount) override;
    bool ADDIN_API CallAsFunc(const long methodNum, tVariant* returnValue, tVariant* params,
                              const long paramCount) override;

    // LocaleBase
    void ADDIN_API SetLocale(const WCHAR_T* locale) override;

    ComponentState& state() {
        return state_;
    }

private:
    ComponentState state_;
};

} // namespace korvant
