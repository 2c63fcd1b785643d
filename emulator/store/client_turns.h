#pragma once
// Whose turn it is at the register. A register serves its clients one at a time: a document
// belongs to the client that opened it until it is closed or cancelled, and meanwhile every
// other client waits its turn; clients that had to wait are served in the order they came.
// A waiting client that stops asking for a few seconds has given up and loses its place, and a
// client whose connection or process has ended is no longer there: its document may be taken
// over or cancelled by anyone, as the next cashier does with a real register's.

#include "register/documents.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace korvant3emu {

struct Waiting {
    Client client;
    int64_t askedAt = 0; // when it last asked, milliseconds since 1970
};

// How long a waiting client keeps its place without asking again.
inline constexpr int64_t kWaitingForgottenAfterMs = 3000;

// Whether `client` may act on the register now, given the owner of the open document (if any)
// and who is there. A client that may leaves the queue; one that may not joins it, or keeps its
// place there.
bool takeTurn(std::vector<Waiting>& waiting, const Client& client,
              const std::optional<Client>& documentOwner,
              const std::function<bool(const Client&)>& present, int64_t nowMs);

// The queue as a few lines of text ("process handle time" each), and back; lines that do not
// read are left out.
std::string waitingText(const std::vector<Waiting>& waiting);
std::vector<Waiting> waitingFromText(const std::string& text);

} // namespace korvant3emu
