#pragma once
// Barcodes and QR codes drawn as SVG images for the page of the tape: black modules on white,
// with their quiet zones, at whole pixels per module so that a scanner reads them from the
// screen.

#include "printer/layout.h"

#include <optional>
#include <string>

namespace korvant3emu {

// The image of the value as that code, or nothing when the value cannot be drawn as it.
std::optional<std::string> codeSvg(CodeType type, const std::string& value);

} // namespace korvant3emu
