#include "platform/process_locale.h"

#include <clocale>
#include <string>

#ifdef _WIN32
#include "nativeapi/utf.h"
#endif

namespace korvant {

void setProcessLocale(std::string_view locale) {
#ifdef _WIN32
    const std::u16string units = utf8ToUtf16(locale);
    const std::wstring wide(units.begin(), units.end());
    _wsetlocale(LC_ALL, wide.c_str());
#else
    const std::string name(locale);
    std::setlocale(LC_ALL, name.c_str());
#endif
}

} // namespace korvant
