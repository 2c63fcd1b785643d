#pragma once
// The machine's shared application-data folder, under which the component and
// the maker keep their configuration.

#include "platform/path_text.h"

namespace korvant {

// The folder without a trailing separator, or empty text when the system cannot
// name one (built paths then become relative to the current directory).
// Windows: the known-folder manager's ProgramData, unless KORVANT_PROGRAMDATA
// names another root. POSIX: $PROGRAMDATA when set and not empty, else /var/lib.
PathText programDataFolder();

} // namespace korvant
