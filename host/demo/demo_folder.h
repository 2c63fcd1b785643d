#pragma once
// The folder a demonstration runs in. It is a shared application-data root as an integrator's
// machine has one (the maker's folder with the library configuration, the component's folder
// with its configuration and log), with the register emulator's configuration, paper tape and
// state file beside them:
//
//   <root>/emulator.json                                  the emulator's configuration
//   <root>/tape.txt                                       everything the register printed
//   <root>/tape.html                                      the same as a page, codes drawn
//   <root>/state.json                                     the fiscal state between runs
//   <root>/Korvant Engineering/library/config             names the emulator (written by Host)
//   <root>/Korvant Engineering/AddInKorvant/config        the component's configuration, log on
//   <root>/Korvant Engineering/AddInKorvant/AddInKorvant.log

#include <filesystem>
#include <string_view>

namespace korvant::host {

// The register the demonstration works with: its serial number (which the host sets as the
// device parameter "Serial") and that of its fiscal storage.
inline constexpr std::string_view kDemoSerial = "0021990000123456";
inline constexpr std::string_view kDemoFnSerial = "9961440300987654";

// The folder used when none is given: relative to the current directory, made anew each run.
inline constexpr std::string_view kDefaultDemoFolder = "demo-data";

class DemoFolder {
public:
    // `fresh`: the folder is emptied first, so the register starts new and unregistered; only a
    // folder that is empty or was made by an earlier demonstration (it holds emulator.json) is
    // emptied, anything else is refused with HostError. Otherwise the folder is created when
    // missing and its tape and state are kept. In both cases the emulator's and the component's
    // configurations are written afresh. Throws HostError when the folder cannot be prepared.
    DemoFolder(const std::filesystem::path& root, bool fresh);

    const std::filesystem::path& root() const { return root_; }
    bool fresh() const { return fresh_; }
    std::filesystem::path emulatorConfig() const { return root_ / "emulator.json"; }
    std::filesystem::path tape() const { return root_ / "tape.txt"; }
    // The emulator keeps it beside the tape.
    std::filesystem::path page() const { return root_ / "tape.html"; }
    std::filesystem::path state() const { return root_ / "state.json"; }
    // The component's log, as its configuration names it.
    const std::filesystem::path& log() const { return log_; }

private:
    void empty() const;
    void writeEmulatorConfig() const;
    void writeComponentConfig();

    std::filesystem::path root_;
    bool fresh_;
    std::filesystem::path log_;
};

} // namespace korvant::host
