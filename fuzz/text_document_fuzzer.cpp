// The text document PrintTextDocument prints, and the print requests made of it.
#include "device/tag_dictionary.h"
#include "document_checks.h"
#include "documents/text_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace korvant;
    using namespace korvant::fuzz;
    const TextDocument document(asText(data, size));
    for (const TextItem& item : document.items) {
        require(item.kind >= TextItemKind::Text && item.kind <= TextItemKind::Qr,
                "an item has a known kind");
        requireUtf8(item.text, "an item's text is UTF-8");
        Request request;
        request.set(tag::text_type, static_cast<int32_t>(item.kind));
        request.set(tag::text, item.text);
        requireRequest(request);
    }
    return 0;
}
