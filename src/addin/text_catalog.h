#pragma once
// The driver's texts in English and Russian: the messages of the error codes and
// the captions of the driver description and settings form. One language is
// selected for the whole library (all components of the process share it).

#include <string_view>

#include "device/error_code.h"

namespace korvant {

enum class Language { English, Russian };

enum class InterfaceText {
    ModelName,
    DriverDescription,
    SettingsPage,
    ConnectionGroup,
    SerialNumber,
    IpAddress,
    MarkingGroup,
    MarkingTimeout,
};

class TextCatalog {
public:
    static void select(Language language) noexcept;
    static Language selected() noexcept;

    // The message of a code 0 to 15 in the selected language.
    static std::string_view message(ErrorCode code) noexcept;
    // The message of a protocol error whose document may have been made: the
    // register could not tell, and the next receipt settles it.
    static std::string_view outcomeUnknownMessage() noexcept;
    static std::string_view text(InterfaceText item) noexcept;
};

// The host's locale: the process locale follows it, and a name starting with
// "ru" selects Russian, anything else English.
void applyHostLocale(std::string_view locale);

} // namespace korvant
