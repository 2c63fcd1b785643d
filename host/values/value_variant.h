#pragma once
// Value <-> Variant, the way 1C:Enterprise fills and reads the interface's values.

#include "host/abi/abi.h"
#include "host/values/value.h"

#include <vector>

namespace korvant::host {

class MemoryManager;

// Fills `variant` from `value`. Texts are copied, with a terminating zero, into blocks of the
// host's memory manager (as 1C passes them); the blocks are appended to `blocks` for the host
// to free after the call. Types that carry no plain value (TM, INTERFACE, VARIANT, BLOB, CLSID)
// throw std::invalid_argument.
void writeVariant(const Value& value, Variant& variant, MemoryManager& memory,
                  std::vector<const void*>& blocks);

// Reads `variant`. A text is read by its length field, through `memory`'s checks when given;
// a type code outside the table gives a Value of that type with no data.
Value readVariant(const Variant& variant, MemoryManager* memory = nullptr);

// The block of a text variant (PWSTR or PSTR), null for other types.
const void* textBlock(const Variant& variant);

// A zeroed, EMPTY value, as the host prepares results and parameters.
Variant emptyVariant();

} // namespace korvant::host
