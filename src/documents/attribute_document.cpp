#include "documents/attribute_document.h"

#include "documents/date_time.h"
#include "documents/value_format.h"
#include "documents/xml_document.h"

namespace korvant {

AttributeDocument::AttributeDocument(std::string_view templateText) {
    parseXml(document_, templateText);
    target_ = document_.RootElement();
    if (target_ == nullptr) {
        // Templates are the system's own constants; this only keeps every setter
        // safe should one ever be malformed.
        target_ = document_.NewElement("Parameters");
        document_.InsertEndChild(target_);
    }
}

void AttributeDocument::setText(std::string_view name, std::string_view value) {
    setAttributeText(*target_, name, value);
}

void AttributeDocument::setSigned(std::string_view name, int32_t value) {
    setText(name, formatSigned(value));
}

void AttributeDocument::setUnsigned(std::string_view name, uint32_t value) {
    setText(name, formatUnsigned(value));
}

void AttributeDocument::setBool(std::string_view name, bool value) {
    setText(name, formatBool(value));
}

void AttributeDocument::setAmount(std::string_view name, double value) {
    setText(name, formatAmount(value));
}

void AttributeDocument::setDateTime(std::string_view name, int64_t seconds) {
    setText(name, FormatDateTime(seconds));
}

std::string AttributeDocument::text() const {
    return DocumentToText(document_);
}

} // namespace korvant
