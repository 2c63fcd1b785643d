#include "device/korvant_intf.h"

#include <gtest/gtest.h>

#include "platform/path_text.h"

using korvant::KorvantIntf;
using korvant::pathFromUtf8;

namespace {

const korvant::PathText kComplete = pathFromUtf8(STUB_COMPLETE_PATH);
const korvant::PathText kPartial = pathFromUtf8(STUB_PARTIAL_PATH);

TEST(Loader, MissingFileLeavesNotLoaded) {
    KorvantIntf intf;
    intf.load(pathFromUtf8("/nonexistent/libkorvant3.so"));
    EXPECT_FALSE(intf.loaded());
    intf.load(korvant::PathText());
    EXPECT_FALSE(intf.loaded());
    EXPECT_EQ(intf.version(), "");
}

TEST(Loader, OneMissingFunctionLeavesNotLoaded) {
    KorvantIntf intf;
    intf.load(kPartial);
    EXPECT_FALSE(intf.loaded());
    EXPECT_EQ(intf.functions().fremu_print_doc, nullptr);
    // The binding of the next load starts afresh.
    intf.load(kComplete);
    EXPECT_TRUE(intf.loaded());
    EXPECT_NE(intf.functions().fremu_print_doc, nullptr);
}

TEST(Loader, CompleteLibraryBindsEveryFunctionToItsName) {
    KorvantIntf intf;
    intf.load(kComplete);
    ASSERT_TRUE(intf.loaded());
    EXPECT_EQ(intf.version(), "3.1.7");

    const auto& f = intf.functions();
    int32_t a = 0, b = 0, c = 0, d = 0;
    uint32_t task = 0;
    const char* answer = nullptr;
    EXPECT_EQ(f.version(&a, &b, &c, &d), 100);
    EXPECT_EQ(f.get_info(0, 0, &answer), 101);
    EXPECT_EQ(f.get_state(0, 0, &answer), 102);
    EXPECT_EQ(f.get_fdstate(0, 0, &answer), 103);
    EXPECT_EQ(f.get_fdtag(0, 0, "", &answer), 104);
    EXPECT_EQ(f.open("", 0, &answer), 105);
    EXPECT_EQ(f.close(0), 106);
    EXPECT_EQ(f.fremu_query(0, 0, 0, &answer), 107);
    EXPECT_EQ(f.fremu_enter(0, 0, &answer), 108);
    EXPECT_EQ(f.fremu_exit(0, 0, &answer), 109);
    EXPECT_EQ(f.fremu_get_money(0, 0, &answer), 110);
    EXPECT_EQ(f.fremu_open_shift(0, 0, &task, "", &answer), 111);
    EXPECT_EQ(f.fremu_close_shift(0, 0, &task, "", &answer), 112);
    EXPECT_EQ(f.fremu_open_doc(0, 0, &task, "", &answer), 113);
    EXPECT_EQ(f.fremu_close_doc(0, 0, &task, "", &answer), 114);
    EXPECT_EQ(f.fremu_cancel_doc(0, 0, &task, &answer), 115);
    EXPECT_EQ(f.fremu_print(0, 0, &task, "", &answer), 116);
    EXPECT_EQ(f.fremu_add_item(0, 0, &task, "", &answer), 117);
    EXPECT_EQ(f.fremu_add_text(0, 0, &task, "", &answer), 118);
    EXPECT_EQ(f.fremu_report_x(0, 0, &task, &answer), 119);
    EXPECT_EQ(f.fremu_report_state(0, 0, &task, &answer), 120);
    EXPECT_EQ(f.fremu_registration(0, 0, &task, "", &answer), 121);
    EXPECT_EQ(f.fremu_set_agent(0, 0, &task, "", &answer), 122);
    EXPECT_EQ(f.fremu_close_archive(0, 0, &task, "", &answer), 123);
    EXPECT_EQ(f.fremu_print_doc(0, 0, &task, "", &answer), 124);
}

TEST(Loader, LoadedLibraryIsNotLoadedAgain) {
    KorvantIntf intf;
    intf.load(kComplete);
    ASSERT_TRUE(intf.loaded());
    const auto open = intf.functions().open;
    intf.load(kPartial);
    EXPECT_TRUE(intf.loaded());
    EXPECT_EQ(intf.functions().open, open);
}

} // namespace
