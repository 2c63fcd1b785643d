#pragma once
// The shape of an object the host hands to the add-in: a pointer to its slot table first, as
// a C++ object with virtual functions has, then the host-side owner the slots forward to.

#include "host/abi.h"

namespace korvant::host {

template <class Owner> struct HostObject {
    const void* slots;
    Owner* owner;

    static Owner& of(void* self) { return *static_cast<HostObject*>(self)->owner; }

    // The host owns its objects; an add-in that destroys one is at fault, so the slots only
    // let the owner note it.
#ifdef _WIN32
    static void* KORVANT_HOST_CALL deletingDestructor(void* self, unsigned int) {
        of(self).destroyedByAddIn();
        return self;
    }
    static constexpr DestructorSlots destructorSlots() {
        return {&deletingDestructor};
    }
#else
    static void completeDestructor(void* self) {
        of(self).destroyedByAddIn();
    }
    static void deletingDestructor(void* self) {
        of(self).destroyedByAddIn();
    }
    static constexpr DestructorSlots destructorSlots() {
        return {&completeDestructor, &deletingDestructor};
    }
#endif
};

} // namespace korvant::host
