#include "host/system/system.h"

#include "nativeapi/utf.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <utility>

#ifdef _WIN32
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <objbase.h>

#include <cstdio>
#else
#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace korvant::host {
namespace {

#ifdef _WIN32
std::wstring wide(std::string_view utf8) {
    const std::u16string text = utf8ToUtf16(utf8);
    return std::wstring(text.begin(), text.end());
}

std::string narrow(const wchar_t* text) {
    std::u16string units;
    for (; *text != 0; ++text) {
        units.push_back(static_cast<char16_t>(*text));
    }
    return utf16ToUtf8(units);
}
#endif

} // namespace

std::shared_ptr<SharedLibrary> SharedLibrary::open(const std::filesystem::path& path,
                                                   std::string& error) {
#ifdef _WIN32
    // 1C:Enterprise calls add-ins on threads with COM initialised, and the add-in relies on it
    // (it finds its folder through the known-folder manager). The host does the same on the
    // thread that loads; it stays initialised for the life of the process.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HMODULE handle = LoadLibraryW(path.c_str());
    if (handle == nullptr) {
        error =
            "cannot load " + pathText(path) + ": system error " + std::to_string(GetLastError());
        return nullptr;
    }
#else
    void* handle = dlopen(path.c_str(), RTLD_NOW);
    if (handle == nullptr) {
        const char* reason = dlerror();
        error = "cannot load " + pathText(path) + ": " + (reason ? reason : "unknown reason");
        return nullptr;
    }
#endif
    return std::shared_ptr<SharedLibrary>(new SharedLibrary(path, handle));
}

void* SharedLibrary::symbol(const char* name) const {
#ifdef _WIN32
    FARPROC address = GetProcAddress(static_cast<HMODULE>(handle_), name);
    void* pointer;
    static_assert(sizeof pointer == sizeof address);
    std::memcpy(&pointer, &address, sizeof pointer);
    return pointer;
#else
    return dlsym(handle_, name);
#endif
}

std::string_view addinFileName() {
    constexpr bool is64 = sizeof(void*) == 8;
#ifdef _WIN32
    return is64 ? "AddInKorvant64.dll" : "AddInKorvant.dll";
#else
    return is64 ? "libAddInKorvant64.so" : "libAddInKorvant.so";
#endif
}

std::string_view emulatorFileName() {
#ifdef _WIN32
    return "korvant3emu.dll";
#else
    return "libkorvant3emu.so";
#endif
}

void useBinaryStandardStreams() {
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
}

std::string_view programDataVariable() {
#ifdef _WIN32
    return "KORVANT_PROGRAMDATA";
#else
    return "PROGRAMDATA";
#endif
}

std::filesystem::path executableDirectory() {
#ifdef _WIN32
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size()) {
            buffer.resize(length);
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    return std::filesystem::path(buffer).parent_path();
#else
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path() : self.parent_path();
#endif
}

std::string pathText(const std::filesystem::path& path) {
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::optional<std::string> environmentVariable(const std::string& name) {
#ifdef _WIN32
    const wchar_t* value = _wgetenv(wide(name).c_str());
    if (value == nullptr) {
        return std::nullopt;
    }
    return narrow(value);
#else
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) {
        return std::nullopt;
    }
    return std::string(value);
#endif
}

void setEnvironmentVariable(const std::string& name, const std::optional<std::string>& value) {
#ifdef _WIN32
    // An empty value removes the variable, which is the nearest Windows has to unsetting it.
    _wputenv_s(wide(name).c_str(), value ? wide(*value).c_str() : L"");
#else
    if (value) {
        setenv(name.c_str(), value->c_str(), 1);
    } else {
        unsetenv(name.c_str());
    }
#endif
}

ScopedEnvironmentVariable::ScopedEnvironmentVariable(std::string name, const std::string& value)
    : name_(std::move(name)), previous_(environmentVariable(name_)) {
    setEnvironmentVariable(name_, value);
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable() {
    setEnvironmentVariable(name_, previous_);
}

std::tm localTime(std::time_t moment) {
    std::tm parts{};
#ifdef _WIN32
    localtime_s(&parts, &moment);
#else
    localtime_r(&moment, &parts);
#endif
    return parts;
}

void replaceFile(const std::filesystem::path& file, const std::string& text) {
    {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream current;
        if (in && (current << in.rdbuf()) && current.str() == text) {
            return;
        }
    }
    std::filesystem::create_directories(file.parent_path());
    auto temporary = file;
    temporary += ".tmp-" + std::to_string(std::random_device()());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush()) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            throw std::runtime_error("cannot write " + pathText(temporary));
        }
    }
    // Windows refuses to replace a file another process has open at that moment: that is a
    // reader about to let go, so the rename is tried again a few times.
    std::error_code error;
    for (int attempt = 0; attempt < 50; ++attempt) {
        std::filesystem::rename(temporary, file, error);
        if (!error) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::filesystem::remove(temporary, error);
    throw std::runtime_error("cannot replace " + pathText(file));
}

std::filesystem::path makeTemporaryDirectory(std::string_view prefix) {
#ifdef _WIN32
    std::random_device random;
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = base / (std::string(prefix) + std::to_string(random()));
        if (std::filesystem::create_directory(candidate)) {
            return candidate;
        }
    }
    throw std::filesystem::filesystem_error("cannot create a temporary folder", base,
                                            std::make_error_code(std::errc::file_exists));
#else
    auto pattern =
        pathText(std::filesystem::temp_directory_path() / (std::string(prefix) + "XXXXXX"));
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::filesystem::filesystem_error("cannot create a temporary folder", pattern,
                                                std::error_code(errno, std::generic_category()));
    }
    return pattern;
#endif
}

} // namespace korvant::host
