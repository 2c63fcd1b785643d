#pragma once
// The few operating-system services the host needs: loading a shared library, the process
// environment, where the host program lives, and temporary folders. The host keeps its own
// (it shares no code with the add-in beyond text conversion), and this file is the only one
// of the host with platform branches.

#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace korvant::host {

// A loaded library. It is never unloaded: 1C:Enterprise keeps an add-in loaded for the life of
// its process, and an add-in carrying its own C++ runtime does not expect to be unloaded (the
// runtime's buffers would be lost, and a sanitizer reports them as leaks).
class SharedLibrary {
public:
    // dlopen(RTLD_NOW) / LoadLibraryW; null with the system's reason in `error` on failure.
    static std::shared_ptr<SharedLibrary> open(const std::filesystem::path& path,
                                               std::string& error);
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    const std::filesystem::path& path() const { return path_; }
    void* symbol(const char* name) const;
    // The exported function `name` as a pointer of type Function; null when it is missing.
    template <class Function> Function function(const char* name) const {
        void* address = symbol(name);
        Function function;
        static_assert(sizeof function == sizeof address);
        std::memcpy(&function, &address, sizeof function);
        return function;
    }

private:
    SharedLibrary(std::filesystem::path path, void* handle)
        : path_(std::move(path)), handle_(handle) {}

    std::filesystem::path path_;
    void* handle_;
};

// File names of the add-in for this build's pointer size, and of the register emulator.
std::string_view addinFileName();
std::string_view emulatorFileName();

// Puts the standard streams in binary mode on Windows, so the program's output has the same
// "\n" line ends everywhere (it is read by programs); nothing elsewhere.
void useBinaryStandardStreams();

// The folder of the running program.
std::filesystem::path executableDirectory();

// The environment variable through which the add-in takes another shared application-data
// root: PROGRAMDATA on POSIX (its only source), KORVANT_PROGRAMDATA on Windows (where the
// known-folder manager is the normal source).
std::string_view programDataVariable();

// A path as UTF-8 text.
std::string pathText(const std::filesystem::path& path);

std::optional<std::string> environmentVariable(const std::string& name);
// Sets a variable (UTF-8 value); no value removes it.
void setEnvironmentVariable(const std::string& name, const std::optional<std::string>& value);

// Sets an environment variable for its lifetime and restores the earlier state afterwards.
class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(std::string name, const std::string& value);
    ~ScopedEnvironmentVariable();
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
    std::string name_;
    std::optional<std::string> previous_;
};

// The machine's local calendar time of a moment.
std::tm localTime(std::time_t moment);

// Writes a file whole, creating its folder when missing: a temporary file beside it (named for
// this writer alone) renamed over it, so that a process reading it at the same moment sees the
// old text or the new one, never a part or an empty file. A file that already holds the text is
// left alone. Throws std::runtime_error when the file cannot be written.
void replaceFile(const std::filesystem::path& file, const std::string& text);

// Creates a new, empty folder under the system's temporary folder; throws
// std::filesystem::filesystem_error when it cannot.
std::filesystem::path makeTemporaryDirectory(std::string_view prefix);

} // namespace korvant::host
