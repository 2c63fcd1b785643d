#include "register/random_token.h"

#include <chrono>
#include <random>

namespace korvant3emu {

std::string randomToken() {
    static std::mt19937_64 generator = [] {
        std::random_device device;
        std::seed_seq seed{
            device(), device(),
            static_cast<unsigned>(
                std::chrono::high_resolution_clock::now().time_since_epoch().count())};
        return std::mt19937_64(seed);
    }();
    static const char digits[] = "0123456789abcdef";
    uint64_t value = generator();
    std::string token(16, '0');
    for (auto digit = token.rbegin(); digit != token.rend(); ++digit, value >>= 4) {
        *digit = digits[value & 0xF];
    }
    return token;
}

} // namespace korvant3emu
