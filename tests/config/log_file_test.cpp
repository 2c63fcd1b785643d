#include "config/log_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "config/log.h"
#include "support/new_process.h"
#include "temp_folder.h"

namespace korvant::log {
namespace {

namespace fs = std::filesystem;
using korvant::testing::readFile;
using korvant::testing::TempFolder;
using korvant::testing::writeFile;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using ::testing::StartsWith;

const std::string kBom = "\xEF\xBB\xBF";
// POSIX extended expressions (gMock's MatchesRegex on this platform).
const std::string kTextLine =
    R"([0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3} DEBUG \[[0-9]+\] )";

TEST(LogFile, NewTextFileStartsWithByteOrderMarkAndIsFlushedPerRecord) {
    TempFolder folder;
    const std::string path = folder / "AddInKorvant.log";
    LogFile log(path);
    ASSERT_TRUE(log.isOpen());
    log.write("AddInKorvant::AddInKorvant", 7, "log started");
    log.write("KorvantIntf::load", 8, "second");

    // Read while the file is still open: every record is on disk already.
    const std::string content = readFile(path);
    ASSERT_THAT(content, StartsWith(kBom));
    const std::string lines = content.substr(kBom.size());
    EXPECT_THAT(lines, MatchesRegex(kTextLine + R"(\[AddInKorvant::AddInKorvant@7\] log started)" +
                                    "\n" + kTextLine + R"(\[KorvantIntf::load@8\] second)" + "\n"));
    // The thread column is the kernel's id of the writing thread.
    EXPECT_THAT(lines, HasSubstr("[" + std::to_string(::gettid()) + "]"));
}

TEST(LogFile, NewCsvFileGetsByteOrderMarkAndHeader) {
    TempFolder folder;
    const std::string path = folder / "AddInKorvant.csv";
    {
        LogFile log(path);
        log.write("AddInKorvant::Init", 42, "a \"quoted\" word");
    }
    const std::string content = readFile(path);
    const std::string start = kBom + "Date;Time;Severity;TID;This;Function;Message\n";
    ASSERT_THAT(content, StartsWith(start));
    EXPECT_THAT(content.substr(start.size()),
                MatchesRegex(R"([0-9]{4}/[0-9]{2}/[0-9]{2};[0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3};)"
                             R"(DEBUG;[0-9]+;0;AddInKorvant::Init@42;"a ""quoted"" word")"
                             "\n"));
}

TEST(LogFile, ExistingFileIsAppendedToWithoutMarkOrHeader) {
    TempFolder folder;
    const std::string path = folder / "old.csv";
    writeFile(path, "earlier line\n");
    {
        LogFile log(path);
        log.write("F::f", 1, "new");
    }
    {
        LogFile log(path);
        log.write("F::f", 2, "newer");
    }
    const std::string content = readFile(path);
    EXPECT_THAT(content, StartsWith("earlier line\n"));
    EXPECT_THAT(content, ::testing::Not(HasSubstr(kBom)));
    EXPECT_THAT(content, ::testing::Not(HasSubstr("Date;Time")));
    EXPECT_THAT(content, HasSubstr("F::f@1;\"new\"\n"));
    EXPECT_THAT(content, HasSubstr("F::f@2;\"newer\"\n"));
}

TEST(LogFile, ExistingEmptyFileCountsAsNew) {
    TempFolder folder;
    const std::string path = folder / "empty.log";
    writeFile(path, "");
    LogFile log(path);
    log.write("F::f", 1, "x");
    EXPECT_THAT(readFile(path), StartsWith(kBom));
}

TEST(LogFile, MissingFolderMakesWritesNoOpsAndIsNotCreated) {
    TempFolder folder;
    const std::string path = folder / "missing/AddInKorvant.log";
    LogFile log(path);
    EXPECT_FALSE(log.isOpen());
    log.write("F::f", 1, "lost");
    EXPECT_FALSE(fs::exists(folder.path() / "missing"));
}

TEST(LogFile, UnopenableFileMakesWritesNoOps) {
    TempFolder folder;
    // A folder where the file should be: it cannot be opened for writing.
    fs::create_directory(folder.path() / "taken.log");
    LogFile log(folder / "taken.log");
    EXPECT_FALSE(log.isOpen());
    log.write("F::f", 1, "lost");
}

TEST(LogFile, RecordsFromSeveralThreadsDoNotInterleave) {
    TempFolder folder;
    const std::string path = folder / "threads.log";
    constexpr int kThreads = 4;
    constexpr int kRecords = 200;
    {
        LogFile log(path);
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&log, t] {
                const std::string message = "thread " + std::to_string(t) + std::string(300, 'x');
                for (int i = 0; i < kRecords; ++i) {
                    log.write("T::run", i, message);
                }
            });
        }
        for (auto& thread : threads) {
            thread.join();
        }
    }
    std::istringstream lines(readFile(path).substr(kBom.size()));
    const auto record = MatchesRegex(kTextLine + R"(\[T::run@[0-9]+\] thread [0-9]x{300})");
    int count = 0;
    for (std::string line; std::getline(lines, line); ++count) {
        ASSERT_THAT(line, record);
    }
    EXPECT_EQ(count, kThreads * kRecords);
}

// The process-wide log can be started once per process: its test has a process of its own.
TEST(ProcessLog, StartsOnceAndWritesThroughTheMacro) {
    korvant::testing::inNewProcess([] {
        TempFolder folder;
        const std::string path = folder / "AddInKorvant.log";
        const std::string other = folder / "other.log";

        ASSERT_FALSE(enabled());
        KORVANT_LOG("AddInKorvant::AddInKorvant", "before start");
        write("AddInKorvant::AddInKorvant", 1, "before start");

        start(path);
        ASSERT_TRUE(enabled());
        const int startedLine = __LINE__ + 1;
        KORVANT_LOG("AddInKorvant::AddInKorvant", "log started");
        KORVANT_LOG("AddInKorvant::setParameter", "MarkTimeout", ": ", 1500);
        start(other);
        KORVANT_LOG("AddInKorvant::AddInKorvant", bitnessLine());

        EXPECT_FALSE(fs::exists(other));
        const std::string content = readFile(path);
        EXPECT_THAT(content, ::testing::Not(HasSubstr("before start")));
        EXPECT_THAT(content, HasSubstr("[AddInKorvant::AddInKorvant@" +
                                       std::to_string(startedLine) + "] log started\n"));
        EXPECT_THAT(content, HasSubstr("[AddInKorvant::setParameter@"));
        EXPECT_THAT(content, HasSubstr("] MarkTimeout: 1500\n"));
        EXPECT_THAT(content, HasSubstr(sizeof(void*) == 8 ? "] Linux64\n" : "] Linux32\n"));
    });
}

} // namespace
} // namespace korvant::log
