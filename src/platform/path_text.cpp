#include "platform/path_text.h"

#include "nativeapi/utf.h"

namespace korvant {

#ifdef _WIN32
PathText pathFromUtf8(std::string_view utf8) {
    const auto wide = utf8ToUtf16(utf8);
    return PathText(wide.begin(), wide.end());
}
std::string pathToUtf8(const PathText& path) {
    return utf16ToUtf8(std::u16string(path.begin(), path.end()));
}
#else
PathText pathFromUtf8(std::string_view utf8) {
    return PathText(utf8);
}
std::string pathToUtf8(const PathText& path) {
    return path;
}
#endif

} // namespace korvant
