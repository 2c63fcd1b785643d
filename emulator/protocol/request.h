#pragma once
// A request text handed to a task function, read member by member under the
// tag dictionary's names. A text that is not JSON, is neither an object nor
// null, lacks a needed member or holds one of the wrong type is a bad request
// (library result -8).

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

namespace korvant3emu {

struct BadRequest {
    std::string message;
};

// The member name of a tag number.
std::string key(uint16_t tag);

class Request {
public:
    Request() = default;

    // NULL reads as the text "null": a request to which nothing was added.
    static Request parse(const char* text);

    bool has(uint16_t tag) const;

    // Required members; BadRequest when absent or of another type.
    std::string text(uint16_t tag) const;
    int64_t number(uint16_t tag) const;

    // Optional members: the fallback when absent, BadRequest when of another type.
    std::string text(uint16_t tag, std::string fallback) const;
    int64_t number(uint16_t tag, int64_t fallback) const;

    // Every text member except the one named, as an object (agent data).
    nlohmann::json textMembersExcept(uint16_t tag) const;

    const nlohmann::json& json() const { return json_; }

private:
    const nlohmann::json* member(uint16_t tag) const;

    nlohmann::json json_;
};

} // namespace korvant3emu
