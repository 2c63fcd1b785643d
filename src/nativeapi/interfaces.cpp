#include "nativeapi/interfaces.h"

namespace nativeapi {

void destroyComponent(IComponentBase* component) {
#ifdef _WIN32
    // Bit 0: free the memory too, as MSVC's `delete` through the interface does.
    static_cast<IInitDoneBase*>(component)->msvcDeletingDestructor(1);
#else
    delete component;
#endif
}

} // namespace nativeapi
