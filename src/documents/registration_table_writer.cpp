#include "documents/registration_table_writer.h"

#include "documents/registration_parameters.h"

namespace korvant {
namespace {

constexpr std::string_view kTemplate = R"(<?xml version="1.0" encoding="UTF-8"?><Parameters/>)";

} // namespace

RegistrationTableWriter::RegistrationTableWriter() : AttributeDocument(kTemplate) {}

void RegistrationTableWriter::setBitList(std::string_view name, uint8_t mask) {
    setText(name, formatBitList(mask));
}

void RegistrationTableWriter::setKktFfdVersion(int32_t version) {
    if (const auto text = kktFfdVersionText(version)) {
        setText(registration_attr::FFDVersionKKT, *text);
    }
}

void RegistrationTableWriter::setFnFfdVersion(int32_t version) {
    if (const auto text = fnFfdVersionText(version)) {
        setText(registration_attr::FFDVersionFN, *text);
    }
}

} // namespace korvant
