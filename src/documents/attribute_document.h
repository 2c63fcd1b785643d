#pragma once
// A result document built on a parsed template whose values are attributes of
// one element, written in the host's value formats. Attributes print in the
// order they were first set; setting one again replaces its value in place.

#include <cstdint>
#include <string>
#include <string_view>

#include <tinyxml2.h>

namespace korvant {

class AttributeDocument {
public:
    AttributeDocument(const AttributeDocument&) = delete;
    AttributeDocument& operator=(const AttributeDocument&) = delete;

    void setText(std::string_view name, std::string_view value);
    void setSigned(std::string_view name, int32_t value);     // "%d"
    void setUnsigned(std::string_view name, uint32_t value);  // "%u"
    void setBool(std::string_view name, bool value);          // "true" / "false"
    void setAmount(std::string_view name, double value);      // formatAmount
    void setDateTime(std::string_view name, int64_t seconds); // FormatDateTime

    // The compact text of the whole document (DocumentToText).
    std::string text() const;

protected:
    // Parses the template; the values go to its root element until `setTarget`.
    explicit AttributeDocument(std::string_view templateText);
    ~AttributeDocument() = default;

    tinyxml2::XMLDocument& document() { return document_; }
    tinyxml2::XMLElement& target() { return *target_; }
    void setTarget(tinyxml2::XMLElement& element) { target_ = &element; }

private:
    tinyxml2::XMLDocument document_;
    tinyxml2::XMLElement* target_ = nullptr;
};

} // namespace korvant
