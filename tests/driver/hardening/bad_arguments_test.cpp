// A host that passes what it should not: every method is called with each of
// its arguments replaced by a value of every other type, by a null text, and
// with a null parameter array. Nothing may crash; the call answers as the
// method table says, the last error is a known code, an unusable device
// identifier is refused before the library is asked, and every text handed
// back comes from the host and is freed.

#include <algorithm>
#include <climits>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "driver/hardening/hardening_session.h"
#include "host/values/value_variant.h"

namespace korvant::testing::bad_arguments_test {
namespace {

using host::Value;
using host::Variant;
using host::VType;

constexpr long kMethodCount = 29;
constexpr int kInvalidDeviceId = 3;

// The methods that begin by matching their first argument to the open device.
const std::set<long> kDeviceMethods{6, 10, 11, 12, 13, 14, 15, 16, 17, 18, 20, 21, 23};

const std::string kSale =
    R"(<CheckPackage><Parameters CashierName="Cashier1" OperationType="1" TaxationSystem="0"/>)"
    R"(<Positions><FiscalString Name="Tea" Quantity="1" PriceWithDiscount="10" VATRate="20" )"
    R"(PaymentMethod="4" CalculationSubject="1"/></Positions><Payments Cash="10"/></CheckPackage>)";
const std::string kTextDocument =
    R"(<Document><Positions><TextString Text="line"/></Positions></Document>)";
const std::string kRegistration = R"(<Parameters CashierName="Admin" TaxationSystems="0"/>)";

// Arguments that would make each method do its work.
std::vector<Value> goodArguments(long number, const std::string& device) {
    const Value id = Value::text(device);
    const Value input = Value::text(kCashierInput);
    const Value out = Value::empty();
    switch (number) {
    case 0:
        return {};
    case 4:
        return {Value::text("Serial"), Value::text(kEmulatorSerial)};
    case 6:
    case 22:
        return {id};
    case 7:
        return {out, out};
    case 10:
        return {id, out};
    case 11:
        return {id, Value::i4(2), Value::text(kRegistration)};
    case 12:
    case 13:
    case 20:
    case 21:
        return {id, input, out};
    case 14:
        return {id, Value::boolean(false), Value::text(kSale), out};
    case 15:
        return {id, Value::text(kSale), out};
    case 16:
        return {id, Value::text(kTextDocument)};
    case 17:
        return {id, input, Value::r8(10)};
    case 18:
        return {id, out};
    case 19:
        return {id, Value::text("0")};
    case 23:
        return {id, Value::i4(0)};
    case 26:
    case 27:
    case 28:
        return {Value::text("x"), Value::text("x"), Value::text("x")};
    default: // 1, 2, 3, 5, 8, 9, 24, 25
        return {Value::empty()};
    }
}

// The argument values of one raw call, in blocks of the host's memory
// manager where they are texts; afterwards the host frees every text, its
// own and those the component handed back.
class RawArguments {
public:
    explicit RawArguments(host::MemoryManager& memory) : memory_(memory) {}
    ~RawArguments() {
        for (const Variant& variant : variants_) {
            blocks_.push_back(host::textBlock(variant));
        }
        std::sort(blocks_.begin(), blocks_.end());
        blocks_.erase(std::unique(blocks_.begin(), blocks_.end()), blocks_.end());
        for (const void* block : blocks_) {
            if (block != nullptr) {
                memory_.release(block);
            }
        }
    }
    RawArguments(const RawArguments&) = delete;
    RawArguments& operator=(const RawArguments&) = delete;

    void add(const Value& value) {
        variants_.push_back(host::emptyVariant());
        host::writeVariant(value, variants_.back(), memory_, blocks_);
    }
    void addRaw(const Variant& variant) { variants_.push_back(variant); }

    Variant* data() { return variants_.empty() ? nullptr : variants_.data(); }
    long count() const { return static_cast<long>(variants_.size()); }
    const Variant& operator[](size_t index) const { return variants_[index]; }

private:
    host::MemoryManager& memory_;
    std::vector<Variant> variants_;
    std::vector<const void*> blocks_;
};

// What replaces a good argument: a value of another type (texts keep the
// good argument's text, numbers are 2 or 2.5), or a text without its pointer.
struct Replacement {
    std::string name;
    std::function<void(const Value& good, RawArguments& args)> add;
};

std::vector<Replacement> replacements() {
    std::vector<Replacement> list;
    for (uint16_t code = 0; code <= 25; ++code) {
        const auto type = static_cast<VType>(code == 25 ? 99 : code);
        list.push_back({host::typeName(type), [type](const Value& good, RawArguments& args) {
                            const std::string text = good.isText() ? good.utf8() : "2";
                            if (type == VType::PWStr) {
                                return args.add(Value::text(text));
                            }
                            if (type == VType::PStr) {
                                return args.add(Value::pstr(text));
                            }
                            Variant variant = host::emptyVariant();
                            variant.vt = static_cast<uint16_t>(type);
                            switch (type) {
                            case VType::R4:
                                variant.data.fltVal = 2.5f;
                                break;
                            case VType::R8:
                            case VType::Date:
                                variant.data.dblVal = 2.5;
                                break;
                            case VType::Bool:
                                variant.data.bVal = true;
                                break;
                            case VType::Tm:
                            case VType::Interface:
                            case VType::Variant:
                            case VType::Blob:
                            case VType::Clsid:
                                break; // nothing to follow
                            default:
                                variant.data.llVal = 2;
                                break;
                            }
                            args.addRaw(variant);
                        }});
    }
    for (const uint32_t length : {0u, 5u}) {
        list.push_back({"null PWSTR of length " + std::to_string(length),
                        [length](const Value&, RawArguments& args) {
                            Variant variant = host::emptyVariant();
                            variant.vt = static_cast<uint16_t>(VType::PWStr);
                            variant.data.wide.wstrLen = length;
                            args.addRaw(variant);
                        }});
    }
    list.push_back({"null PSTR", [](const Value&, RawArguments& args) {
                        Variant variant = host::emptyVariant();
                        variant.vt = static_cast<uint16_t>(VType::PStr);
                        args.addRaw(variant);
                    }});
    return list;
}

bool isGoodText(const Replacement& replacement) {
    return replacement.name == "PWSTR";
}

class BadArguments : public ::testing::TestWithParam<long> {
protected:
    // What every call must satisfy, whatever it was given.
    static void checkAnswer(long number, bool called, const Variant& result,
                            HardeningSession& session) {
        EXPECT_TRUE(called) << "every method takes its own number of arguments";
        const bool integer = number == 0 || number == 2;
        EXPECT_EQ(result.vt, static_cast<uint16_t>(integer ? VType::I4 : VType::Bool));
        const auto [code, message] = session.lastError();
        EXPECT_GE(code, 0);
        EXPECT_LE(code, 15);
        EXPECT_FALSE(message.empty());
    }
};

TEST_P(BadArguments, EveryArgumentOfEveryType) {
    const long number = GetParam();
    const auto kinds = replacements();
    const size_t count = goodArguments(number, "korvant1").size();
    for (size_t position = 0; position < count; ++position) {
        HardeningSession session;
        ASSERT_TRUE(session.openWithShift());
        const auto good = goodArguments(number, session.device());
        for (const Replacement& replacement : kinds) {
            SCOPED_TRACE("argument " + std::to_string(position) + " as " + replacement.name);
            session.driver().clearJournal();
            bool called = false;
            Variant result = host::emptyVariant();
            {
                RawArguments args(session.memory());
                for (size_t i = 0; i < good.size(); ++i) {
                    if (i == position) {
                        replacement.add(good[i], args);
                    } else {
                        args.add(good[i]);
                    }
                }
                called =
                    session.component().rawCallAsFunc(number, &result, args.data(), args.count());
            }
            checkAnswer(number, called, result, session);
            if (kDeviceMethods.count(number) != 0 && position == 0 && !isGoodText(replacement)) {
                EXPECT_FALSE(result.data.bVal);
                EXPECT_EQ(session.lastError().first, kInvalidDeviceId);
                EXPECT_TRUE(session.driver().calls().empty()) << "the library was asked";
            }
            EXPECT_EQ(session.memory().liveBlocks(), 0u) << "blocks left behind";
            EXPECT_EQ(session.memory().report(), "");
        }
    }
}

TEST_P(BadArguments, NullParameterArray) {
    const long number = GetParam();
    HardeningSession session;
    ASSERT_TRUE(session.openWithShift());
    session.driver().clearJournal();
    const auto count = static_cast<long>(goodArguments(number, "").size());
    Variant result = host::emptyVariant();
    const bool called = session.component().rawCallAsFunc(number, &result, nullptr, count);
    checkAnswer(number, called, result, session);
    if (kDeviceMethods.count(number) != 0) {
        EXPECT_FALSE(result.data.bVal);
        EXPECT_EQ(session.lastError().first, kInvalidDeviceId);
        EXPECT_TRUE(session.driver().calls().empty()) << "the library was asked";
    }
    EXPECT_EQ(session.memory().liveBlocks(), 0u);
    EXPECT_EQ(session.memory().report(), "");
}

INSTANTIATE_TEST_SUITE_P(Methods, BadArguments, ::testing::Range(0L, kMethodCount));

// No result value at all, and numbers outside the table.
TEST(BadArgumentsEdges, NullResultAndUnknownNumbers) {
    HardeningSession session;
    host::Component& component = session.component();
    EXPECT_TRUE(
        component.rawCallAsFunc(component.findMethod("GetInterfaceRevision"), nullptr, nullptr, 0));
    EXPECT_TRUE(
        component.rawCallAsFunc(component.findMethod("OpenCashDrawer"), nullptr, nullptr, 0));
    for (const long number : {-1L, 29L, 1000L, LONG_MIN, LONG_MAX}) {
        Variant result = host::emptyVariant();
        EXPECT_FALSE(session.component().rawCallAsFunc(number, &result, nullptr, 0)) << number;
        EXPECT_EQ(result.vt, static_cast<uint16_t>(VType::Empty));
        EXPECT_FALSE(session.component().rawCallAsProc(number, nullptr, 0)) << number;
    }
    EXPECT_EQ(session.memory().liveBlocks(), 0u);
}

} // namespace
} // namespace korvant::testing::bad_arguments_test
