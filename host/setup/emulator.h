#pragma once
// Control of the register emulator from the host's side. The emulator is loaded by the very
// path the add-in's library configuration names, so the process holds one instance of it:
// what the host resets, injects or reads is what the add-in talks to.

#include "host/values/script_notation.h"

#include <filesystem>
#include <memory>
#include <string>

namespace korvant::host {

class SharedLibrary;

class Emulator {
public:
    // Loads the emulator and resolves its control functions; null with the reason in `error`.
    static std::unique_ptr<Emulator> load(const std::filesystem::path& path, std::string& error);

    const std::filesystem::path& path() const;

    // korvant3emu_reset: a fresh virtual register; null configuration text = the default one.
    int reset(const char* configJson = nullptr);
    // korvant3emu_inject: negative when the emulator cannot apply the rule.
    int inject(const std::string& ruleJson);
    void clearFaults();
    void clearJournal();

    // The journal: a JSON array with one entry per library call, as text and parsed (a
    // discarded Json when the text is not JSON).
    std::string journalText();
    Json journal();
    std::string stateText();
    Json state();

private:
    struct Functions;
    explicit Emulator(std::shared_ptr<SharedLibrary> library);

    std::shared_ptr<SharedLibrary> library_;
    std::shared_ptr<const Functions> functions_;
};

} // namespace korvant::host
