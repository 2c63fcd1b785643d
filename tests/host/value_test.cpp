// Host values: their Variant form and their script notation.

#include "host/abi/memory_manager.h"
#include "host/values/script_notation.h"
#include "host/values/value_variant.h"
#include "host_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace korvant::host;
using namespace korvant::host::testing;

namespace {

// One value of every type that can be passed, each with its own bit pattern.
std::vector<Value> everyPassableValue() {
    return {
        Value::empty(),
        Value::ofType(VType::Null),
        Value::integral(VType::I1, -128),
        Value::i2(32767),
        Value::i4(std::numeric_limits<int32_t>::min()),
        Value::integral(VType::Int, -1),
        Value::integral(VType::I8, std::numeric_limits<int64_t>::max()),
        Value::integral(VType::UI1, 255),
        Value::integral(VType::UI2, 1),
        Value::integral(VType::UI4, 4294967295),
        Value::uint(7),
        Value::integral(VType::UI8, -2),
        Value::integral(VType::Error, 3),
        Value::integral(VType::HResult, -4),
        Value::r4(0.25f),
        Value::r8(1e300),
        [] {
            Value date = Value::ofType(VType::Date);
            date.real = 45000.5;
            return date;
        }(),
        Value::boolean(false),
        Value::pstr("bytes \xFF"),
        Value::text("ПолучитьОшибку"),
        Value::pwstr(u""),
    };
}

} // namespace

TEST(ValueVariant, EveryPassableValueRoundTrips) {
    MemoryManager memory;
    for (const auto& value : everyPassableValue()) {
        Variant variant;
        std::vector<const void*> blocks;
        writeVariant(value, variant, memory, blocks);
        EXPECT_EQ(variant.vt, static_cast<uint16_t>(value.type));
        EXPECT_EQ(readVariant(variant, &memory), value);
        EXPECT_EQ(readVariant(variant), value);
        EXPECT_EQ(blocks.size(), value.isText() ? 1u : 0u) << value;
        EXPECT_EQ(textBlock(variant), blocks.empty() ? nullptr : blocks[0]);
    }
    EXPECT_TRUE(memory.problems().empty()) << memory.report();
}

TEST(ValueVariant, FieldsAreThoseTheAddInReads) {
    MemoryManager memory;
    std::vector<const void*> blocks;
    Variant variant;
    writeVariant(Value::text("Да"), variant, memory, blocks);
    EXPECT_EQ(variant.data.wide.wstrLen, 2u);
    EXPECT_EQ(variant.data.wide.pwstrVal[2], 0) << "texts are passed zero-terminated";
    EXPECT_EQ(memory.blockSize(variant.data.wide.pwstrVal), 6u);
    EXPECT_TRUE(memory.owns(variant.data.wide.pwstrVal));

    writeVariant(Value::r4(1.5f), variant, memory, blocks);
    EXPECT_EQ(variant.data.fltVal, 1.5f) << "R4 lives in fltVal";
    writeVariant(Value::boolean(true), variant, memory, blocks);
    EXPECT_TRUE(variant.data.bVal);
    writeVariant(Value::i4(-5), variant, memory, blocks);
    EXPECT_EQ(variant.data.lVal, -5);
    EXPECT_EQ(variant.cbElements, 0u);

    Variant tm;
    EXPECT_THROW(writeVariant(Value::ofType(VType::Tm), tm, memory, blocks), std::invalid_argument);
}

TEST(ValueVariant, TextsAreReadByTheirLengthField) {
    char16_t text[] = u"abcdef";
    Variant variant = emptyVariant();
    variant.vt = static_cast<uint16_t>(VType::PWStr);
    variant.data.wide.pwstrVal = text;
    variant.data.wide.wstrLen = 3;
    EXPECT_EQ(readVariant(variant), Value::pwstr(u"abc"));
    variant.data.wide.pwstrVal = nullptr;
    EXPECT_EQ(readVariant(variant), Value::pwstr(u""));

    variant.vt = 99;
    EXPECT_EQ(readVariant(variant).type, static_cast<VType>(99));
    EXPECT_EQ(typeName(static_cast<VType>(99)), "VT_99");
}

TEST(ScriptNotation, PlainJsonValues) {
    struct Case {
        const char* json;
        Value value;
    };
    const Case cases[] = {
        {R"("Привет")", Value::text("Привет")},
        {R"("")", Value::pwstr(u"")},
        {"42", Value::i4(42)},
        {"-2147483648", Value::i4(std::numeric_limits<int32_t>::min())},
        {"2.5", Value::r8(2.5)},
        {"1.0", Value::r8(1.0)},
        {"true", Value::boolean(true)},
        {"null", Value::empty()},
        {R"({"type": "PSTR", "value": "abc"})", Value::pstr("abc")},
        {R"({"type": "I2", "value": -32768})", Value::i2(-32768)},
        {R"({"type": "UINT", "value": 4294967295})", Value::uint(4294967295u)},
        {R"({"type": "R4", "value": 3})", Value::r4(3.0f)},
        {R"({"type": "R8", "value": 0.1})", Value::r8(0.1)},
        {R"({"type": "BOOL", "value": false})", Value::boolean(false)},
        {R"({"type": "EMPTY"})", Value::empty()},
        {R"({"type": "EMPTY", "value": null})", Value::empty()},
        {R"({"type": "PWSTR", "value": "x"})", Value::text("x")},
        {R"({"type": "UI8", "value": 18446744073709551615})", Value::integral(VType::UI8, -1)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fromNotation(Json::parse(c.json)), c.value) << c.json;
    }
}

TEST(ScriptNotation, BadValuesNameThePlaceAndTheReason) {
    struct Case {
        const char* json;
        const char* reason;
    };
    const Case cases[] = {
        {"2147483648", "the value is out of range for I4"},
        {R"({"type": "I2", "value": 40000})", "the value is out of range for I2"},
        {R"({"type": "UINT", "value": -1})", "the value is out of range for UINT"},
        {R"({"type": "I4", "value": 1.5})", "I4 needs an integer value"},
        {R"({"type": "I4", "value": "1"})", "I4 needs an integer value"},
        {R"({"type": "I4"})", "I4 needs an integer value"},
        {R"({"type": "R8", "value": "x"})", "R8 needs a number value"},
        {R"({"type": "BOOL", "value": 1})", "BOOL needs true or false"},
        {R"({"type": "PSTR", "value": 1})", "PSTR needs a string value"},
        {R"({"type": "EMPTY", "value": 0})", "EMPTY takes no value"},
        {R"({"type": "I5", "value": 1})", "unknown type \"I5\""},
        {R"({"type": "TM", "value": 1})", "a value of type TM cannot be written in a script"},
        {R"({"type": 3, "value": 1})", "\"type\" must be a type name"},
        {R"({"type": "I4", "value": 1, "extra": 2})", "unexpected member \"extra\""},
        {R"({"value": 1})", "an object value needs a \"type\""},
        {"[1]", "a value is a string"},
    };
    for (const auto& c : cases) {
        expectScriptError([&] { fromNotation(Json::parse(c.json), "calls[1].args[2]"); }, c.json,
                          std::string("calls[1].args[2]: ") + c.reason);
    }
}

TEST(ScriptNotation, OutputNotationReadsBackAsTheSameValue) {
    for (const auto& value : everyPassableValue()) {
        if (value.type == VType::PStr) {
            continue; // invalid UTF-8 bytes are printed replaced; checked below
        }
        EXPECT_EQ(fromNotation(toNotation(value)), value) << value;
    }
    EXPECT_EQ(dumpJson(toNotation(Value::empty())), "null");
    EXPECT_EQ(dumpJson(toNotation(Value::text("Нет ошибки"))), "\"Нет ошибки\"");
    EXPECT_EQ(dumpJson(toNotation(Value::boolean(true))), R"({"type":"BOOL","value":true})");
    EXPECT_EQ(dumpJson(toNotation(Value::i4(3005))), R"({"type":"I4","value":3005})");
    EXPECT_EQ(dumpJson(toNotation(Value::pstr("a\xFF"))),
              "{\"type\":\"PSTR\",\"value\":\"a\xEF\xBF\xBD\"}");
    EXPECT_EQ(dumpJson(toNotation(Value::ofType(VType::Blob))), R"({"type":"BLOB","value":null})");
    EXPECT_EQ(dumpJson(Json("bad \xC3")), "\"bad \xEF\xBF\xBD\"") << "never throws on bad UTF-8";
    EXPECT_EQ(dumpJson(toNotation(Value::r8(std::nan("")))), R"({"type":"R8","value":null})");
}
