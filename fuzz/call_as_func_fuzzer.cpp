// The host's call path (CallAsFunc and CallAsProc: argument count check,
// dispatch, every operation) with arbitrary method numbers, argument types and texts, against
// the register emulator linked in, with faults injected into the emulator and
// allocations refused by the host's memory manager as the input decides.
//
// The input is a program (InputReader): a sequence of steps, each a host call,
// a fault rule for the emulator, or a refused allocation. make_call_seeds.py
// writes seed programs.
//
// Promises checked after every call: a refused call or a statement writes
// nothing into the result value; an accepted function call answers BOOL or I4; every text handed
// back comes from the host's memory manager; no exception reaches the dispatcher's last line of
// defence (the log records each one).

#include <chrono>
#include <clocale>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <dlfcn.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "addin/dispatcher.h"
#include "addin/exception_funnel.h"
#include "config/log.h"
#include "device/korvant_functions.h"
#include "fuzz_support.h"
#include "korvant3emu.h"
#include "nativeapi/utf.h"
#include "operations/component_state.h"
#include "support/test_memory.h"

namespace korvant::fuzz {
namespace {

using nativeapi::tVariant;

constexpr size_t kMaxSteps = 24;
constexpr const char* kEmulatorConfig = R"({"clock":1700000000,"cash":1000000})";

// The emulator's functions, bound by name the way the add-in binds a loaded
// library (the target exports them).
KorvantFunctions emulatorFunctions() {
    KorvantFunctions functions;
    forEachFunction(functions, [](const char* name, auto& slot) {
        slot =
            reinterpret_cast<std::remove_reference_t<decltype(slot)>>(::dlsym(RTLD_DEFAULT, name));
        require(slot != nullptr, "the emulator exports every function");
    });
    return functions;
}

// What fault rules may name: every function of the library.
const std::vector<std::string>& functionNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> list;
        KorvantFunctions functions;
        forEachFunction(functions, [&](const char* name, auto&) { list.emplace_back(name); });
        return list;
    }();
    return names;
}

// Time that passes only when the component waits, so that a task kept busy
// reaches its time-out in a handful of polls.
std::chrono::steady_clock::time_point g_now{};

// An exception stopped by the dispatcher's last line of defence leaves
// OtherError and a log record of "AddInKorvant::CallAsFunc" (the only records
// under that name). Open and Close report OtherError by themselves too, and
// logged texts come from the input, so only a record whose function field
// names the dispatcher counts. The log is emptied after each input.
std::filesystem::path g_logPath;

void startLog() {
    g_logPath = std::filesystem::temp_directory_path() /
                ("korvant-fuzz-" + std::to_string(::getpid()) + ".log");
    std::filesystem::remove(g_logPath);
    log::start(pathFromUtf8(g_logPath.string()));
    require(log::enabled(), "the log can be started");
    std::atexit([] { std::filesystem::remove(g_logPath); });
}

bool dispatcherRecord(std::string_view line) {
    // "<date> <time> DEBUG [<thread>] [<function>@<line>] <message>"
    const size_t field = line.find("] [");
    return field != std::string_view::npos &&
           line.substr(field + 3).starts_with("AddInKorvant::CallAsFunc@");
}

void requireNoUnexpectedFailure(const ComponentState& state) {
    if (state.lastError != ErrorCode::OtherError) {
        return;
    }
    std::ifstream in(g_logPath, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (dispatcherRecord(line)) {
            std::fprintf(stderr, "%s\n", line.c_str());
            require(false, "no exception reaches the dispatcher");
        }
    }
}

// A fault rule for the emulator as the input describes it; the emulator
// refuses the combinations it cannot apply, which is harmless.
void injectFault(InputReader& in) {
    nlohmann::json rule;
    rule["function"] = functionNames()[in.byte() % functionNames().size()];
    rule["call"] = in.byte() % 4;
    switch (in.byte() % 9) {
    case 0:
        rule["result"] = -1;
        break;
    case 1:
        rule["result"] = -2;
        break;
    case 2:
        rule["result"] = -8;
        break;
    case 3:
    case 4:
        rule["response"] = in.byte() % 9;
        rule["extended"] = 100 + in.byte() % 20;
        if (in.byte() % 2 == 1) {
            rule["at"] = "end";
        }
        break;
    case 5:
    case 6:
        rule["answer"] = sanitizeUtf8(in.text());
        if (in.byte() % 2 == 1) {
            rule["at"] = "end";
        }
        break;
    case 7:
        rule["busy_polls"] = in.byte() % 4;
        break;
    default:
        rule["busy_forever"] = true;
        break;
    }
    korvant3emu_inject(rule.dump().c_str());
}

// The argument values of one call. Texts live here, in the host's own memory,
// for as long as the call needs them.
class Arguments {
public:
    void add(InputReader& in, const ComponentState& state) {
        tVariant value{};
        value.vt = static_cast<nativeapi::TYPEVAR>(in.byte() % 26);
        switch (value.vt) {
        case nativeapi::VTYPE_PWSTR:
            setWide(value, wideText(in, state));
            break;
        case nativeapi::VTYPE_PSTR:
            setNarrow(value, in);
            break;
        case nativeapi::VTYPE_R4:
            value.fltVal = in.number<float>();
            break;
        case nativeapi::VTYPE_R8:
        case nativeapi::VTYPE_DATE:
            value.dblVal = in.number<double>();
            break;
        case nativeapi::VTYPE_BOOL:
            value.bVal = in.byte() % 2 == 1;
            break;
        case nativeapi::VTYPE_VARIANT:
        case nativeapi::VTYPE_INTERFACE:
            // Pointers the component must not follow.
            value.pvarVal = nullptr;
            break;
        default:
            value.llVal = in.number<int64_t>();
            break;
        }
        values_.push_back(value);
    }

    tVariant* data() { return values_.empty() ? nullptr : values_.data(); }
    std::vector<tVariant>& values() { return values_; }
    bool isOwn(const void* text) const {
        for (const auto& wide : wide_) {
            if (wide->data() == text) {
                return true;
            }
        }
        return false;
    }

private:
    // The choices of a host text: arbitrary UTF-8, arbitrary units (unpaired
    // surrogates, inner zeros), the open device's identifier, or a null text.
    std::u16string* wideText(InputReader& in, const ComponentState& state) {
        switch (in.byte() % 4) {
        case 0:
            return keep(utf8ToUtf16(in.text()));
        case 1: {
            const std::string bytes = in.text();
            std::u16string units(bytes.size() / 2, u'\0');
            std::memcpy(units.data(), bytes.data(), units.size() * 2);
            return keep(std::move(units));
        }
        case 2:
            return keep(utf8ToUtf16("korvant" + std::to_string(state.currentDevice)));
        default:
            return nullptr;
        }
    }
    std::u16string* keep(std::u16string text) {
        wide_.push_back(std::make_unique<std::u16string>(std::move(text)));
        return wide_.back().get();
    }
    void setWide(tVariant& value, std::u16string* text) {
        value.wstr.pwstrVal = text ? text->data() : nullptr;
        value.wstr.wstrLen = text ? static_cast<uint32_t>(text->size()) : 0;
    }
    void setNarrow(tVariant& value, InputReader& in) {
        if (in.byte() % 4 == 0) {
            value.str.pstrVal = nullptr;
            return;
        }
        narrow_.push_back(std::make_unique<std::string>(in.text()));
        value.str.pstrVal = narrow_.back()->data();
        value.str.strLen = static_cast<uint32_t>(narrow_.back()->size());
    }

    std::vector<tVariant> values_;
    std::vector<std::unique_ptr<std::u16string>> wide_;
    std::vector<std::unique_ptr<std::string>> narrow_;
};

// One CallAsFunc or CallAsProc as the host makes it, and what the host does
// afterwards: read the texts handed back and free them.
void hostCall(InputReader& in, ComponentState& state, testing::TestMemory& memory) {
    const uint8_t choice = in.byte();
    // Mostly the 29 methods, sometimes a number out of range; every other run
    // of 29 choices calls the method as a statement, with no result value.
    const long number = choice < 240 ? choice % 29 : static_cast<long>(choice) - 248;
    const bool statement = choice < 240 && (choice / 29) % 2 == 1;
    const uint8_t countChoice = in.byte();
    const MethodInfo* method = methodInfo(number);
    // Mostly the count the method wants, so that the call gets past the check.
    const long count =
        countChoice < 200 && method ? static_cast<long>(method->paramCount) : countChoice % 6;
    Arguments args;
    for (long i = 0; i < count; ++i) {
        args.add(in, state);
    }
    tVariant result{};
    result.vt = nativeapi::VTYPE_ERROR;
    result.lVal = 0x5A5A;
    const bool called = guarded("fuzz", false, [&] {
        return korvant::callMethod(state, number, statement ? nullptr : &result, args.data(),
                                   count);
    });
    requireNoUnexpectedFailure(state);
    if (!called || statement) {
        require(result.vt == nativeapi::VTYPE_ERROR && result.lVal == 0x5A5A,
                "a refused call or a statement writes no result");
    } else {
        require(result.vt == nativeapi::VTYPE_BOOL || result.vt == nativeapi::VTYPE_I4,
                "a call answers BOOL or I4");
    }
    for (tVariant& value : args.values()) {
        if (value.vt != nativeapi::VTYPE_PWSTR || value.wstr.pwstrVal == nullptr ||
            args.isOwn(value.wstr.pwstrVal)) {
            continue;
        }
        void* block = value.wstr.pwstrVal;
        require(memory.live.count(block) == 1, "a text handed back comes from the host");
        memory.FreeMemory(&block);
    }
}

} // namespace
} // namespace korvant::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    korvant::fuzz::startLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace korvant;
    using namespace korvant::fuzz;
    if (korvant3emu_reset(kEmulatorConfig) < 0) {
        require(false, "the emulator takes its configuration");
    }
    testing::TestMemory memory;
    ComponentState state;
    state.memoryManager = &memory;
    state.library->useFunctions(emulatorFunctions());
    state.library->setTaskPolicy({std::chrono::milliseconds(200), std::chrono::seconds(1)});
    state.library->setClock(
        {[] { return g_now; }, [](std::chrono::milliseconds wait) { g_now += wait; }});

    InputReader in(data, size);
    for (size_t step = 0; step < kMaxSteps && !in.done(); ++step) {
        switch (in.byte() % 8) {
        case 0:
            injectFault(in);
            break;
        case 1:
            memory.failAt = memory.allocations + 1 + in.byte() % 3;
            break;
        default:
            hostCall(in, state, memory);
            break;
        }
    }
    std::filesystem::resize_file(g_logPath, 0);
    require(memory.live.empty(), "the host freed every text it was handed");
    return 0;
}
