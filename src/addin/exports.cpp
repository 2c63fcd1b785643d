// The three functions the host looks up by name in the add-in library, and the
// search-path step that runs once per process before any device library is
// loaded.
#include <mutex>
#include <string>

#include "addin/add_in_korvant.h"
#include "addin/exception_funnel.h"
#include "config/component_config.h"
#include "config/component_version.h"
#include "operations/host_values.h"
#include "platform/search_path.h"

using korvant::AddInKorvant;
using nativeapi::IComponentBase;
using nativeapi::WCHAR_T;

// Windows: cmake/addin.def names the exports; elsewhere the default visibility
// of these three (everything else is hidden) does.
#ifdef _WIN32
#define KORVANT_EXPORT extern "C"
#else
#define KORVANT_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

// The device library's folder goes in front of the search path, so that the
// device library finds its own companion files.
void extendSearchPath() {
    korvant::guardedVoid("AddInKorvant::load", [] {
        korvant::platform::prependToSearchPath(korvant::ComponentConfig().readLibraryPath());
    });
}

#ifdef _WIN32
// Windows runs it at the first call of GetClassNames or GetClassObject, not in
// DllMain: finding the configuration needs the known-folder manager, a COM
// object, and COM must not be used under the loader lock (nor is it initialised
// on every thread the loader notifies). The host calls these two before any
// component exists, and the device library is loaded only later, in Init.
std::once_flag g_searchPathExtended;
void extendSearchPathOnFirstCall() {
    try {
        std::call_once(g_searchPathExtended, extendSearchPath);
    } catch (...) {
        // call_once reports a failure to start a thread-safe once as system_error.
    }
}
#else
void extendSearchPathOnFirstCall() {}

// When the library is loaded (a library constructor: nothing here needs more
// than the C library).
__attribute__((constructor)) void extendSearchPathOnLoad() {
    extendSearchPath();
}
#endif

} // namespace

KORVANT_EXPORT const WCHAR_T* GetClassNames() {
    extendSearchPathOnFirstCall();
    // Kept for the life of the library: the host may hold on to it.
    static const korvant::WideString names = korvant::fromUtf8(korvant::kComponentName);
    return names.c_str();
}

KORVANT_EXPORT long GetClassObject(const WCHAR_T* /*className*/, IComponentBase** component) {
    extendSearchPathOnFirstCall();
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
