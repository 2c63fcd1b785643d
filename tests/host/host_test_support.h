#pragma once
// Small helpers shared by the host's tests.

#include "host/addin/addin.h"
#include "host/values/script_notation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

namespace korvant::host::testing {

inline std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void writeFile(const std::filesystem::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

// Loads an add-in and creates a component attached as 1C attaches it.
inline void loadAttached(const char* path, std::unique_ptr<AddIn>& addin,
                         std::unique_ptr<Component>& component) {
    std::string error;
    addin = AddIn::load(path, error);
    ASSERT_TRUE(addin) << error;
    component = addin->create(error);
    ASSERT_TRUE(component) << error;
    ASSERT_TRUE(component->attach());
}

// Expects `read` to throw a ScriptError whose message contains `expected`.
inline void expectScriptError(const std::function<void()>& read, const std::string& input,
                              const std::string& expected) {
    try {
        read();
        ADD_FAILURE() << input << " was accepted";
    } catch (const ScriptError& error) {
        EXPECT_NE(std::string(error.what()).find(expected), std::string::npos)
            << input << ": " << error.what();
    }
}

} // namespace korvant::host::testing
