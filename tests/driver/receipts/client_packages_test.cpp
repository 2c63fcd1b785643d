// Receipt packages written the way 1C clients write them (client_packages/*.xml),
// each driven end to end through the host and the emulator: the exact requests
// the register received, in order (client_packages/expected.json), and the
// register's receipt total equal to the client's document total to the kopeck.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include "documents/fixed_time_zone.h"
#include "driver/receipts/receipt_session.h"

namespace korvant::testing {
namespace {

const std::filesystem::path kPackages = KORVANT_CLIENT_PACKAGES_DIR;

std::string fileText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<nlohmann::json> clientCases() {
    std::vector<nlohmann::json> cases;
    for (const auto& entry : nlohmann::json::parse(fileText(kPackages / "expected.json"))) {
        cases.push_back(entry);
    }
    return cases;
}

// A decimal text of the package ("105.23", "4999.99") in ten-thousandths, read
// digit by digit so that the expectation owes nothing to the driver's arithmetic.
int64_t tenThousandths(std::string_view text) {
    int64_t whole = 0;
    int64_t fraction = 0;
    int fractionDigits = 0;
    bool afterPoint = false;
    for (const char c : text) {
        if (c == '.') {
            afterPoint = true;
        } else if (afterPoint) {
            fraction = fraction * 10 + (c - '0');
            ++fractionDigits;
        } else {
            whole = whole * 10 + (c - '0');
        }
    }
    for (; fractionDigits < 4; ++fractionDigits) {
        fraction *= 10;
    }
    return whole * 10000 + fraction;
}

// The client's document total: the sum of its lines' AmountWithDiscount.
int64_t documentTotal(const std::string& package) {
    tinyxml2::XMLDocument document;
    EXPECT_EQ(document.Parse(package.c_str()), tinyxml2::XML_SUCCESS);
    int64_t total = 0;
    const auto* positions = document.RootElement()->FirstChildElement("Positions");
    for (const auto* line = positions->FirstChildElement("FiscalString"); line != nullptr;
         line = line->NextSiblingElement("FiscalString")) {
        total += tenThousandths(line->Attribute("AmountWithDiscount"));
    }
    return total;
}

class ClientPackageTest : public ReceiptTest, public ::testing::WithParamInterface<nlohmann::json> {
protected:
    // Every request the register received, in order, as [function, exact text].
    std::vector<std::pair<std::string, std::string>> requests() {
        std::vector<std::pair<std::string, std::string>> sent;
        for (const auto& entry : session_.journal()) {
            if (entry["request_text"].is_string()) {
                sent.emplace_back(entry["function"], entry["request_text"]);
            }
        }
        return sent;
    }

    nlohmann::json fiscal() { return session_.emulator().state()["fiscal"]; }
};

TEST_P(ClientPackageTest, RegisterTakesWhatTheDocumentSays) {
    FixedTimeZone zone("MSK-3"); // correction dates are the client's local midnight
    setMarkTimeout("30");
    const nlohmann::json& expected = GetParam();
    const std::string package = fileText(kPackages / expected["package"].get<std::string>());
    const std::string method = expected["method"];
    const nlohmann::json before = fiscal();

    const auto result =
        method == "ProcessCheck" ? processCheck(package) : processCorrectionCheck(package);

    if (expected.contains("error")) {
        EXPECT_FALSE(result.succeeded());
        EXPECT_EQ(lastErrorCode(), expected["error"].get<int32_t>());
        EXPECT_EQ(session_.calls(), Texts{});
        return;
    }
    ASSERT_TRUE(result.succeeded()) << session_.lastError().second;
    std::vector<std::pair<std::string, std::string>> wanted;
    for (const auto& request : expected["requests"]) {
        wanted.emplace_back(request[0], request[1].dump());
    }
    EXPECT_EQ(requests(), wanted);

    const int64_t total = expected["total"];
    EXPECT_EQ(documentTotal(package), total) << "the fixture's own total";
    const std::string counter = expected["counter"];
    const nlohmann::json after = fiscal();
    EXPECT_EQ(after["counters"][counter]["check_count"].get<int64_t>() -
                  before["counters"][counter]["check_count"].get<int64_t>(),
              1);
    EXPECT_EQ(after["counters"][counter]["check_total"].get<int64_t>() -
                  before["counters"][counter]["check_total"].get<int64_t>(),
              total)
        << "the register's receipt total";
    EXPECT_EQ(after["shift_cash"].get<int64_t>() - before["shift_cash"].get<int64_t>(),
              expected["drawer"].get<int64_t>())
        << "cash kept, change given";
}

std::string caseName(const ::testing::TestParamInfo<nlohmann::json>& info) {
    return std::filesystem::path(info.param["package"].get<std::string>()).stem().string();
}

INSTANTIATE_TEST_SUITE_P(ClientPackages, ClientPackageTest, ::testing::ValuesIn(clientCases()),
                         caseName);

} // namespace
} // namespace korvant::testing
