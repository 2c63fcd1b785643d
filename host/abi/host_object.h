#pragma once
// The shape of an object the host hands to the add-in: a pointer to its slot table first, as
// a C++ object with virtual functions has, then the host-side owner the slots forward to.

#include "host/abi/abi.h"

#include <cstddef>
#include <typeinfo>

namespace korvant::host {

// A table laid out as a C++ compiler lays out a vtable. In the Itanium layout the object points
// at the first slot, and the offset to the object's top and its type information come just
// before it: an add-in that asks for the dynamic type of a host object (a dynamic_cast, a
// sanitizer's type check) reads them. Windows has only the slots here.
template <class Slots> struct VirtualTable {
#ifndef _WIN32
    std::ptrdiff_t offsetToTop;
    const std::type_info* type;
#endif
    Slots slots;
};

template <class Owner, class Slots> VirtualTable<Slots> virtualTable(const Slots& slots) {
#ifdef _WIN32
    return {slots};
#else
    return {0, &typeid(Owner), slots};
#endif
}

template <class Owner> struct HostObject {
    const void* slots;
    Owner* owner;

    static Owner& of(void* self) { return *static_cast<HostObject*>(self)->owner; }

    // The host owns its objects; an add-in that destroys one is at fault, so the slots only
    // let the owner note it.
#ifdef _WIN32
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wattributes" // __thiscall on a static member: see abi.h
    static void* KORVANT_HOST_DESTRUCTOR_CALL deletingDestructor(void* self, unsigned int) {
        of(self).destroyedByAddIn();
        return self;
    }
#pragma GCC diagnostic pop
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
