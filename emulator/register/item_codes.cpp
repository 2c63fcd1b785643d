#include "register/item_codes.h"

#include <algorithm>
#include <array>
#include <utility>

namespace korvant3emu {
namespace {

template <size_t N>
const char* titleIn(const std::array<std::pair<int64_t, const char*>, N>& titles, int64_t code) {
    if (code == 0) {
        return "";
    }
    const auto found = std::find_if(titles.begin(), titles.end(),
                                    [code](const auto& row) { return row.first == code; });
    return found == titles.end() ? nullptr : found->second;
}

} // namespace

const char* paymentMethodTitle(int64_t method) {
    static const std::array<std::pair<int64_t, const char*>, 7> titles{{
        {1, "ПРЕДОПЛАТА 100%"},
        {2, "ПРЕДОПЛАТА"},
        {3, "АВАНС"},
        {4, "ПОЛНЫЙ РАСЧЕТ"},
        {5, "ЧАСТИЧНЫЙ РАСЧЕТ И КРЕДИТ"},
        {6, "ПЕРЕДАЧА В КРЕДИТ"},
        {7, "ОПЛАТА КРЕДИТА"},
    }};
    return titleIn(titles, method);
}

const char* calculationSubjectTitle(int64_t subject) {
    static const std::array<std::pair<int64_t, const char*>, 31> titles{{
        {1, "ТОВАР"},
        {2, "ПОДАКЦИЗНЫЙ ТОВАР"},
        {3, "РАБОТА"},
        {4, "УСЛУГА"},
        {5, "СТАВКА АЗАРТНОЙ ИГРЫ"},
        {6, "ВЫИГРЫШ АЗАРТНОЙ ИГРЫ"},
        {7, "ЛОТЕРЕЙНЫЙ БИЛЕТ"},
        {8, "ВЫИГРЫШ ЛОТЕРЕИ"},
        {9, "РИД"},
        {10, "ПЛАТЕЖ"},
        {11, "АГЕНТСКОЕ ВОЗНАГРАЖДЕНИЕ"},
        {12, "СОСТАВНОЙ ПРЕДМЕТ РАСЧЕТА"},
        {13, "ИНОЙ ПРЕДМЕТ РАСЧЕТА"},
        {14, "ИМУЩЕСТВЕННОЕ ПРАВО"},
        {15, "ВНЕРЕАЛИЗАЦИОННЫЙ ДОХОД"},
        {16, "СТРАХОВЫЕ ВЗНОСЫ"},
        {17, "ТОРГОВЫЙ СБОР"},
        {18, "КУРОРТНЫЙ СБОР"},
        {19, "ЗАЛОГ"},
        {20, "РАСХОД"},
        {21, "ВЗНОСЫ НА ОПС ИП"},
        {22, "ВЗНОСЫ НА ОПС"},
        {23, "ВЗНОСЫ НА ОМС ИП"},
        {24, "ВЗНОСЫ НА ОМС"},
        {25, "ВЗНОСЫ НА ОСС"},
        {26, "ПЛАТЕЖ КАЗИНО"},
        {27, "ВЫДАЧА ДЕНЕЖНЫХ СРЕДСТВ"},
        {30, "АТНМ"},
        {31, "АТМ"},
        {32, "ТНМ"},
        {33, "ТМ"},
    }};
    return titleIn(titles, subject);
}

bool knownMeasure(int64_t measure) {
    static const std::array<int64_t, 24> measures{0,  10, 11, 12, 20, 21, 22, 30, 31, 32, 40, 41,
                                                  42, 50, 51, 70, 71, 72, 73, 80, 81, 82, 83, 255};
    return std::find(measures.begin(), measures.end(), measure) != measures.end();
}

} // namespace korvant3emu
