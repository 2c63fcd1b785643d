#pragma once
// The answers of the device library: {"response": R, "extended": E, "data": {...}}
// with the data members named by the tag dictionary.

#include "register/fiscal_register.h"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace korvant3emu {

nlohmann::json envelope(int32_t response, int32_t extended,
                        nlohmann::json data = nlohmann::json::object());

// An answer that explains a failure in a "message" member of its data.
nlohmann::json failureAnswer(int32_t response, int32_t extended, const std::string& message);

// The data of korvant3_open: serial and firmware version.
nlohmann::json openData(const FiscalRegister& device);
nlohmann::json infoData(const FiscalRegister& device);
// `showDocument` false leaves out the open document: it belongs to another client still at
// work on it, and for the asking client the register simply is busy.
nlohmann::json stateData(const FiscalRegister& device, bool showDocument = true);
nlohmann::json fdStateData(const FiscalRegister& device);
nlohmann::json moneyData(const FiscalRegister& device);

// What every final task answer carries: the last fiscal document, the shift,
// the drawer, the backlog, the storage's flags and the six counters.
nlohmann::json closingData(const FiscalRegister& device);

// The value of one tag from everything the register reports, if it has one.
std::optional<nlohmann::json> tagValue(const FiscalRegister& device, uint16_t tag);

} // namespace korvant3emu
