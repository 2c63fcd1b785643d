#include "config/ini_document.h"

#include "platform/ini_file.h"

namespace korvant {

namespace {
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
}

struct IniDocument::Impl {
    IniFile file;
    // SimpleIni writes the byte order mark only when told to, so the document
    // remembers whether the loaded file started with one.
    bool hadByteOrderMark = false;

    Impl() : file(kIniStoreIsUtf8, /*multiKey*/ false, /*multiLine*/ false) {
        file.SetSpaces(true);
    }
};

IniDocument::IniDocument() : impl_(std::make_unique<Impl>()) {}
IniDocument::~IniDocument() = default;
IniDocument::IniDocument(IniDocument&&) noexcept = default;
IniDocument& IniDocument::operator=(IniDocument&&) noexcept = default;

bool IniDocument::load(std::string_view fileBytes) {
    // A fresh object, because SimpleIni fixes the text encoding at the first load.
    impl_ = std::make_unique<Impl>();
    impl_->hadByteOrderMark = fileBytes.starts_with(kUtf8ByteOrderMark);
    if (impl_->file.LoadData(fileBytes.data(), fileBytes.size()) < 0) {
        impl_ = std::make_unique<Impl>();
        return false;
    }
    return true;
}

std::optional<std::string> IniDocument::value(std::string_view section,
                                              std::string_view key) const {
    const IniChar* text =
        impl_->file.GetValue(iniTextFromUtf8(section).c_str(), iniTextFromUtf8(key).c_str());
    if (text == nullptr) {
        return std::nullopt;
    }
    return iniTextToUtf8(text);
}

void IniDocument::setValue(std::string_view section, std::string_view key, std::string_view value) {
    impl_->file.SetValue(iniTextFromUtf8(section).c_str(), iniTextFromUtf8(key).c_str(),
                         iniTextFromUtf8(value).c_str(), nullptr, /*forceReplace*/ true);
}

std::string IniDocument::save() const {
    std::string bytes;
    impl_->file.Save(bytes, impl_->hadByteOrderMark);
    return bytes;
}

bool iniBoolean(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    switch (text[0]) {
    case '1':
    case 't':
    case 'T':
    case 'y':
    case 'Y':
        return true;
    case 'o':
    case 'O':
        return text.size() >= 2 && (text[1] == 'n' || text[1] == 'N');
    default:
        return false;
    }
}

} // namespace korvant
