#pragma once
// Loading a shared library and resolving its exported functions by name.

#include <string>

#include "platform/path_text.h"

namespace korvant::platform {

// An opaque module handle; null when nothing is loaded.
using LibraryHandle = void*;

// Loads the library with every symbol resolved at once. Null on failure; the
// reason is then available from lastErrorText() on the same thread.
LibraryHandle openLibrary(const PathText& path);

// The address of an exported function, or null when the library has none by that name.
void* findSymbol(LibraryHandle library, const char* name);

void closeLibrary(LibraryHandle library);

// Why the last openLibrary on this thread failed: the system error number on
// Windows, the loader's message elsewhere.
std::string lastErrorText();

} // namespace korvant::platform
