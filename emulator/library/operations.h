#pragma once
// The register operation behind each task function, bound to its request.

#include "protocol/functions.h"
#include "protocol/request.h"
#include "register/fiscal_register.h"

#include <functional>

namespace korvant3emu {

using Operation = std::function<void(FiscalRegister&)>;

// Reads the request the function needs (BadRequest when it cannot be used) and
// returns the operation that performs it on the register.
Operation prepareOperation(Function function, const Request& request);

} // namespace korvant3emu
