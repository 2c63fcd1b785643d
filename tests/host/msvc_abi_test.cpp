// The Windows add-in called by code that clang compiled in MSVC's C++ ABI (msvc_probe.cpp):
// the same tables, slots, calling conventions and value layout an MSVC-built 1C:Enterprise
// uses, laid out by a compiler rather than by hand. Only the exports are reached through the
// host library.

#include "host/abi/abi.h"
#include "host/addin/addin.h"
#include "host/setup/program_data_root.h"

#include <gtest/gtest.h>

#include <string>

using namespace korvant::host;

extern "C" {
void* msvc_probe_memory_create();
long msvc_probe_memory_live(void* memory);
long msvc_probe_memory_allocations(void* memory);
void msvc_probe_memory_free(void* memory, void* block);
void msvc_probe_memory_destroy(void* memory);
bool msvc_probe_set_memory(void* object, void* memory);
bool msvc_probe_init(void* object, void* connection);
long msvc_probe_info(void* object);
void msvc_probe_done(void* object);
wchar_t* msvc_probe_extension_name(void* object);
long msvc_probe_props(void* object);
long msvc_probe_find_prop(void* object, const wchar_t* name);
long msvc_probe_methods(void* object);
long msvc_probe_find_method(void* object, const wchar_t* name);
const wchar_t* msvc_probe_method_name(void* object, long number, long alias);
long msvc_probe_params(void* object, long number);
bool msvc_probe_has_ret_val(void* object, long number);
bool msvc_probe_call_as_proc(void* object, long number);
long msvc_probe_call_i4(void* object, long number);
long msvc_probe_call_i4_text(void* object, long number, wchar_t** text, unsigned* length);
void msvc_probe_set_locale(void* object, const wchar_t* locale);
void msvc_probe_delete(void* object, int which);
long msvc_probe_interface_offset(void* object, int which);
}

namespace {

class MsvcHost : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        addin = AddIn::load(KORVANT_ADDIN_PATH, error);
        ASSERT_TRUE(addin) << error;
        object = create();
        ASSERT_NE(object, nullptr);
        memory = msvc_probe_memory_create();
        ASSERT_TRUE(msvc_probe_set_memory(object, memory));
    }

    void TearDown() override {
        if (object != nullptr) {
            EXPECT_EQ(addin->destroyObject(&object), 0);
        }
        if (memory != nullptr) {
            EXPECT_EQ(msvc_probe_memory_live(memory), 0) << "every text handed back was freed";
            msvc_probe_memory_destroy(memory);
        }
    }

    void* create() const {
        void* created = nullptr;
        addin->getClassObject(addin->className().c_str(), &created);
        return created;
    }

    // A text the add-in handed back in a block of the memory manager, read and freed.
    std::wstring take(const wchar_t* text) {
        if (text == nullptr) {
            return L"(null)";
        }
        std::wstring copy(text);
        msvc_probe_memory_free(memory, const_cast<wchar_t*>(text));
        return copy;
    }

    std::wstring lastErrorText() {
        wchar_t* text = nullptr;
        unsigned length = 0;
        EXPECT_EQ(msvc_probe_call_i4_text(object, 2, &text, &length), 0);
        const std::wstring answer = take(text);
        EXPECT_EQ(length, answer.size());
        return answer;
    }

    ProgramDataRoot root; // an empty root: no library configured
    std::unique_ptr<AddIn> addin;
    void* object = nullptr;
    void* memory = nullptr;
};

TEST_F(MsvcHost, InterfaceTablesSitWhereMsvcCastsFindThem) {
    EXPECT_EQ(msvc_probe_interface_offset(object, 0), 0);
    EXPECT_EQ(msvc_probe_interface_offset(object, 1), long(sizeof(void*)));
    EXPECT_EQ(msvc_probe_interface_offset(object, 2), long(2 * sizeof(void*)));
}

TEST_F(MsvcHost, InitDoneSlots) {
    int connection = 0; // stored, never called
    EXPECT_TRUE(msvc_probe_init(object, &connection));
    EXPECT_FALSE(msvc_probe_init(object, nullptr));
    EXPECT_EQ(msvc_probe_info(object), 2000);
    msvc_probe_done(object);
}

TEST_F(MsvcHost, LanguageExtenderSlots) {
    EXPECT_EQ(take(msvc_probe_extension_name(object)), L"Korvant");
    EXPECT_EQ(msvc_probe_props(object), 0);
    EXPECT_EQ(msvc_probe_find_prop(object, L"Anything"), -1);
    EXPECT_EQ(msvc_probe_methods(object), 29);
    EXPECT_EQ(msvc_probe_find_method(object, L"GetLastError"), 2);
    EXPECT_EQ(msvc_probe_find_method(object, L"Подключить"), 5);
    EXPECT_EQ(take(msvc_probe_method_name(object, 5, 0)), L"Open");
    EXPECT_EQ(take(msvc_probe_method_name(object, 5, 1)), L"Подключить");
    EXPECT_EQ(msvc_probe_params(object, 4), 2);
    EXPECT_TRUE(msvc_probe_has_ret_val(object, 0));
    // A statement call runs the method as CallAsFunc would, and fails where it would.
    EXPECT_TRUE(msvc_probe_call_as_proc(object, 0));
    EXPECT_FALSE(msvc_probe_call_as_proc(object, 29));
    EXPECT_GT(msvc_probe_call_i4(object, 0), 0) << "GetInterfaceRevision answers an I4";
    EXPECT_GT(msvc_probe_memory_allocations(memory), 0) << "texts came from the host's allocator";
}

TEST_F(MsvcHost, LocaleSlotAndValueLayout) {
    EXPECT_EQ(lastErrorText(), L"No error");
    msvc_probe_set_locale(object, L"ru_RU");
    EXPECT_EQ(lastErrorText(), L"Нет ошибки");
    msvc_probe_set_locale(object, L"en_US");
    EXPECT_EQ(lastErrorText(), L"No error");
}

TEST_F(MsvcHost, DeleteThroughEveryInterface) {
    for (int which = 0; which < 3; ++which) {
        void* other = create();
        ASSERT_NE(other, nullptr);
        ASSERT_TRUE(msvc_probe_set_memory(other, memory));
        msvc_probe_delete(other, which);
    }
}

TEST_F(MsvcHost, DeletingDestructorWithoutTheFreeBitReturnsThis) {
    void* other = create();
    ASSERT_NE(other, nullptr);
    // Flags 0: destroy only (the memory stays allocated; left to the end of the test program).
    const auto& slots = slotsOf<InitDoneSlots>(other);
    EXPECT_EQ(slots.destructor.deleting(other, 0), other);
}

} // namespace
