#pragma once
// The process's C locale as a test found it, given back when the test ends: a test that switches
// it, itself or through the add-in's SetLocale, leaves the later tests of its program the locale
// they would have had in a process of their own (which need not be "C": the host may have set
// another before).

#include <clocale>
#include <string>

namespace korvant::testing {

class KeptProcessLocale {
public:
    KeptProcessLocale() : saved_(std::setlocale(LC_ALL, nullptr)) {}
    ~KeptProcessLocale() { std::setlocale(LC_ALL, saved_.c_str()); }
    KeptProcessLocale(const KeptProcessLocale&) = delete;
    KeptProcessLocale& operator=(const KeptProcessLocale&) = delete;

private:
    std::string saved_;
};

} // namespace korvant::testing
