// When the Windows add-in puts the device library's folder in front of PATH: at the first call
// of GetClassNames or GetClassObject (not under the loader lock), once per process.

#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace {

namespace fs = std::filesystem;

std::wstring searchPath() {
    const DWORD size = GetEnvironmentVariableW(L"PATH", nullptr, 0);
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(L"PATH", value.data(), size));
    return value;
}

TEST(WindowsLoad, SearchPathIsExtendedOnceAtTheFirstCall) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const fs::path root =
        fs::temp_directory_path() / ("korvant-load-" + std::to_string(GetTickCount()));
    fs::create_directories(root / "Korvant Engineering" / "library");
    std::ofstream(root / "Korvant Engineering" / "library" / "config", std::ios::binary)
        << "[library64]\r\npath = C:\\Vendor\\x64\\korvant3.dll\r\n"
        << "[library]\r\npath = C:\\Vendor\\x86\\korvant3.dll\r\n";
    // The log stays off, so nothing keeps a file of the root open.
    fs::create_directories(root / "Korvant Engineering" / "AddInKorvant");
    std::ofstream(root / "Korvant Engineering" / "AddInKorvant" / "config", std::ios::binary)
        << "[logs]\r\npath = C:\\nowhere\\a.log\r\nenabled = false\r\n";
    SetEnvironmentVariableW(L"KORVANT_PROGRAMDATA", root.wstring().c_str());
    SetEnvironmentVariableW(L"PATH", L"C:\\Windows");

    const fs::path addinPath = KORVANT_ADDIN_PATH;
    HMODULE addin = LoadLibraryW(addinPath.wstring().c_str());
    ASSERT_NE(addin, nullptr) << GetLastError();
    EXPECT_EQ(searchPath(), L"C:\\Windows") << "nothing happens under the loader lock";

    using GetClassNames = const wchar_t* (*)();
    using GetClassObject = long (*)(const wchar_t*, void**);
    using DestroyObject = long (*)(void**);
    // Through void*, as the add-in's own loader does: a FARPROC cast straight to another function
    // type is a warning.
    const auto entry = [addin](const char* name) {
        return reinterpret_cast<void*>(GetProcAddress(addin, name));
    };
    const auto names = reinterpret_cast<GetClassNames>(entry("GetClassNames"));
    const auto create = reinterpret_cast<GetClassObject>(entry("GetClassObject"));
    const auto destroy = reinterpret_cast<DestroyObject>(entry("DestroyObject"));
    ASSERT_TRUE(names && create && destroy);

    EXPECT_EQ(std::wstring(names()), L"AddInKorvant");
    const std::wstring folder = sizeof(void*) == 8 ? L"C:\\Vendor\\x64" : L"C:\\Vendor\\x86";
    EXPECT_EQ(searchPath(), folder + L";C:\\Windows");

    SetEnvironmentVariableW(L"PATH", L"C:\\Other");
    void* component = nullptr;
    ASSERT_NE(create(L"AddInKorvant", &component), 0);
    EXPECT_EQ(searchPath(), L"C:\\Other") << "once per process";
    EXPECT_EQ(destroy(&component), 0);

    SetEnvironmentVariableW(L"KORVANT_PROGRAMDATA", nullptr);
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

} // namespace
