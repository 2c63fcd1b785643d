#pragma once
// The tag dictionary: the JSON member names exchanged with the device library.
// A TagId carries the tag number in bits 0-15 and the declared value width in
// bytes in bits 16-19 (0 for texts, objects and arrays). Only the number and the
// name matter at run time; the width documents what the register keeps.
// Shared by the add-in and the register emulator.

#include <cstdint>
#include <span>
#include <string_view>

namespace korvant {

using TagId = uint32_t;

constexpr TagId makeTagId(uint16_t number, uint32_t width) {
    return number | (width << 16);
}
constexpr uint16_t tagNumber(TagId id) {
    return static_cast<uint16_t>(id & 0xFFFF);
}
constexpr uint32_t tagWidth(TagId id) {
    return (id >> 16) & 0xF;
}

struct TagEntry {
    TagId id;
    std::string_view name;
};

// All tags in ascending number order.
std::span<const TagEntry> tagDictionary();

// The key name of a tag number, or empty text when the dictionary has no such number.
std::string_view tagName(uint32_t number);

// The tag number of a key name, or 0 when the name is not in the dictionary.
uint16_t tagByName(std::string_view name);

// The tag numbers by name: tag::fd_number and so on.
namespace tag {
#define KORVANT_TAG(name, number, width) inline constexpr uint16_t name = number;
#include "device/tag_list.h"
#undef KORVANT_TAG
} // namespace tag

} // namespace korvant
