#include "operations/operation_support.h"

#include "device/tag_dictionary.h"

namespace korvant {

Request cashierRequest(const std::string& name, const std::string& inn) {
    Request request;
    request.set(tag::user_name, name);
    request.setIfNotEmpty(tag::user_inn, inn);
    return request;
}

} // namespace korvant
