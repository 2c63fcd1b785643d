#include "emulator_client.h"

#include <ctime>
#include <dlfcn.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace emutest {
namespace {

void* library() {
    static void* const handle = dlopen(KORVANT3EMU_PATH, RTLD_NOW | RTLD_LOCAL);
    return handle;
}

Answer answerOf(int32_t result, uint32_t task, const char* text) {
    Answer answer{result, task, text ? text : "", nullptr};
    if (text != nullptr) {
        answer.body = json::parse(text, nullptr, false);
        if (answer.body.is_discarded()) {
            answer.body = nullptr;
        }
    }
    return answer;
}

} // namespace

void* symbol(const char* name) {
    void* lib = library();
    if (lib == nullptr) {
        ADD_FAILURE() << "cannot load " << KORVANT3EMU_PATH << ": " << dlerror();
        return nullptr;
    }
    void* found = dlsym(lib, name);
    if (found == nullptr) {
        ADD_FAILURE() << "the emulator does not export " << name;
    }
    return found;
}

void EmulatorTest::reset(const json& config) {
    ASSERT_EQ(EMU(korvant3emu_reset)(config.dump().c_str()), 0) << config.dump();
}

json EmulatorTest::state() {
    return json::parse(EMU(korvant3emu_state)());
}

json EmulatorTest::journal() {
    return json::parse(EMU(korvant3emu_journal)());
}

void EmulatorTest::inject(const json& rule) {
    ASSERT_EQ(EMU(korvant3emu_inject)(rule.dump().c_str()), 0) << rule.dump();
}

int32_t EmulatorTest::open() {
    const char* text = nullptr;
    const int32_t handle = EMU(korvant3_open)("192.168.0.10", 5000, &text);
    EXPECT_GT(handle, 0);
    return handle;
}

int32_t EmulatorTest::connect() {
    const int32_t handle = open();
    EXPECT_EQ(simple("korvant3_fremu_enter", handle).response(), 0);
    return handle;
}

Answer EmulatorTest::simple(const char* name, int32_t handle) {
    using Simple = int32_t(int32_t, int32_t, const char**);
    const char* text = nullptr;
    const int32_t result = function<Simple>(name)(handle, 5000, &text);
    return answerOf(result, 0, text);
}

Answer EmulatorTest::startText(const char* name, int32_t handle, const char* request) {
    using WithRequest = int32_t(int32_t, int32_t, uint32_t*, const char*, const char**);
    uint32_t task = 0;
    const char* text = nullptr;
    const int32_t result = function<WithRequest>(name)(handle, 5000, &task, request, &text);
    return answerOf(result, task, text);
}

Answer EmulatorTest::start(const char* name, int32_t handle, const json& request) {
    if (!request.is_null()) {
        return startText(name, handle, request.dump().c_str());
    }
    using WithoutRequest = int32_t(int32_t, int32_t, uint32_t*, const char**);
    uint32_t task = 0;
    const char* text = nullptr;
    const int32_t result = function<WithoutRequest>(name)(handle, 5000, &task, &text);
    return answerOf(result, task, text);
}

Answer EmulatorTest::poll(int32_t handle, uint32_t task) {
    const char* text = nullptr;
    const int32_t result = EMU(korvant3_fremu_query)(handle, 5000, task, &text);
    return answerOf(result, task, text);
}

int EmulatorTest::busyPolls(int32_t handle, uint32_t task, Answer& final) {
    for (int busy = 0; busy < 1000; ++busy) {
        final = poll(handle, task);
        if (final.result != 0 || final.response() != 3 || final.extended() != 103) {
            return busy;
        }
    }
    ADD_FAILURE() << "task " << task << " stays busy";
    return -1;
}

Answer EmulatorTest::run(const char* name, int32_t handle, const json& request) {
    const Answer started = start(name, handle, request);
    if (started.result != 0 || started.response() != 0) {
        return started;
    }
    Answer final;
    busyPolls(handle, started.task, final);
    return final;
}

int32_t EmulatorTest::openShift() {
    const int32_t handle = connect();
    EXPECT_EQ(run("korvant3_fremu_open_shift", handle, {{"user_name", "Иванов"}}).response(), 0);
    return handle;
}

Answer EmulatorTest::receipt(int32_t handle, int docKind, const std::vector<json>& items,
                             const json& payments) {
    json open = {{"user_name", "Иванов"}, {"doc_kind", docKind}, {"taxcode", 1}};
    if (docKind == 7 || docKind == 8) {
        open["correction_kind"] = 0;
        open["correction_date"] = kClock - 86400;
    }
    Answer answer = run("korvant3_fremu_open_doc", handle, open);
    if (answer.response() != 0) {
        return answer;
    }
    for (const auto& position : items) {
        answer = run("korvant3_fremu_add_item", handle, position);
        if (answer.response() != 0) {
            return answer;
        }
    }
    return run("korvant3_fremu_close_doc", handle, payments);
}

std::filesystem::path freshTempPath(const std::string& stem) {
    const auto path = std::filesystem::path(::testing::TempDir()) /
                      ("korvant3emu_" + stem + "_" + std::to_string(::getpid()) + "_" +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove(path);
    return path;
}

void removeTape(const std::filesystem::path& tape) {
    std::filesystem::path page = tape;
    page.replace_extension(".html");
    std::filesystem::remove(tape);
    std::filesystem::remove(page);
}

void removeState(const std::filesystem::path& state) {
    // The emulator lets go of the register's files only when it is configured anew.
    EMU(korvant3emu_reset)("");
    const std::string name = state.filename().string();
    for (const auto& entry : std::filesystem::directory_iterator(state.parent_path())) {
        if (entry.path().filename().string().rfind(name, 0) == 0) {
            std::filesystem::remove(entry.path());
        }
    }
}

std::string contentOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string localTimeText(int64_t seconds, const char* format) {
    const std::time_t time = seconds;
    std::tm parts{};
    localtime_r(&time, &parts);
    char text[64];
    return std::string(text, std::strftime(text, sizeof text, format, &parts));
}

json item(const std::string& name, int64_t price, int64_t quant, int64_t discount, int64_t taxId) {
    return {{"name", name},    {"price", price},      {"quant", quant}, {"item_disc_abs", discount},
            {"tax_id", taxId}, {"payment_method", 4}, {"item_attr", 1}};
}

json cash(int64_t amount) {
    return {{"cash", amount}, {"credit", 0}, {"prepay", 0}, {"postpay", 0}, {"otherpay", 0}};
}

} // namespace emutest
