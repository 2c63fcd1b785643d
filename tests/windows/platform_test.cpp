// The platform layer's Windows branches: the shared application-data root, wide paths, the
// INI files' code page, the log's line ends, dynamic loading errors and the search path.

#include <windows.h>

#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <thread>

#include "config/component_config.h"
#include "config/log_file.h"
#include "platform/dynamic_library.h"
#include "platform/local_time.h"
#include "platform/program_data.h"
#include "platform/search_path.h"

namespace korvant {
namespace {

namespace fs = std::filesystem;

std::optional<std::wstring> environment(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) {
        return std::nullopt;
    }
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), size));
    return value;
}

// Sets a process environment variable for the scope (none removes it).
class ScopedVariable {
public:
    ScopedVariable(const wchar_t* name, const std::optional<std::wstring>& value)
        : name_(name), previous_(environment(name)) {
        SetEnvironmentVariableW(name, value ? value->c_str() : nullptr);
    }
    ~ScopedVariable() { SetEnvironmentVariableW(name_, previous_ ? previous_->c_str() : nullptr); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const wchar_t* name_;
    std::optional<std::wstring> previous_;
};

// A fresh folder with a non-ANSI name, removed afterwards.
class WideTempFolder {
public:
    WideTempFolder() {
        std::random_device random;
        path_ = fs::temp_directory_path() / (L"корвант-" + std::to_wstring(random()));
        fs::create_directories(path_);
    }
    ~WideTempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

std::string readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

std::wstring knownProgramData() {
    PWSTR path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &path))) {
        folder = path;
    }
    CoTaskMemFree(path);
    return folder;
}

class WindowsPlatform : public ::testing::Test {
protected:
    // The host's thread has COM initialised; so has the test's.
    void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override { CoUninitialize(); }
};

TEST_F(WindowsPlatform, ProgramDataIsTheKnownFolderUnlessOverridden) {
    ScopedVariable none(L"KORVANT_PROGRAMDATA", std::nullopt);
    const std::wstring known = knownProgramData();
    ASSERT_FALSE(known.empty());
    EXPECT_EQ(programDataFolder(), known);

    ScopedVariable empty(L"KORVANT_PROGRAMDATA", L"");
    EXPECT_EQ(programDataFolder(), known);

    ScopedVariable other(L"KORVANT_PROGRAMDATA", L"D:\\Другое место");
    EXPECT_EQ(programDataFolder(), L"D:\\Другое место");
}

TEST_F(WindowsPlatform, ThreadWithoutComHasNoProgramData) {
    ScopedVariable none(L"KORVANT_PROGRAMDATA", std::nullopt);
    PathText folder = L"unset";
    std::thread([&] { folder = programDataFolder(); }).join();
    EXPECT_EQ(folder, L"");
    EXPECT_EQ(ComponentConfig(folder).folder(), L"Korvant Engineering\\AddInKorvant\\");
}

TEST_F(WindowsPlatform, ConfigurationUnderTheRoot) {
    const fs::path root = fs::temp_directory_path() / ("korvant-" + std::to_string(GetTickCount()));
    ScopedVariable override(L"KORVANT_PROGRAMDATA", root.wstring());
    fs::create_directories(root / L"Korvant Engineering");

    ComponentConfig config;
    EXPECT_EQ(config.folder(), root.wstring() + L"\\Korvant Engineering\\AddInKorvant\\");
    EXPECT_TRUE(fs::is_directory(config.folder()));
    const PathText log = config.folder() + L"AddInKorvant.log";
    config.setDefaultLog(log);
    EXPECT_EQ(ComponentConfig().readLogPath(), log);
    // SimpleIni writes Windows line ends on Windows.
    EXPECT_EQ(readBytes(config.filePath()).find("[logs]\r\npath = "), 0u);

    writeBytes(
        root / L"Korvant Engineering" / L"library" / L"config",
        "[library]\r\npath = C:\\k\\lib32.dll\r\n[library64]\r\npath = C:\\k\\lib64.dll\r\n");
    EXPECT_EQ(config.readLibraryPath(),
              sizeof(void*) == 8 ? L"C:\\k\\lib64.dll" : L"C:\\k\\lib32.dll");
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

TEST_F(WindowsPlatform, IniTextIsInTheAnsiCodePageUnlessItHasTheByteOrderMark) {
    const std::wstring name = L"C:\\Café\\a.log";
    char ansi[64] = {};
    BOOL lossy = FALSE;
    const int length =
        WideCharToMultiByte(CP_ACP, 0, name.c_str(), -1, ansi, sizeof ansi, nullptr, &lossy);
    if (length == 0 || lossy) {
        GTEST_SKIP() << "the ANSI code page " << GetACP() << " cannot write "
                     << "é";
    }
    WideTempFolder root;
    ScopedVariable override(L"KORVANT_PROGRAMDATA", root.path().wstring());
    const fs::path file = root.path() / L"Korvant Engineering" / L"AddInKorvant" / L"config";

    writeBytes(file, std::string("[logs]\r\npath = ") + ansi + "\r\n");
    EXPECT_EQ(ComponentConfig().readLogPath(), name);

    writeBytes(file, "\xEF\xBB\xBF[logs]\r\npath = C:\\Caf\xC3\xA9\\a.log\r\n");
    ComponentConfig utf8;
    EXPECT_EQ(utf8.readLogPath(), name);
    utf8.setDefaultLog(name);
    EXPECT_EQ(readBytes(file),
              "\xEF\xBB\xBF[logs]\r\npath = C:\\Caf\xC3\xA9\\a.log\r\nenabled = true\r\n");
}

TEST_F(WindowsPlatform, LogUnderAWideNameWithWindowsLineEnds) {
    WideTempFolder folder;
    const fs::path file = folder.path() / L"журнал.log";
    {
        log::LogFile log(file.wstring());
        ASSERT_TRUE(log.isOpen());
        log.write("AddInKorvant::Init", 42, "first\nsecond");
    }
    const std::string bytes = readBytes(file);
    ASSERT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_NE(bytes.find("DEBUG ["), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("[AddInKorvant::Init@42] first\r\nsecond\r\n"), std::string::npos)
        << bytes;
    EXPECT_EQ(bytes.find("\n\n"), std::string::npos);
}

TEST_F(WindowsPlatform, LoadFailureIsTheSystemErrorNumber) {
    EXPECT_EQ(platform::openLibrary(L"C:\\nowhere\\korvant3.dll"), nullptr);
    EXPECT_EQ(platform::lastErrorText(), std::to_string(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(platform::openLibrary(L""), nullptr);
    EXPECT_EQ(platform::lastErrorText(), std::to_string(ERROR_MOD_NOT_FOUND));

    const auto library = platform::openLibrary(L"kernel32.dll");
    ASSERT_NE(library, nullptr);
    EXPECT_NE(platform::findSymbol(library, "GetTickCount"), nullptr);
    EXPECT_EQ(platform::findSymbol(library, "korvant3_version"), nullptr);
    platform::closeLibrary(library);
}

TEST_F(WindowsPlatform, SearchPathTakesTheFolderOnceWithSemicolons) {
    ScopedVariable path(L"PATH", L"C:\\Windows;C:\\Tools");
    platform::prependToSearchPath(L"C:\\Program Files\\Korvant\\x64\\korvant3.dll");
    platform::prependToSearchPath(L"C:\\Program Files\\Korvant\\x64\\korvant3.dll");
    EXPECT_EQ(environment(L"PATH"), L"C:\\Program Files\\Korvant\\x64;C:\\Windows;C:\\Tools");
    platform::prependToSearchPath(L"D:/mixed\\korvant3.dll");
    EXPECT_EQ(environment(L"PATH"),
              L"D:/mixed;C:\\Program Files\\Korvant\\x64;C:\\Windows;C:\\Tools");

    ScopedVariable none(L"PATH", std::nullopt);
    platform::prependToSearchPath(L"C:\\Korvant\\korvant3.dll");
    EXPECT_EQ(environment(L"PATH"), std::nullopt);
}

TEST_F(WindowsPlatform, LocalTimeRoundTripsAlsoBefore1970) {
    // The C runtime alone converts nothing before 1970.
    for (const int64_t seconds :
         {int64_t{1709629620}, int64_t{0}, int64_t{-1}, int64_t{3600}, int64_t{-1577923200},
          int64_t{-2208988800}, int64_t{2208988800}, int64_t{4116745800}}) {
        std::tm calendar{};
        ASSERT_TRUE(localCalendarTime(seconds, calendar)) << seconds;
        EXPECT_EQ(localSecondsOf(calendar), seconds);
    }
    std::tm calendar{};
    ASSERT_TRUE(localCalendarTime(-2208988800, calendar)); // 1900-01-01 00:00:00 UTC
    EXPECT_TRUE(calendar.tm_year == -1 || calendar.tm_year == 0) << calendar.tm_year;
    EXPECT_FALSE(localCalendarTime(std::numeric_limits<int64_t>::min(), calendar));
}

} // namespace
} // namespace korvant
