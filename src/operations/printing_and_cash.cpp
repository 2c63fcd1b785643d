// Printing and cash: PrintTextDocument, PrintXReport, CashInOutcome (cash in and
// cash out) and GetLineLength (the width the register prints).
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "device/request.h"
#include "device/responses.h"
#include "device/tag_dictionary.h"
#include "device/units.h"
#include "documents/input_parameters.h"
#include "documents/text_document.h"
#include "operations/device_id.h"
#include "operations/document_guard.h"
#include "operations/driver_methods.h"
#include "operations/operation_support.h"
#include "operations/stale_document.h"

namespace korvant {
namespace {

// The register's kinds of cash document.
constexpr int32_t kCashIn = 2;
constexpr int32_t kCashOut = 3;

// The widths a printed line can have, which every integer type a host may pass
// for it holds as they are.
constexpr int32_t kNarrowestLine = 1;
constexpr int32_t kWidestLine = INT16_MAX;

// Sends one piece of a text document: a block of lines or a barcode.
bool printItem(ComponentState& state, const DeviceSession& device, TextItemKind kind,
               const std::string& text) {
    Request request;
    request.set(tag::text_type, static_cast<int32_t>(kind));
    request.set(tag::text, text);
    return record(state, clearingStaleDocument(state, device, "printing text", [&] {
                      return device.library.print(device.handle, request.text());
                  }));
}

} // namespace

MethodOutcome printTextDocument(ComponentState& state, const HostArgs& args) {
    const auto device = beginDeviceOperation(state, args);
    if (!device) {
        return MethodOutcome::boolean(false);
    }
    const TextDocument document(args.text(1));
    if (!document.wellFormed) {
        return MethodOutcome::boolean(record(state, ErrorCode::InputParametersError));
    }
    // Consecutive lines print as one block; a barcode ends the block before it.
    // A block holds every line where the document has it, empty ones too (an
    // acquiring slip starts with one). What was printed before a failure stays
    // printed.
    std::optional<std::string> block;
    for (const TextItem& item : document.items) {
        if (item.kind == TextItemKind::Text) {
            if (block) {
                *block += '\n';
                *block += item.text;
            } else {
                block = item.text;
            }
            continue;
        }
        if (block && !printItem(state, *device, TextItemKind::Text, *block)) {
            return MethodOutcome::boolean(false);
        }
        block.reset();
        if (!printItem(state, *device, item.kind, item.text)) {
            return MethodOutcome::boolean(false);
        }
    }
    if (block) {
        return MethodOutcome::boolean(printItem(state, *device, TextItemKind::Text, *block));
    }
    return MethodOutcome::boolean(true);
}

MethodOutcome cashInOutcome(ComponentState& state, const HostArgs& args) {
    const auto device = beginDeviceOperation(state, args);
    if (!device) {
        return MethodOutcome::boolean(false);
    }
    const InputParametersDocument input(args.text(1));
    if (!input.wellFormed()) {
        return MethodOutcome::boolean(record(state, ErrorCode::InputParametersError));
    }
    // The sign travels only as the kind of document; the cash is the magnitude.
    // An amount that is no number (nothing given, a boolean, a text of words) is
    // refused like one beyond the register's units, before anything is sent.
    const std::optional<double> amount = args.amount(2);
    const auto cash = amount ? amountToDevice(std::fabs(*amount)) : std::nullopt;
    if (!cash) {
        return MethodOutcome::boolean(record(state, ErrorCode::InputParametersError));
    }
    Request opening = cashierRequest(input);
    opening.set(tag::doc_kind, *amount >= 0 ? kCashIn : kCashOut);
    Request closing;
    closing.set(tag::cash, *cash);
    const std::string package = packageDigest(opening.text() + '\n' + closing.text());
    switch (settleEarlierClosing(state, *device, package).verdict) {
    case EarlierClosing::Verdict::AlreadyMade:
        return MethodOutcome::boolean(record(state, ErrorCode::NoError));
    case EarlierClosing::Verdict::StillUnknown:
        return MethodOutcome::boolean(recordUnknownOutcome(state));
    case EarlierClosing::Verdict::GoAhead:
        break;
    }
    // A register need not number cash documents: a closing whose answer was lost
    // is settled by what the drawer holds.
    DocumentGuard document(state, *device, ClosingEvidence::Drawer, *amount >= 0 ? *cash : -*cash);
    if (!document.open(opening.text())) {
        return MethodOutcome::boolean(false);
    }
    return MethodOutcome::boolean(document.close(closing.text(), package).has_value());
}

MethodOutcome printXReport(ComponentState& state, const HostArgs& args) {
    const auto device = beginDeviceOperation(state, args);
    if (!device || !inputReadable(state, args, 1)) {
        return MethodOutcome::boolean(false);
    }
    return MethodOutcome::boolean(
        record(state, clearingStaleDocument(state, *device, "the X report", [&] {
                   return device->library.reportX(device->handle);
               })));
}

MethodOutcome getLineLength(ComponentState& state, const HostArgs& args) {
    const auto device = beginDeviceOperation(state, args);
    if (!device) {
        return MethodOutcome::boolean(false);
    }
    KorvantResponseGetInfo info;
    const ErrorCode described = device->library.getInfo(device->handle, info);
    if (!record(state, reportable(described, info, {tag::line_length}))) {
        return MethodOutcome::boolean(false);
    }
    // A width no line has would come back wrapped in the host's integer type
    // (70000 as 4464 in 16 bits): it is no width, and the answer is malformed.
    if (info.line_length < kNarrowestLine || info.line_length > kWidestLine) {
        return MethodOutcome::boolean(record(state, ErrorCode::ProtocolError));
    }
    // Written whatever the host passed there: an integer type it chose is kept, anything
    // else (an empty value, a text, a real) becomes a 32-bit integer.
    args.setInteger(1, info.line_length);
    return MethodOutcome::boolean(true);
}

} // namespace korvant
