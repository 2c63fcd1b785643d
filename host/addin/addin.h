#pragma once
// The add-in as 1C:Enterprise sees it: a shared library with three exports, and component
// objects reached only through their interface tables.
//
//   std::string error;
//   auto addin = AddIn::load(path, error);
//   auto component = addin->create(error);
//   component->attach();                          // setMemManager, then Init
//   auto answer = component->call("GetLastError", {Value::empty()});
//   answer.result->integer;  answer.text(0);

#include "host/abi/abi.h"
#include "host/abi/memory_manager.h"
#include "host/addin/connection.h"
#include "host/values/value.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvant::host {

struct AddInExports;

// What a CallAsFunc or CallAsProc gave back. Texts have been read and their blocks freed, as
// 1C does.
struct CallResult {
    long number = -1;            // the method number called
    bool called = false;         // CallAsFunc's / CallAsProc's own answer
    std::optional<Value> result; // the result value; none when `called` is false or for a procedure
    std::vector<Value> args;     // every argument as the method left it

    // The method ran and answered BOOL true.
    bool succeeded() const;
    // Argument `index` as UTF-8 text; empty when there is no such text argument.
    std::string text(std::size_t index) const;
};

class Component {
public:
    ~Component(); // DestroyObject, unless the object has been ended already
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    // The object as GetClassObject gave it (the IInitDoneBase pointer), null once ended.
    void* object() const { return object_; }
    // The object's interface pointer: the object plus 0, 1 or 2 pointers.
    void* interfacePointer(Interface which) const;

    // The host's objects handed to this component.
    MemoryManager& memory() { return memory_; }
    Connection& connection() { return connection_; }

    // Attaches the component as 1C does: setMemManager with the host's memory manager, then
    // Init with the host's connection. True when both answer true.
    bool attach();

    // IInitDoneBase.
    bool init();                      // with the host's connection
    bool init(void* connection);      // with any pointer, null included
    bool setMemManager();             // with the host's memory manager
    bool setMemManager(void* memory); // with any pointer, null included
    long getInfo();
    void done();

    // ILanguageExtenderBase. Names handed back are read, then freed through the memory manager.
    // `name` receives the text when the component handed one back.
    bool registerExtensionAs(std::optional<std::u16string>& name);
    long nProps();
    long findProp(std::u16string_view name);
    long findProp(std::string_view utf8Name);
    std::optional<std::u16string> propName(long number, long alias);
    std::optional<Value> propVal(long number); // none when GetPropVal answers false
    bool setPropVal(long number, const Value& value);
    bool isPropReadable(long number);
    bool isPropWritable(long number);
    long nMethods();
    long findMethod(std::u16string_view name);
    long findMethod(std::string_view utf8Name);
    std::optional<std::u16string> methodName(long number, long alias);
    long nParams(long number);
    std::optional<Value> paramDefValue(long method, long param); // none when answered false
    bool hasRetVal(long number);
    // Texts among `args` are passed as 1C passes them: in blocks of the memory manager.
    // An empty list passes a null array.
    CallResult callAsProc(long number, std::vector<Value> args = {});
    CallResult callAsFunc(long number, std::vector<Value> args = {});
    // CallAsFunc of a method named in English or Russian, or numbered in decimal; throws
    // std::invalid_argument for a name that FindMethod does not know.
    CallResult call(std::string_view methodNameOrNumber, std::vector<Value> args = {});
    // The same with CallAsProc: the method called as a statement, as 1C code does when it does
    // not use the value. 1C raises an exception when CallAsProc answers false.
    CallResult statement(std::string_view methodNameOrNumber, std::vector<Value> args = {});
    // The calls exactly as given, for the cases the comfortable forms cannot express.
    bool rawCallAsFunc(long number, Variant* result, Variant* params, long count);
    bool rawCallAsProc(long number, Variant* params, long count);

    // LocaleBase.
    void setLocale(std::u16string_view locale);
    void setLocale(std::string_view utf8Locale);
    void setLocaleRaw(const HostChar* locale);

    // Ends the component as a host does that deletes it through one of its interfaces instead
    // of calling DestroyObject.
    void deleteThroughInterface(Interface which);
    // DestroyObject now, answering what it answered.
    long destroy();

private:
    friend class AddIn;
    Component(std::shared_ptr<const AddInExports> exports, void* object);

    // Calls a slot of the interface the table type names, with the interface pointer first.
    template <class Slots, class Function, class... Args>
    auto callSlot(Function Slots::*slot, Args... args);
    // Read and free what a Get... slot handed back.
    std::optional<std::u16string> takeName(const HostChar* name, std::string_view what);
    std::optional<Value> takeValue(bool answered, const Variant& value);
    CallResult invoke(long number, std::vector<Value> args, bool function);
    long methodNumber(std::string_view methodNameOrNumber);

    std::shared_ptr<const AddInExports> exports_;
    MemoryManager memory_;
    Connection connection_;
    void* object_;
};

class AddIn {
public:
    // Loads the library and resolves its three exports; null with the reason in `error`.
    static std::unique_ptr<AddIn> load(const std::filesystem::path& path, std::string& error);

    const std::filesystem::path& path() const;

    // GetClassNames as it answers: the library's own buffer.
    const HostChar* classNames() const;
    // The first name of GetClassNames's list ('|' separates names).
    std::u16string className() const;

    // The exports exactly as given.
    long getClassObject(const HostChar* className, void** component) const;
    long destroyObject(void** component) const;

    // A component of the class (by default the first name of GetClassNames); null with the
    // reason in `error` when GetClassObject creates nothing. The component keeps the library
    // loaded for as long as it lives.
    std::unique_ptr<Component> create(std::string& error, std::u16string_view className = {}) const;

private:
    explicit AddIn(std::shared_ptr<const AddInExports> exports) : exports_(std::move(exports)) {}

    std::shared_ptr<const AddInExports> exports_;
};

} // namespace korvant::host
