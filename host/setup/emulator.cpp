#include "host/setup/emulator.h"

#include "host/system/system.h"

#include <utility>

namespace korvant::host {

struct Emulator::Functions {
    int (*reset)(const char*) = nullptr;
    const char* (*journal)() = nullptr;
    void (*clearJournal)() = nullptr;
    int (*inject)(const char*) = nullptr;
    void (*clearFaults)() = nullptr;
    const char* (*state)() = nullptr;
};

namespace {

std::string copyText(const char* text) {
    return text == nullptr ? std::string() : text;
}

} // namespace

Emulator::Emulator(std::shared_ptr<SharedLibrary> library) : library_(std::move(library)) {}

std::unique_ptr<Emulator> Emulator::load(const std::filesystem::path& path, std::string& error) {
    auto library = SharedLibrary::open(path, error);
    if (!library) {
        return nullptr;
    }
    auto functions = std::make_shared<Functions>();
    bool complete = true;
    const auto bind = [&](auto& function, const char* name) {
        function = library->function<std::remove_reference_t<decltype(function)>>(name);
        if (function == nullptr && complete) {
            complete = false;
            error = pathText(path) + " does not export " + name;
        }
    };
    bind(functions->reset, "korvant3emu_reset");
    bind(functions->journal, "korvant3emu_journal");
    bind(functions->clearJournal, "korvant3emu_clear_journal");
    bind(functions->inject, "korvant3emu_inject");
    bind(functions->clearFaults, "korvant3emu_clear_faults");
    bind(functions->state, "korvant3emu_state");
    if (!complete) {
        return nullptr;
    }
    std::unique_ptr<Emulator> emulator(new Emulator(std::move(library)));
    emulator->functions_ = std::move(functions);
    return emulator;
}

const std::filesystem::path& Emulator::path() const {
    return library_->path();
}

int Emulator::reset(const char* configJson) {
    return functions_->reset(configJson);
}

int Emulator::inject(const std::string& ruleJson) {
    return functions_->inject(ruleJson.c_str());
}

void Emulator::clearFaults() {
    functions_->clearFaults();
}

void Emulator::clearJournal() {
    functions_->clearJournal();
}

std::string Emulator::journalText() {
    return copyText(functions_->journal());
}

Json Emulator::journal() {
    return Json::parse(journalText(), nullptr, false);
}

std::string Emulator::stateText() {
    return copyText(functions_->state());
}

Json Emulator::state() {
    return Json::parse(stateText(), nullptr, false);
}

} // namespace korvant::host
