#pragma once
// The host's IAddInDefBase, handed to the component's Init. It serves nothing of 1C's (no
// profile storage, no event queue, no status line) but records every call made on it, so a
// test can see exactly what the add-in asked of its host.

#include "host/abi/abi.h"
#include "host/abi/host_object.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korvant::host {

struct ConnectionCall {
    std::string method;            // the interface method's name, e.g. "AddError"
    std::vector<std::string> args; // texts as UTF-8 ("(null)" for a null text), numbers in decimal
};

class Connection {
public:
    Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The IAddInDefBase pointer handed to the add-in.
    void* interfacePointer() { return &object_; }

    const std::vector<ConnectionCall>& calls() const { return calls_; }
    std::size_t count(std::string_view method) const;
    void clear() { calls_.clear(); }

    // What the interface methods do; public so that the slot functions can reach them.
    void record(std::string method, std::vector<std::string> args);
    long eventBufferDepth() const { return eventBufferDepth_; }
    void setEventBufferDepth(long depth) { eventBufferDepth_ = depth; }
    void destroyedByAddIn();

private:
    using Object = HostObject<Connection>;
    static const VirtualTable<ConnectionSlots> kTable;

    Object object_;
    std::vector<ConnectionCall> calls_;
    long eventBufferDepth_ = 1;
};

} // namespace korvant::host
