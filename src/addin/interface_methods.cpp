#include "addin/interface_methods.h"

#include "addin/text_catalog.h"
#include "addin/xml_result.h"

namespace korvant {
namespace {

constexpr int32_t kInterfaceRevision = 3005;
constexpr std::string_view kNoAdditionalActions =
    R"(<?xml version="1.0" encoding="UTF-8"?><Actions/>)";

} // namespace

MethodOutcome getInterfaceRevision(ComponentState&, const HostArgs&) {
    return MethodOutcome::integer(kInterfaceRevision);
}

MethodOutcome getLastError(ComponentState& state, const HostArgs& args) {
    const auto code = static_cast<int32_t>(state.lastError);
    if (code >= 0 && code < kErrorCodeCount) {
        // The code is answered whether or not the host took the message.
        args.setText(0, state.outcomeUnknown ? TextCatalog::outcomeUnknownMessage()
                                             : TextCatalog::message(state.lastError));
    }
    return MethodOutcome::integer(code);
}

MethodOutcome getAdditionalActions(ComponentState&, const HostArgs& args) {
    return MethodOutcome::boolean(args.setText(0, printTemplate(kNoAdditionalActions)));
}

MethodOutcome notOffered(ComponentState&, const HostArgs&) {
    return MethodOutcome::boolean(false);
}

MethodOutcome unsupported(ComponentState& state, const HostArgs&) {
    setLastError(state, ErrorCode::Unsupported);
    return MethodOutcome::boolean(false);
}

} // namespace korvant
