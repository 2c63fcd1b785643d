#include "device_replay.h"

#include <stdexcept>
#include <string_view>

#include "host/system/system.h"

namespace korvant::bench {
namespace {

constexpr int32_t kTimeoutMs = 5000;
constexpr std::string_view kQuery = "korvant3_fremu_query";

// The emulator writes its answers with the members in key order, so the codes end the text. A
// replay needs to tell only success and busy apart, as cheaply as a caller of the library can.
constexpr std::string_view kSuccess = R"("extended":0,"response":0})";
constexpr std::string_view kBusy = R"("extended":103,"response":3})";

bool endsWith(const char* answer, std::string_view end) {
    return answer != nullptr && std::string_view(answer).ends_with(end);
}

bool succeeded(const char* answer) {
    return endsWith(answer, kSuccess);
}

} // namespace

struct DeviceReplay::Functions {
    std::shared_ptr<host::SharedLibrary> library;
    int32_t (*open)(const char*, int32_t, const char**) = nullptr;
    int32_t (*close)(int32_t) = nullptr;
    int32_t (*enter)(int32_t, int32_t, const char**) = nullptr;
    int32_t (*exit)(int32_t, int32_t, const char**) = nullptr;
    int32_t (*query)(int32_t, int32_t, uint32_t, const char**) = nullptr;
};

DeviceReplay::DeviceReplay(const std::filesystem::path& emulator) {
    std::string error;
    auto functions = std::make_shared<Functions>();
    functions->library = host::SharedLibrary::open(emulator, error);
    if (!functions->library) {
        throw std::runtime_error(error);
    }
    const auto& library = *functions->library;
    functions->open = library.function<decltype(functions->open)>("korvant3_open");
    functions->close = library.function<decltype(functions->close)>("korvant3_close");
    functions->enter = library.function<decltype(functions->enter)>("korvant3_fremu_enter");
    functions->exit = library.function<decltype(functions->exit)>("korvant3_fremu_exit");
    functions->query = library.function<decltype(functions->query)>(kQuery.data());
    if (!functions->open || !functions->close || !functions->enter || !functions->exit ||
        !functions->query) {
        throw std::runtime_error("the emulator lacks a korvant3_ function");
    }
    functions_ = std::move(functions);
    const char* answer = nullptr;
    handle_ = functions_->open("emulator", kTimeoutMs, &answer);
    if (handle_ <= 0 || functions_->enter(handle_, kTimeoutMs, &answer) != 0 ||
        !succeeded(answer)) {
        throw std::runtime_error("the emulator did not open a connection in fiscal mode");
    }
}

DeviceReplay::~DeviceReplay() {
    const char* answer = nullptr;
    functions_->exit(handle_, kTimeoutMs, &answer);
    functions_->close(handle_);
}

void DeviceReplay::load(const nlohmann::json& journal) {
    steps_.clear();
    for (const auto& entry : journal) {
        const auto name = entry.value("function", std::string());
        if (name == kQuery || !entry["request_text"].is_string()) {
            continue;
        }
        const auto function = functions_->library->function<TaskFn>(name.c_str());
        if (function == nullptr) {
            throw std::runtime_error("the emulator does not export " + name);
        }
        steps_.push_back({function, entry["request_text"].get<std::string>()});
    }
}

bool DeviceReplay::run() {
    for (const Step& step : steps_) {
        uint32_t task = 0;
        const char* answer = nullptr;
        if (step.function(handle_, kTimeoutMs, &task, step.request.c_str(), &answer) != 0 ||
            !succeeded(answer) || !finish(task)) {
            return false;
        }
    }
    return true;
}

bool DeviceReplay::finish(uint32_t task) {
    for (;;) {
        const char* answer = nullptr;
        if (functions_->query(handle_, kTimeoutMs, task, &answer) != 0 || answer == nullptr) {
            return false;
        }
        if (!endsWith(answer, kBusy)) {
            return succeeded(answer);
        }
    }
}

} // namespace korvant::bench
