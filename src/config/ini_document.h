#pragma once
// An INI document as the component's and the maker's configuration files hold
// it: section and key names matched in any letter case, one single-line value
// per key (a later duplicate replaces an earlier one), "key = value" when saved.
// Texts in and out are UTF-8.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace korvant {

class IniDocument {
public:
    IniDocument();
    ~IniDocument();
    IniDocument(IniDocument&&) noexcept;
    IniDocument& operator=(IniDocument&&) noexcept;

    // Replaces the content with the file's bytes: UTF-8 text (on Windows the
    // ANSI code page unless it starts with the UTF-8 byte order mark), or UTF-16
    // that starts with its byte order mark. Anything else (UTF-16 without the
    // mark, bytes that are no UTF-8, text that cannot be parsed) leaves the
    // document empty and gives false, with the reason in `problem` when given.
    bool load(std::string_view fileBytes, std::string* problem = nullptr);

    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Sets the key's value, replacing the one it had, and adds the section and
    // the key when they are missing.
    void setValue(std::string_view section, std::string_view key, std::string_view value);

    // The bytes to store: every loaded section, key and comment with the current
    // values, in the loaded file's encoding, with its byte order mark if it had one.
    std::string save() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Reads a setting as a boolean: true when it starts with '1', 't', 'y' (either
// case) or with "on" in any letter case; everything else is false.
bool iniBoolean(std::string_view text);

} // namespace korvant
