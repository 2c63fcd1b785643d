#pragma once
// Checks the document targets apply to what a reader produced: texts taken
// from a document are valid UTF-8 (they go into JSON requests and XML results),
// requests are JSON, printed documents are well-formed XML.

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>
#include <tinyxml2.h>

#include "device/request.h"
#include "fuzz_support.h"
#include "nativeapi/utf.h"

namespace korvant::fuzz {

inline void requireUtf8(std::string_view text, const char* what) {
    require(sanitizeUtf8(text) == text, what);
}

// The request text the library would receive: JSON an object or "null".
inline void requireRequest(const Request& request) {
    const std::string text = request.text();
    const auto parsed = nlohmann::json::parse(text, nullptr, false);
    require(!parsed.is_discarded(), "a request is JSON");
    require(parsed.is_object() || parsed.is_null(), "a request is an object or null");
    require(request.empty() == (!parsed.is_object() || parsed.empty()),
            "empty() agrees with the text");
}

inline void requireWellFormed(const std::string& xml, const char* what) {
    tinyxml2::XMLDocument document;
    require(document.Parse(xml.data(), xml.size()) == tinyxml2::XML_SUCCESS, what);
    require(document.RootElement() != nullptr, what);
}

} // namespace korvant::fuzz
