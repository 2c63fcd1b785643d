// The three functions the host looks up by name in the add-in library.
#include <string>

#include "addin/add_in_korvant.h"
#include "addin/exception_funnel.h"
#include "addin/host_values.h"
#include "config/component_config.h"
#include "platform/search_path.h"

using korvant::AddInKorvant;
using nativeapi::IComponentBase;
using nativeapi::WCHAR_T;

#define KORVANT_EXPORT extern "C" __attribute__((visibility("default")))

KORVANT_EXPORT const WCHAR_T* GetClassNames() {
    // Kept for the life of the library: the host may hold on to it.
    static const korvant::WideString names = korvant::fromUtf8(korvant::kComponentName);
    return names.c_str();
}

KORVANT_EXPORT long GetClassObject(const WCHAR_T* /*className*/, IComponentBase** component) {
    return korvant::guarded("GetClassObject", 0L, [&]() -> long {
        if (component == nullptr || *component != nullptr) {
            return 0;
        }
        *component = new AddInKorvant();
        return 1;
    });
}

KORVANT_EXPORT long DestroyObject(IComponentBase** component) {
    return korvant::guarded("DestroyObject", -1L, [&]() -> long {
        if (component == nullptr || *component == nullptr) {
            return -1;
        }
        nativeapi::destroyComponent(*component);
        *component = nullptr;
        return 0;
    });
}

// When the library is loaded, the device library's folder goes in front of the
// search path, so that the device library finds its own companion files.
__attribute__((constructor)) static void extendSearchPathOnLoad() {
    korvant::guardedVoid("AddInKorvant::load", [] {
        korvant::platform::prependToSearchPath(korvant::ComponentConfig().readLibraryPath());
    });
}
