#pragma once
// How deeply a JSON text nests, found without parsing it. Building, copying or
// printing a parsed document recurses once per level, so a text nested a
// million deep (a fault, an attack) would overflow the stack of whoever parses
// it; such a text is refused, or kept as plain text, before it is parsed. Shared
// by the driver and the register emulator.

#include <cstddef>
#include <string_view>

namespace korvant {

// True when arrays and objects nest more than `limit` levels deep somewhere in
// the text (brackets inside strings do not count). Linear, no recursion.
bool nestsDeeperThan(std::string_view json, size_t limit);

} // namespace korvant
