#include "bench_session.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

#include "host/abi/memory_manager.h"
#include "host/system/system.h"
#include "host/values/value_variant.h"

namespace korvant::bench {
namespace {

using host::Value;

// The component configuration: the log as asked, and the poll interval when one is asked for.
std::string componentConfig(const SessionOptions& options, const std::filesystem::path& log) {
    std::string text = "[logs]\npath = " + host::pathText(log) +
                       "\nenabled = " + (options.log ? "true" : "false") + "\n";
    if (options.pollIntervalMs) {
        text += "[device]\npoll_interval_ms = " + std::to_string(*options.pollIntervalMs) + "\n";
    }
    return text;
}

void writeFile(const std::filesystem::path& file, const std::string& text) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out.flush()) {
        throw std::runtime_error("cannot write " + host::pathText(file));
    }
}

// The add-in keeps its log for the life of the process once it has started it, and a library
// is loaded once per process. A session with the log on therefore loads its own copy of the
// add-in, a separate library instance, and leaves the usual one with the log never started.
std::filesystem::path addinFor(const SessionOptions& options) {
    if (!options.log) {
        return addinPath();
    }
    // Removed when the process ends; the library itself is never unloaded, but its file may go.
    struct Copy {
        std::filesystem::path folder = host::makeTemporaryDirectory("korvant-bench-addin-");
        std::filesystem::path file = folder / addinPath().filename();
        Copy() { std::filesystem::copy_file(addinPath(), file); }
        ~Copy() {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        }
    };
    static const Copy copy;
    return copy.file;
}

std::unique_ptr<BenchSession> g_session;

} // namespace

std::filesystem::path addinPath() {
    return KORVANT_ADDIN_PATH;
}

std::filesystem::path emulatorPath() {
    return KORVANT_EMULATOR_PATH;
}

PreparedCall::PreparedCall(host::Component& component, std::string_view method,
                           const std::vector<Value>& args)
    : component_(component), number_(component.findMethod(method)), params_(args.size()),
      result_(host::emptyVariant()) {
    if (number_ < 0) {
        throw std::runtime_error("the component has no method " + std::string(method));
    }
    for (size_t i = 0; i < args.size(); ++i) {
        host::writeVariant(args[i], params_[i], component.memory(), inputBlocks_);
    }
}

PreparedCall::~PreparedCall() {
    releaseAnswers();
    for (const void* block : inputBlocks_) {
        component_.memory().release(block);
    }
}

bool PreparedCall::operator()() {
    releaseAnswers();
    result_ = host::emptyVariant();
    const bool called = component_.rawCallAsFunc(number_, &result_, params_.data(),
                                                 static_cast<long>(params_.size()));
    const auto type = static_cast<host::VType>(result_.vt);
    return called && (type == host::VType::I4 || (type == host::VType::Bool && result_.data.bVal));
}

// A text the component put into an argument or the result is its answer: the host frees it
// and the argument goes back to empty, ready for the next call.
void PreparedCall::releaseAnswers() {
    auto release = [&](host::Variant& variant) {
        const void* block = host::textBlock(variant);
        if (block == nullptr) {
            return;
        }
        if (std::find(inputBlocks_.begin(), inputBlocks_.end(), block) == inputBlocks_.end()) {
            component_.memory().release(block);
            variant = host::emptyVariant();
        }
    };
    for (auto& param : params_) {
        release(param);
    }
    release(result_);
}

BenchSession::BenchSession(const SessionOptions& options)
    : options_(options), root_(host::makeTemporaryDirectory("korvant-bench-")) {
    host::ProgramDataRoot layout(root_);
    writeFile(layout.componentConfigPath(), componentConfig(options, layout.defaultLogPath()));

    host::HostOptions hostOptions;
    hostOptions.addin = addinFor(options);
    hostOptions.programData = root_;
    hostOptions.emulator = true;
    hostOptions.emulatorPath = emulatorPath();
    host_ = std::make_unique<host::Host>(hostOptions);
    if (!host_->attached()) {
        throw std::runtime_error("the component did not attach");
    }
    if (emulator().reset(options.emulator.c_str()) < 0) {
        throw std::runtime_error("the emulator refused " + options.emulator);
    }

    auto& component = host_->component();
    component.call("SetParameter", {Value::text("Serial"), Value::text("0000000000000001")});
    component.call("SetParameter", {Value::text("Ipaddr"), Value::text("emulator")});
    const auto opened = component.call("Open", {Value::empty()});
    if (!opened.succeeded()) {
        throw std::runtime_error("Open failed");
    }
    device_ = opened.text(0);
    const auto shift = component.call(
        "OpenShift", {Value::text(device_),
                      Value::text(R"(<InputParameters><Parameters CashierName="Иванова А.А."/>)"
                                  R"(</InputParameters>)"),
                      Value::empty()});
    if (!shift.succeeded()) {
        throw std::runtime_error("OpenShift failed");
    }
    emulator().clearJournal();
}

BenchSession::~BenchSession() {
    host_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::unique_ptr<PreparedCall> BenchSession::processCheck(const std::string& package) {
    return std::make_unique<PreparedCall>(component(), "ProcessCheck",
                                          std::vector<Value>{Value::text(device_),
                                                             Value::boolean(false),
                                                             Value::text(package), Value::empty()});
}

BenchSession& session(const SessionOptions& options) {
    if (!g_session || !(g_session->options() == options)) {
        g_session.reset();
        g_session = std::make_unique<BenchSession>(options);
    }
    return *g_session;
}

void endSession() {
    g_session.reset();
}

} // namespace korvant::bench
