#include "device/tag_dictionary.h"

#include <map>

namespace korvant {
namespace {

constexpr TagEntry kTagList[] = {
#define KORVANT_TAG(name, number, width) {makeTagId(number, width), #name},
#include "device/tag_list.h"
#undef KORVANT_TAG
};
constexpr std::span<const TagEntry> kTags{kTagList};

constexpr bool ascending(std::span<const TagEntry> tags) {
    for (size_t i = 1; i < tags.size(); ++i) {
        if (tagNumber(tags[i - 1].id) >= tagNumber(tags[i].id)) {
            return false;
        }
    }
    return true;
}
static_assert(ascending(kTags), "tag_list.h lists the tags in ascending number order");

} // namespace

std::span<const TagEntry> tagDictionary() {
    return kTags;
}

std::string_view tagName(uint32_t number) {
    // Built once, on first use; a function-local static is initialised safely
    // even when two threads get here first at the same time.
    static const std::map<uint32_t, std::string_view> names = [] {
        std::map<uint32_t, std::string_view> built;
        for (const auto& entry : kTags) {
            built.emplace(tagNumber(entry.id), entry.name);
        }
        return built;
    }();
    const auto found = names.find(number);
    return found == names.end() ? std::string_view{} : found->second;
}

uint16_t tagByName(std::string_view name) {
    for (const auto& entry : kTags) {
        if (entry.name == name) {
            return tagNumber(entry.id);
        }
    }
    return 0;
}

} // namespace korvant
