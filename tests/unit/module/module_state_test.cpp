#include <gtest/gtest.h>

#include <string>

#include "debug_capture.h"
#include "module/entry.h"
#include "module/module_state.h"
#include "module/report.h"
#include "zorvi/exports.h"

namespace {

using module::State;

// Restores the host-settable state that a test changes.
class ModuleStateTest : public ::testing::Test {
protected:
    void SetUp() override { savedSafe_ = State().dllSafe; }
    void TearDown() override {
        ZorviSetDllSafe(savedSafe_);
        SetDLLRegistry(nullptr);
    }
    int32_t savedSafe_ = 1;
};

TEST_F(ModuleStateTest, SetDLLRegistryStoresWholePathsAndRefusesLongOnes) {
    struct Case {
        size_t length;
        bool stored;
    } cases[] = {{0, true}, {1, true}, {259, true}, {260, false}, {1000, false}};
    for (const Case& c : cases) {
        SetDLLRegistry("previous.ini");
        std::string path(c.length, 'p');
        EXPECT_EQ(SetDLLRegistry(path.c_str()), 0) << c.length;
        EXPECT_EQ(std::string(State().registryPath), c.stored ? path : std::string()) << c.length;
    }
}

TEST_F(ModuleStateTest, SetDLLRegistryWithNullEmptiesThePath) {
    SetDLLRegistry("C:\\Conf\\site.ini");
    EXPECT_EQ(SetDLLRegistry(nullptr), 0);
    EXPECT_STREQ(State().registryPath, "");
}

TEST_F(ModuleStateTest, DllSafeKeepsWhatTheHostStores) {
    EXPECT_EQ(ZorviSetDllSafe(0), 0);
    EXPECT_EQ(State().dllSafe, 0);
    module::EnsureModuleLock();  // the lock exists: no reset of the flag
    EXPECT_EQ(State().dllSafe, 0);
    EXPECT_EQ(ZorviSetDllSafe(7), 7);
    EXPECT_EQ(State().dllSafe, 7);
}

TEST_F(ModuleStateTest, SetFactoryHandleStoresAnyValue) {
    void* handle = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(SetFactoryHandle(handle), handle);
    EXPECT_EQ(State().factoryModule, handle);
    EXPECT_EQ(SetFactoryHandle(nullptr), nullptr);
    EXPECT_EQ(State().factoryModule, nullptr);
}

TEST_F(ModuleStateTest, EntryNotificationsAfterStartUp) {
    module::AcquireModuleLock();  // as static start-up does
    module::ReleaseModuleLock();
    ZorviSetDllSafe(0);
    zorvi::ModuleHandle before = State().moduleHandle;

    using module::Notification;
    EXPECT_EQ(module::ModuleEntryPoint(reinterpret_cast<void*>(0x77), Notification::ThreadAttach), 1);
    EXPECT_EQ(module::ModuleEntryPoint(reinterpret_cast<void*>(0x77), Notification::ThreadDetach), 1);
    EXPECT_EQ(State().moduleHandle, before);
    EXPECT_EQ(State().dllSafe, 0);

    void* instance = reinterpret_cast<void*>(0x10000);
    EXPECT_EQ(module::ModuleEntryPoint(instance, Notification::ProcessAttach), 1);
    EXPECT_EQ(State().moduleHandle, instance);
    EXPECT_EQ(State().lockReady, 1);
    EXPECT_EQ(State().dllSafe, 0) << "attach must not recreate the lock or reset the flag";
    module::ModuleEntryPoint(before, Notification::ProcessAttach);
}

TEST(ReportModuleErrorTest, CutsAt1023CharactersAndAddsNothing) {
    testsupport::DebugCapture capture;
    std::string longText(1500, 'x');
    module::ReportModuleError("%s", longText.c_str());
    module::ReportModuleError("no line feed");
    auto messages = capture.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], std::string(1023, 'x'));
    EXPECT_EQ(messages[1], "no line feed");
}

}  // namespace
