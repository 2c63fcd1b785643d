#pragma once
// Builds the registration table GetDataKKT hands to the host: attributes on the
// root of <?xml version="1.0" encoding="UTF-8"?><Parameters/>, in the order set.

#include <cstdint>
#include <string_view>

#include "documents/attribute_document.h"

namespace korvant {

class RegistrationTableWriter : public AttributeDocument {
public:
    RegistrationTableWriter();

    // Numbers are written "%d".
    void setNumber(std::string_view name, int32_t value) { setSigned(name, value); }
    // "0,3" for bits 0 and 3; no bit writes the attribute with an empty value.
    void setBitList(std::string_view name, uint8_t mask);
    // "FFDVersionKKT" and "FFDVersionFN"; an unknown version writes no attribute.
    void setKktFfdVersion(int32_t version);
    void setFnFfdVersion(int32_t version);
};

} // namespace korvant
