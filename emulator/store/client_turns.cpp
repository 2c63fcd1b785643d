#include "store/client_turns.h"

#include <algorithm>
#include <locale>
#include <sstream>

namespace korvant3emu {

bool takeTurn(std::vector<Waiting>& waiting, const Client& client,
              const std::optional<Client>& documentOwner,
              const std::function<bool(const Client&)>& present, int64_t nowMs) {
    std::erase_if(waiting, [&](const Waiting& entry) {
        return entry.client != client &&
               (nowMs - entry.askedAt > kWaitingForgottenAfterMs || !present(entry.client));
    });
    const auto own = std::find_if(waiting.begin(), waiting.end(),
                                  [&](const Waiting& entry) { return entry.client == client; });
    const bool documentElsewhere =
        documentOwner && *documentOwner != client && present(*documentOwner);
    const bool ownsDocument = documentOwner && *documentOwner == client;
    if (ownsDocument || (!documentElsewhere && (waiting.empty() || own == waiting.begin()))) {
        if (own != waiting.end()) {
            waiting.erase(own);
        }
        return true;
    }
    if (own == waiting.end()) {
        waiting.push_back({client, nowMs});
    } else {
        own->askedAt = nowMs;
    }
    return false;
}

std::string waitingText(const std::vector<Waiting>& waiting) {
    std::string text;
    for (const Waiting& entry : waiting) {
        text += entry.client.process + " " + std::to_string(entry.client.handle) + " " +
                std::to_string(entry.askedAt) + "\n";
    }
    return text;
}

std::vector<Waiting> waitingFromText(const std::string& text) {
    std::vector<Waiting> waiting;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        fields.imbue(std::locale::classic());
        Waiting entry;
        if (fields >> entry.client.process >> entry.client.handle >> entry.askedAt) {
            waiting.push_back(entry);
        }
    }
    return waiting;
}

} // namespace korvant3emu
