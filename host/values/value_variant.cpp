#include "host/values/value_variant.h"

#include "host/abi/memory_manager.h"

#include <cstring>
#include <new>
#include <stdexcept>

namespace korvant::host {
namespace {

void* copyIntoBlock(const void* data, std::size_t bytes, std::size_t terminator,
                    MemoryManager& memory, std::vector<const void*>& blocks) {
    void* block = memory.allocateForHost(bytes + terminator);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    if (bytes != 0) {
        std::memcpy(block, data, bytes);
    }
    std::memset(static_cast<char*>(block) + bytes, 0, terminator);
    blocks.push_back(block);
    return block;
}

uint32_t lengthField(std::size_t length) {
    if (length > UINT32_MAX) {
        throw std::invalid_argument("a text too long for a host value");
    }
    return static_cast<uint32_t>(length);
}

} // namespace

Variant emptyVariant() {
    Variant variant;
    std::memset(&variant, 0, sizeof variant);
    return variant;
}

void writeVariant(const Value& value, Variant& variant, MemoryManager& memory,
                  std::vector<const void*>& blocks) {
    variant = emptyVariant();
    auto& data = variant.data;
    switch (value.type) {
    case VType::Empty:
    case VType::Null:
        break;
    case VType::I1:
        data.i8Val = static_cast<int8_t>(value.integer);
        break;
    case VType::I2:
        data.shortVal = static_cast<int16_t>(value.integer);
        break;
    case VType::I4:
        data.lVal = static_cast<int32_t>(value.integer);
        break;
    case VType::Int:
        data.intVal = static_cast<int>(value.integer);
        break;
    case VType::I8:
        data.llVal = value.integer;
        break;
    case VType::UI1:
        data.ui8Val = static_cast<uint8_t>(value.integer);
        break;
    case VType::UI2:
        data.ushortVal = static_cast<uint16_t>(value.integer);
        break;
    case VType::UI4:
        data.ulVal = static_cast<uint32_t>(value.integer);
        break;
    case VType::UInt:
        data.uintVal = static_cast<unsigned int>(value.integer);
        break;
    case VType::UI8:
        data.ullVal = value.unsignedInteger();
        break;
    case VType::Error:
        data.errCode = static_cast<int32_t>(value.integer);
        break;
    case VType::HResult:
        data.hRes = static_cast<long>(value.integer);
        break;
    case VType::R4:
        data.fltVal = static_cast<float>(value.real);
        break;
    case VType::R8:
        data.dblVal = value.real;
        break;
    case VType::Date:
        data.date = value.real;
        break;
    case VType::Bool:
        data.bVal = value.flag;
        break;
    case VType::PStr:
        data.narrow.strLen = lengthField(value.narrow.size());
        data.narrow.pstrVal = static_cast<char*>(
            copyIntoBlock(value.narrow.data(), value.narrow.size(), 1, memory, blocks));
        break;
    case VType::PWStr:
        data.wide.wstrLen = lengthField(value.wide.size());
        data.wide.pwstrVal = static_cast<HostChar*>(
            copyIntoBlock(value.wide.data(), value.wide.size() * sizeof(HostChar), sizeof(HostChar),
                          memory, blocks));
        break;
    default:
        throw std::invalid_argument("a value of type " + typeName(value.type) +
                                    " cannot be passed");
    }
    variant.vt = static_cast<uint16_t>(value.type);
}

Value readVariant(const Variant& variant, MemoryManager* memory) {
    const auto& data = variant.data;
    const auto type = static_cast<VType>(variant.vt);
    switch (type) {
    case VType::I1:
        return Value::integral(type, data.i8Val);
    case VType::I2:
        return Value::integral(type, data.shortVal);
    case VType::I4:
        return Value::integral(type, data.lVal);
    case VType::Int:
        return Value::integral(type, data.intVal);
    case VType::I8:
        return Value::integral(type, data.llVal);
    case VType::UI1:
        return Value::integral(type, data.ui8Val);
    case VType::UI2:
        return Value::integral(type, data.ushortVal);
    case VType::UI4:
        return Value::integral(type, data.ulVal);
    case VType::UInt:
        return Value::integral(type, data.uintVal);
    case VType::UI8:
        return Value::integral(type, static_cast<int64_t>(data.ullVal));
    case VType::Error:
        return Value::integral(type, data.errCode);
    case VType::HResult:
        return Value::integral(type, data.hRes);
    case VType::R4:
        return Value::r4(data.fltVal);
    case VType::R8:
        return Value::r8(data.dblVal);
    case VType::Date: {
        Value v = Value::ofType(type);
        v.real = data.date;
        return v;
    }
    case VType::Bool:
        return Value::boolean(data.bVal);
    case VType::PStr:
        if (memory != nullptr) {
            return Value::pstr(
                memory->readBytes(data.narrow.pstrVal, data.narrow.strLen, "a PSTR value"));
        }
        return Value::pstr(data.narrow.pstrVal == nullptr
                               ? std::string()
                               : std::string(data.narrow.pstrVal, data.narrow.strLen));
    case VType::PWStr:
        if (memory != nullptr) {
            return Value::pwstr(
                memory->readText(data.wide.pwstrVal, data.wide.wstrLen, "a PWSTR value"));
        }
        return Value::pwstr(data.wide.pwstrVal == nullptr
                                ? std::u16string()
                                : std::u16string(data.wide.pwstrVal, data.wide.wstrLen));
    default:
        return Value::ofType(type);
    }
}

const void* textBlock(const Variant& variant) {
    switch (static_cast<VType>(variant.vt)) {
    case VType::PStr:
        return variant.data.narrow.pstrVal;
    case VType::PWStr:
        return variant.data.wide.pwstrVal;
    default:
        return nullptr;
    }
}

} // namespace korvant::host
