#include "operations/receipt/device_codes.h"

#include <algorithm>
#include <array>

namespace korvant {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Digits with an optional fraction: "20", "12.5".
bool isDecimal(std::string_view text) {
    const size_t point = text.find('.');
    const auto digits = [](std::string_view part) {
        return !part.empty() && std::all_of(part.begin(), part.end(), isDigit);
    };
    return point == std::string_view::npos
               ? digits(text)
               : digits(text.substr(0, point)) && digits(text.substr(point + 1));
}

// A rate written as a number, or as a number over a number ("7/107").
bool isRateNumber(std::string_view text) {
    const size_t slash = text.find('/');
    return slash == std::string_view::npos
               ? isDecimal(text)
               : isDecimal(text.substr(0, slash)) && isDecimal(text.substr(slash + 1));
}

} // namespace

std::optional<VatRate> vatRateOf(std::string_view vatRate) {
    struct Row {
        std::string_view text;
        VatRate rate;
    };
    static const std::array<Row, 10> kRates{{
        {"none", {1, std::nullopt}},
        {"10", {2, 10}},
        {"20", {3, 20}},
        {"18", {3, 18}},
        {"22", {3, 22}},
        {"10/110", {4, 10}},
        {"20/120", {5, 20}},
        {"18/118", {5, 18}},
        {"22/122", {5, 22}},
        {"0", {6, 0}},
    }};
    for (const auto& [text, rate] : kRates) {
        if (vatRate == text) {
            return rate;
        }
    }
    if (isRateNumber(vatRate)) {
        return std::nullopt;
    }
    return VatRate{};
}

std::optional<uint32_t> taxationMask(int32_t taxationSystem) {
    if (taxationSystem < 0 || taxationSystem > 5) {
        return std::nullopt;
    }
    return 1u << static_cast<uint32_t>(taxationSystem);
}

std::optional<int64_t> agentTypeCode(int32_t agentType) {
    if (agentType < -1 || agentType > 6) {
        return std::nullopt;
    }
    return int64_t{agentType} + 1;
}

bool knownPaymentMethod(int32_t paymentMethod) {
    return paymentMethod >= 0 && paymentMethod <= 7;
}

bool knownCalculationSubject(int32_t calculationSubject) {
    return (calculationSubject >= 0 && calculationSubject <= 27) ||
           (calculationSubject >= 30 && calculationSubject <= 33);
}

} // namespace korvant
