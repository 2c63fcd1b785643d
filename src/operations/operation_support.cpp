#include "operations/operation_support.h"

#include "device/tag_dictionary.h"

namespace korvant {

ErrorCode reportable(ErrorCode asked, const KorvantResponse& answer,
                     std::initializer_list<uint16_t> reported) {
    if (asked != ErrorCode::NoError) {
        return asked;
    }
    return answer.lacksAny(reported) ? ErrorCode::ProtocolError : ErrorCode::NoError;
}

bool inputReadable(ComponentState& state, const HostArgs& args, long index) {
    if (InputParametersDocument(args.text(index)).wellFormed()) {
        return true;
    }
    return record(state, ErrorCode::InputParametersError);
}

Request cashierRequest(const std::string& name, const std::string& inn) {
    Request request;
    request.set(tag::user_name, name);
    request.setIfNotEmpty(tag::user_inn, inn);
    return request;
}

} // namespace korvant
