#pragma once
// Putting the device library's folder in front of the process search path, so
// that the library finds its own companion files.

#include "platform/path_text.h"

namespace korvant::platform {

// Puts the folder of `libraryPath` (the text before its last '\' or '/', the
// whole path when it has neither) at the front of PATH. Does nothing when PATH
// is absent or empty, when the folder is empty, or when the folder already is
// the first entry, so repeated calls never make PATH grow.
void prependToSearchPath(const PathText& libraryPath);

} // namespace korvant::platform
