#include "host/addin/connection.h"

#include "host/values/script_notation.h"
#include "host/values/value_variant.h"
#include "nativeapi/utf.h"

#include <algorithm>
#include <utility>

namespace korvant::host {
namespace {

Connection& owner(void* self) {
    return HostObject<Connection>::of(self);
}

std::string text(const HostChar* value) {
    if (value == nullptr) {
        return "(null)";
    }
    return utf16ToUtf8(value);
}

std::string valueText(const Variant* value) {
    return value == nullptr ? "(null)" : dumpJson(toNotation(readVariant(*value)));
}

bool KORVANT_HOST_CALL addErrorSlot(void* self, unsigned short code, const HostChar* source,
                                    const HostChar* description, long scode) {
    owner(self).record(
        "AddError", {std::to_string(code), text(source), text(description), std::to_string(scode)});
    return true;
}

bool KORVANT_HOST_CALL readSlot(void* self, HostChar* name, Variant*, long* errorCode, HostChar**) {
    // No profile storage: nothing is ever found.
    owner(self).record("Read", {text(name)});
    if (errorCode != nullptr) {
        *errorCode = 0;
    }
    return false;
}

bool KORVANT_HOST_CALL writeSlot(void* self, HostChar* name, Variant* value) {
    owner(self).record("Write", {text(name), valueText(value)});
    return true;
}

bool KORVANT_HOST_CALL registerProfileAsSlot(void* self, HostChar* profile) {
    owner(self).record("RegisterProfileAs", {text(profile)});
    return true;
}

bool KORVANT_HOST_CALL setEventBufferDepthSlot(void* self, long depth) {
    owner(self).record("SetEventBufferDepth", {std::to_string(depth)});
    owner(self).setEventBufferDepth(depth);
    return true;
}

long KORVANT_HOST_CALL getEventBufferDepthSlot(void* self) {
    owner(self).record("GetEventBufferDepth", {});
    return owner(self).eventBufferDepth();
}

bool KORVANT_HOST_CALL externalEventSlot(void* self, HostChar* source, HostChar* message,
                                         HostChar* data) {
    owner(self).record("ExternalEvent", {text(source), text(message), text(data)});
    return true;
}

void KORVANT_HOST_CALL cleanEventBufferSlot(void* self) {
    owner(self).record("CleanEventBuffer", {});
}

bool KORVANT_HOST_CALL setStatusLineSlot(void* self, HostChar* line) {
    owner(self).record("SetStatusLine", {text(line)});
    return true;
}

void KORVANT_HOST_CALL resetStatusLineSlot(void* self) {
    owner(self).record("ResetStatusLine", {});
}

} // namespace

const VirtualTable<ConnectionSlots> Connection::kTable = virtualTable<Connection>(ConnectionSlots{
    HostObject<Connection>::destructorSlots(), &addErrorSlot, &readSlot, &writeSlot,
    &registerProfileAsSlot, &setEventBufferDepthSlot, &getEventBufferDepthSlot, &externalEventSlot,
    &cleanEventBufferSlot, &setStatusLineSlot, &resetStatusLineSlot});

Connection::Connection() : object_{&kTable.slots, this} {}

std::size_t Connection::count(std::string_view method) const {
    return static_cast<std::size_t>(
        std::count_if(calls_.begin(), calls_.end(),
                      [method](const auto& call) { return call.method == method; }));
}

void Connection::record(std::string method, std::vector<std::string> args) {
    calls_.push_back({std::move(method), std::move(args)});
}

void Connection::destroyedByAddIn() {
    record("~IAddInDefBase", {});
}

} // namespace korvant::host
