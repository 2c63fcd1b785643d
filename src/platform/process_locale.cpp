#include "platform/process_locale.h"

#include <clocale>
#include <string>

#ifdef _WIN32
#include "nativeapi/utf.h"
#endif

namespace korvant {

void setProcessLocale(std::string_view locale) {
#ifdef _WIN32
    const wchar_t* current = _wsetlocale(LC_NUMERIC, nullptr);
    const std::wstring numeric = current ? current : L"C";
    const std::u16string units = utf8ToUtf16(locale);
    const std::wstring wide(units.begin(), units.end());
    _wsetlocale(LC_ALL, wide.c_str());
    _wsetlocale(LC_NUMERIC, numeric.c_str());
#else
    const char* current = std::setlocale(LC_NUMERIC, nullptr);
    const std::string numeric = current ? current : "C";
    const std::string name(locale);
    std::setlocale(LC_ALL, name.c_str());
    std::setlocale(LC_NUMERIC, numeric.c_str());
#endif
}

} // namespace korvant
