#include "host/addin/addin.h"

#include "host/system/system.h"
#include "host/values/value_variant.h"
#include "nativeapi/utf.h"

#include <charconv>
#include <stdexcept>
#include <utility>

namespace korvant::host {

struct AddInExports {
    std::shared_ptr<SharedLibrary> library;
    GetClassNamesFunction getClassNames = nullptr;
    GetClassObjectFunction getClassObject = nullptr;
    DestroyObjectFunction destroyObject = nullptr;
};

namespace {

// Frees, when the call is over, every text block the call involved: the host's own argument
// blocks and whatever the add-in left in the values. Blocks the add-in freed itself, and
// pointers that are no blocks, are left alone.
class CallBlocks {
public:
    explicit CallBlocks(MemoryManager& memory) : memory_(memory) {}
    ~CallBlocks() {
        for (const void* block : blocks_) {
            memory_.release(block);
        }
    }
    CallBlocks(const CallBlocks&) = delete;
    CallBlocks& operator=(const CallBlocks&) = delete;

    std::vector<const void*>& blocks() { return blocks_; }
    void add(const void* block) {
        if (block != nullptr) {
            blocks_.push_back(block);
        }
    }

private:
    MemoryManager& memory_;
    std::vector<const void*> blocks_;
};

std::optional<long> decimalNumber(std::string_view text) {
    long number = 0;
    const auto* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return number;
}

} // namespace

bool CallResult::succeeded() const {
    return called && result && result->type == VType::Bool && result->flag;
}

std::string CallResult::text(std::size_t index) const {
    return index < args.size() ? args[index].utf8() : std::string();
}

// --- Component ---

Component::Component(std::shared_ptr<const AddInExports> exports, void* object)
    : exports_(std::move(exports)), object_(object) {}

Component::~Component() {
    if (object_ != nullptr) {
        exports_->destroyObject(&object_);
    }
}

void* Component::interfacePointer(Interface which) const {
    return static_cast<void**>(object_) + static_cast<int>(which);
}

namespace {

template <class Slots> constexpr Interface interfaceOf();
template <> constexpr Interface interfaceOf<InitDoneSlots>() {
    return Interface::InitDone;
}
template <> constexpr Interface interfaceOf<LanguageExtenderSlots>() {
    return Interface::LanguageExtender;
}
template <> constexpr Interface interfaceOf<LocaleSlots>() {
    return Interface::Locale;
}

} // namespace

template <class Slots, class Function, class... Args>
auto Component::callSlot(Function Slots::*slot, Args... args) {
    if (object_ == nullptr) {
        throw std::logic_error("the component has been ended already");
    }
    void* self = interfacePointer(interfaceOf<Slots>());
    return (slotsOf<Slots>(self).*slot)(self, args...);
}

bool Component::attach() {
    const bool memoryTaken = setMemManager();
    const bool initialised = init();
    return memoryTaken && initialised;
}

bool Component::init() {
    return init(connection_.interfacePointer());
}

bool Component::init(void* connection) {
    return callSlot(&InitDoneSlots::Init, connection);
}

bool Component::setMemManager() {
    return setMemManager(memory_.interfacePointer());
}

bool Component::setMemManager(void* memory) {
    return callSlot(&InitDoneSlots::setMemManager, memory);
}

long Component::getInfo() {
    return callSlot(&InitDoneSlots::GetInfo);
}

void Component::done() {
    callSlot(&InitDoneSlots::Done);
}

std::optional<std::u16string> Component::takeName(const HostChar* name, std::string_view what) {
    if (name == nullptr) {
        return std::nullopt;
    }
    auto text = memory_.readText(name, std::nullopt, what);
    memory_.release(name);
    return text;
}

std::optional<Value> Component::takeValue(bool answered, const Variant& value) {
    CallBlocks blocks(memory_);
    blocks.add(textBlock(value));
    if (!answered) {
        return std::nullopt;
    }
    return readVariant(value, &memory_);
}

bool Component::registerExtensionAs(std::optional<std::u16string>& name) {
    HostChar* handed = nullptr;
    const bool answer = callSlot(&LanguageExtenderSlots::RegisterExtensionAs, &handed);
    name = takeName(handed, "RegisterExtensionAs");
    return answer;
}

long Component::nProps() {
    return callSlot(&LanguageExtenderSlots::GetNProps);
}

long Component::findProp(std::u16string_view name) {
    const std::u16string terminated(name);
    return callSlot(&LanguageExtenderSlots::FindProp, terminated.c_str());
}

long Component::findProp(std::string_view utf8Name) {
    return findProp(utf8ToUtf16(utf8Name));
}

std::optional<std::u16string> Component::propName(long number, long alias) {
    return takeName(callSlot(&LanguageExtenderSlots::GetPropName, number, alias), "GetPropName");
}

std::optional<Value> Component::propVal(long number) {
    Variant value = emptyVariant();
    const bool answered = callSlot(&LanguageExtenderSlots::GetPropVal, number, &value);
    return takeValue(answered, value);
}

bool Component::setPropVal(long number, const Value& value) {
    CallBlocks blocks(memory_);
    Variant variant;
    writeVariant(value, variant, memory_, blocks.blocks());
    const bool answer = callSlot(&LanguageExtenderSlots::SetPropVal, number, &variant);
    blocks.add(textBlock(variant));
    return answer;
}

bool Component::isPropReadable(long number) {
    return callSlot(&LanguageExtenderSlots::IsPropReadable, number);
}

bool Component::isPropWritable(long number) {
    return callSlot(&LanguageExtenderSlots::IsPropWritable, number);
}

long Component::nMethods() {
    return callSlot(&LanguageExtenderSlots::GetNMethods);
}

long Component::findMethod(std::u16string_view name) {
    const std::u16string terminated(name);
    return callSlot(&LanguageExtenderSlots::FindMethod, terminated.c_str());
}

long Component::findMethod(std::string_view utf8Name) {
    return findMethod(utf8ToUtf16(utf8Name));
}

std::optional<std::u16string> Component::methodName(long number, long alias) {
    return takeName(callSlot(&LanguageExtenderSlots::GetMethodName, number, alias),
                    "GetMethodName");
}

long Component::nParams(long number) {
    return callSlot(&LanguageExtenderSlots::GetNParams, number);
}

std::optional<Value> Component::paramDefValue(long method, long param) {
    Variant value = emptyVariant();
    const bool answered = callSlot(&LanguageExtenderSlots::GetParamDefValue, method, param, &value);
    return takeValue(answered, value);
}

bool Component::hasRetVal(long number) {
    return callSlot(&LanguageExtenderSlots::HasRetVal, number);
}

CallResult Component::callAsProc(long number, std::vector<Value> args) {
    return invoke(number, std::move(args), false);
}

CallResult Component::callAsFunc(long number, std::vector<Value> args) {
    return invoke(number, std::move(args), true);
}

CallResult Component::call(std::string_view methodNameOrNumber, std::vector<Value> args) {
    return callAsFunc(methodNumber(methodNameOrNumber), std::move(args));
}

CallResult Component::statement(std::string_view methodNameOrNumber, std::vector<Value> args) {
    return callAsProc(methodNumber(methodNameOrNumber), std::move(args));
}

long Component::methodNumber(std::string_view methodNameOrNumber) {
    auto number = decimalNumber(methodNameOrNumber);
    if (!number) {
        number = findMethod(methodNameOrNumber);
        if (*number < 0) {
            throw std::invalid_argument("the component has no method \"" +
                                        std::string(methodNameOrNumber) + "\"");
        }
    }
    return *number;
}

CallResult Component::invoke(long number, std::vector<Value> args, bool function) {
    CallBlocks blocks(memory_);
    std::vector<Variant> params(args.size());
    for (std::size_t i = 0; i < args.size(); ++i) {
        writeVariant(args[i], params[i], memory_, blocks.blocks());
    }
    Variant* array = params.empty() ? nullptr : params.data();
    const auto count = static_cast<long>(params.size());

    CallResult outcome;
    outcome.number = number;
    Variant result = emptyVariant();
    outcome.called = function ? rawCallAsFunc(number, &result, array, count)
                              : rawCallAsProc(number, array, count);
    if (function) {
        blocks.add(textBlock(result));
        if (outcome.called) {
            outcome.result = readVariant(result, &memory_);
        }
    }
    for (const auto& param : params) {
        blocks.add(textBlock(param));
        outcome.args.push_back(readVariant(param, &memory_));
    }
    return outcome;
}

bool Component::rawCallAsFunc(long number, Variant* result, Variant* params, long count) {
    return callSlot(&LanguageExtenderSlots::CallAsFunc, number, result, params, count);
}

bool Component::rawCallAsProc(long number, Variant* params, long count) {
    return callSlot(&LanguageExtenderSlots::CallAsProc, number, params, count);
}

void Component::setLocale(std::u16string_view locale) {
    const std::u16string terminated(locale);
    setLocaleRaw(terminated.c_str());
}

void Component::setLocale(std::string_view utf8Locale) {
    setLocale(utf8ToUtf16(utf8Locale));
}

void Component::setLocaleRaw(const HostChar* locale) {
    callSlot(&LocaleSlots::SetLocale, locale);
}

void Component::deleteThroughInterface(Interface which) {
    if (object_ == nullptr) {
        throw std::logic_error("the component has been ended already");
    }
    // Every table starts with the destructor slots.
    void* self = interfacePointer(which);
    const auto& destructor = slotsOf<DestructorSlots>(self);
#ifdef _WIN32
    destructor.deleting(self, 1);
#else
    destructor.deleting(self);
#endif
    object_ = nullptr;
}

long Component::destroy() {
    const long answer = exports_->destroyObject(&object_);
    object_ = nullptr;
    return answer;
}

// --- AddIn ---

std::unique_ptr<AddIn> AddIn::load(const std::filesystem::path& path, std::string& error) {
    auto exports = std::make_shared<AddInExports>();
    exports->library = SharedLibrary::open(path, error);
    if (!exports->library) {
        return nullptr;
    }
    exports->getClassNames = exports->library->function<GetClassNamesFunction>("GetClassNames");
    exports->getClassObject = exports->library->function<GetClassObjectFunction>("GetClassObject");
    exports->destroyObject = exports->library->function<DestroyObjectFunction>("DestroyObject");
    for (const auto& [name, found] :
         {std::pair{"GetClassNames", exports->getClassNames != nullptr},
          std::pair{"GetClassObject", exports->getClassObject != nullptr},
          std::pair{"DestroyObject", exports->destroyObject != nullptr}}) {
        if (!found) {
            error = pathText(path) + " does not export " + name;
            return nullptr;
        }
    }
    return std::unique_ptr<AddIn>(new AddIn(std::move(exports)));
}

const std::filesystem::path& AddIn::path() const {
    return exports_->library->path();
}

const HostChar* AddIn::classNames() const {
    return exports_->getClassNames();
}

std::u16string AddIn::className() const {
    const HostChar* names = classNames();
    if (names == nullptr) {
        return {};
    }
    const std::u16string_view list(names);
    return std::u16string(list.substr(0, list.find(u'|')));
}

long AddIn::getClassObject(const HostChar* className, void** component) const {
    return exports_->getClassObject(className, component);
}

long AddIn::destroyObject(void** component) const {
    return exports_->destroyObject(component);
}

std::unique_ptr<Component> AddIn::create(std::string& error, std::u16string_view className) const {
    const std::u16string name = className.empty() ? this->className() : std::u16string(className);
    void* object = nullptr;
    const long answer = getClassObject(name.c_str(), &object);
    if (object == nullptr) {
        error = "GetClassObject(\"" + utf16ToUtf8(name) + "\") answered " + std::to_string(answer) +
                " and created no object";
        return nullptr;
    }
    return std::unique_ptr<Component>(new Component(exports_, object));
}

} // namespace korvant::host
