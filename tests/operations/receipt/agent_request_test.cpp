// Which agent and vendor texts go to the register for each agent type.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "documents/receipt_record.h"
#include "operations/receipt/sale_requests.h"

namespace korvant {
namespace {

AgentDataRecord fullAgentData() {
    AgentDataRecord agent;
    agent.agentOperation = "op";
    agent.agentPhone = "a1";
    agent.paymentProcessorPhone = "p2";
    agent.acquirerOperatorPhone = "t3";
    agent.acquirerOperatorName = "tn";
    agent.acquirerOperatorAddress = "ta";
    agent.acquirerOperatorINN = "ti";
    agent.present = true;
    return agent;
}

VendorDataRecord fullVendorData() {
    VendorDataRecord vendor;
    vendor.vendorName = "vn";
    vendor.vendorPhone = "vp";
    vendor.vendorINN = "vi";
    vendor.present = true;
    return vendor;
}

constexpr const char* kTransferMembers =
    R"("payment_op_action":"op","payment_op_phone":"a1","transfer_op_addr":"ta",)"
    R"("transfer_op_inn":"ti","transfer_op_name":"tn","transfer_op_phone":"t3")";

TEST(AgentRequest, AgentTypeChoosesTheAgentTexts) {
    struct Case {
        int32_t agentType;
        std::string expected;
    };
    const std::vector<Case> cases{
        {-1, R"({"agent":0,)" + std::string(kTransferMembers) + "}"},
        {0, R"({"agent":1,)" + std::string(kTransferMembers) + "}"},
        {1, R"({"agent":2,)" + std::string(kTransferMembers) + "}"},
        {2, R"({"agent":3,"payment_op_phone":"a1","payment_reception_op_phone":"p2"})"},
        {3, R"({"agent":4,"payment_op_phone":"a1","payment_reception_op_phone":"p2"})"},
        {4, R"({"agent":5})"},
        {6, R"({"agent":7})"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(agentRequest(c.agentType, fullAgentData(), {}).text(), c.expected) << c.agentType;
    }
}

TEST(AgentRequest, VendorDataGoesWhateverTheAgentType) {
    for (int32_t agentType : {-1, 1, 2, 4, 6}) {
        EXPECT_EQ(agentRequest(agentType, {}, fullVendorData()).text(),
                  R"({"agent":)" + std::to_string(agentType + 1) +
                      R"(,"provider_inn":"vi","provider_name":"vn","provider_phone":"vp"})")
            << agentType;
    }
}

TEST(AgentRequest, EmptyTextsAreLeftOut) {
    AgentDataRecord agent;
    agent.agentPhone = "a1";
    agent.present = true;
    VendorDataRecord vendor;
    vendor.vendorName = "vn";
    vendor.present = true;
    EXPECT_EQ(agentRequest(1, agent, vendor).text(),
              R"({"agent":2,"payment_op_phone":"a1","provider_name":"vn"})");
}

TEST(AgentRequest, NothingPresentIsNeverSent) {
    AgentDataRecord absentAgent = fullAgentData();
    absentAgent.present = false;
    VendorDataRecord absentVendor = fullVendorData();
    absentVendor.present = false;
    const Request request = agentRequest(1, absentAgent, absentVendor);
    EXPECT_TRUE(request.empty());
    EXPECT_EQ(request.text(), "null");
}

} // namespace
} // namespace korvant
