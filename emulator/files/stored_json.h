#pragma once
// Strict reading of what the emulator stored itself (the state file): a member
// that is missing or of another type is damage, reported by name as a
// std::runtime_error, never read as a default.

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

namespace korvant3emu::stored {

const nlohmann::json& required(const nlohmann::json& object, const std::string& name);
int64_t number(const nlohmann::json& object, const std::string& name);
bool flag(const nlohmann::json& object, const std::string& name);
std::string text(const nlohmann::json& object, const std::string& name);
const nlohmann::json& object(const nlohmann::json& object, const std::string& name);
const nlohmann::json& array(const nlohmann::json& object, const std::string& name);

} // namespace korvant3emu::stored
