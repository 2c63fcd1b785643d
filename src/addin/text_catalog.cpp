#include "addin/text_catalog.h"

#include <array>
#include <atomic>

#include "platform/process_locale.h"

namespace korvant {
namespace {

struct LanguageTable {
    std::array<std::string_view, kErrorCodeCount> messages;
    std::array<std::string_view, 8> interfaceTexts;
    std::string_view outcomeUnknown;
};

constexpr LanguageTable kEnglish{
    {
        "No error",
        "Protocol error",
        "Wrong serial number",
        "Invalid Device ID",
        "Unsupported",
        "Unknown error",
        "Operation fails",
        "Error loading driver library",
        "Incompatible driver version",
        "Input parameters error",
        "Shift is already open",
        "Shift is too long (24h)",
        "Error in payment parameters",
        "Not enough money",
        "Operation not allowed",
        "Shift is already closed",
    },
    {
        "Korvant21F",
        "Driver description",
        "Parameters",
        "Connection parameters",
        "Serial number",
        "IP address",
        "Marking parameters",
        "Marking timeout",
    },
    "Protocol error: the receipt may have been printed, and the register could not tell. It "
    "will be settled at the next receipt; repeating the same receipt does not print it twice",
};

constexpr LanguageTable kRussian{
    {
        "Нет ошибки",
        "Ошибка протокола обмена с ККТ",
        "Некорректный заводской номер",
        "Некорректный идентификатор устройства",
        "Не поддерживается",
        "Неизвестная ошибка",
        "Ошибка выполнения операции",
        "Ошибка загрузки библиотеки драйвера",
        "Несовместимая версия драйвера",
        "Ошибка во входных параметрах",
        "Смена уже открыта",
        "Смена превысила 24 часа",
        "Ошибка в параметрах оплаты",
        "Недостаточно денег для завершения расчета",
        "Операция не разрешена",
        "Смена уже закрыта",
    },
    {
        "Корвант21Ф",
        "Описание драйвера",
        "Параметры",
        "Параметры подключения",
        "Заводской номер",
        "IP адрес",
        "Параметры маркировки",
        "Таймаут запроса к ЧЗ",
    },
    "Ошибка протокола обмена с ККТ: чек мог быть напечатан, ККТ не подтвердила результат. Он "
    "будет уточнен при следующем чеке; повтор того же чека не напечатает его дважды",
};

// Library-wide, unlocked by design: the last SetLocale of any component wins.
std::atomic<Language> selectedLanguage{Language::English};

const LanguageTable& table() {
    return selectedLanguage.load(std::memory_order_relaxed) == Language::Russian ? kRussian
                                                                                 : kEnglish;
}

} // namespace

void TextCatalog::select(Language language) noexcept {
    selectedLanguage.store(language, std::memory_order_relaxed);
}

Language TextCatalog::selected() noexcept {
    return selectedLanguage.load(std::memory_order_relaxed);
}

std::string_view TextCatalog::message(ErrorCode code) noexcept {
    const auto index = static_cast<int32_t>(code);
    return index >= 0 && index < kErrorCodeCount ? table().messages[static_cast<size_t>(index)]
                                                 : std::string_view{};
}

std::string_view TextCatalog::outcomeUnknownMessage() noexcept {
    return table().outcomeUnknown;
}

std::string_view TextCatalog::text(InterfaceText item) noexcept {
    return table().interfaceTexts[static_cast<size_t>(item)];
}

void applyHostLocale(std::string_view locale) {
    setProcessLocale(locale);
    TextCatalog::select(locale.substr(0, 2) == "ru" ? Language::Russian : Language::English);
}

} // namespace korvant
