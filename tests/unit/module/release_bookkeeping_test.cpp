#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../factory_link/factory_modules.h"
#include "reference_factory.h"
#include "debug_capture.h"
#include "module/class_table.h"
#include "module/live_registry.h"
#include "module/module_state.h"
#include "module/release_bookkeeping.h"
#include "module_overrides.h"
#include "zorvi/exports.h"

namespace {

using Lines = std::vector<std::string>;

// The calls that the sweep and the releases make, in order, across all test components.
Lines g_calls;

// A component that writes down what it is asked. Its release unregisters it as the
// component base does: after a forced release, or an ordinary one when it honours those.
// It is not deleted: the pool below owns it.
class RecordingComponent : public zorvi::IComponent {
public:
    explicit RecordingComponent(const char* name) : name_(name) {}
    void Reset(int32_t freeMapFlag, bool honoursOrdinaryRelease) {
        freeMapFlag_ = freeMapFlag;
        honoursOrdinaryRelease_ = honoursOrdinaryRelease;
    }

    zorvi::ComponentId GetComponentID() override { return kComponentId; }
    int32_t GetClassConstant() override { return 0; }
    void Release(int32_t force) override {
        g_calls.push_back("release " + std::to_string(force) + " " + name_);
        if (force || honoursOrdinaryRelease_) module::UnregisterComponent(this, 1);
    }
    int32_t GetFreeMapFlag() override {
        g_calls.push_back("flag " + name_);
        return freeMapFlag_;
    }
    void SetFreeMapFlag(int32_t value) override { freeMapFlag_ = value; }

    static constexpr zorvi::ComponentId kComponentId = 9001;

private:
    std::string name_;
    int32_t freeMapFlag_ = 0;
    bool honoursOrdinaryRelease_ = false;
};

// Elements of one array: A, B and C lie at ascending addresses.
RecordingComponent g_pool[] = {RecordingComponent("A"), RecordingComponent("B"), RecordingComponent("C")};
size_t g_nextInPool = 0;
zorvi::IComponent* CreateFromPool() { return g_nextInPool < 3 ? &g_pool[g_nextInPool++] : nullptr; }

// Each test starts with an empty live registry and the reference factory handed over; what
// a test leaves registered is removed without notifying anyone.
class ReleaseBookkeepingTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { module::RegisterComponentClass(RecordingComponent::kComponentId, &CreateFromPool); }

    void SetUp() override {
        ASSERT_EQ(module::LiveComponents().Count(), 0) << "another test left components registered";
        ASSERT_NE(factory_, nullptr) << "ZorFact.dll did not load";
        reference_.ClearJournal();
        g_calls.clear();
        g_nextInPool = 0;
        for (RecordingComponent& component : g_pool) component.Reset(0, false);
        savedModuleHandle_ = module::State().moduleHandle;
        module::State().moduleHandle = &savedModuleHandle_;  // any value the module would hold
    }
    void TearDown() override {
        UnregisterPoolQuietly();
        module::State().moduleHandle = savedModuleHandle_;
    }

    static void UnregisterPoolQuietly() {
        for (RecordingComponent& component : g_pool)
            if (module::LiveComponents().Contains(&component)) module::UnregisterComponent(&component, 0);
    }

    // Creates n components through the exported CreateComponent, in ascending addresses.
    std::vector<zorvi::IComponent*> Create(size_t n) {
        std::vector<zorvi::IComponent*> created;
        for (size_t i = 0; i < n; ++i) created.push_back(CreateComponent(RecordingComponent::kComponentId, 70));
        reference_.ClearJournal();
        return created;
    }

    Lines IdleNotification() const {
        return {"CreateComponent 361 0", "GetFactoryService 361 ", "SetFreeMapFlag 1",
                "NotifyModuleIdle " + testsupport::JournalAddress(module::State().moduleHandle)};
    }
    Lines UnknownAddressMessages(const void* address) const {
        return {"Zorvi[Error]: To remove a component not exist\n",
                "Zorvi[Error]: IComponent* = 0x" + factorytest::MsvcPointerText(address) + "\n"};
    }

    testsupport::ReferenceFactory reference_;
    zorvi::IComponentFactory* factory_ = factorytest::ComponentFactoryOf(reference_.Module());
    testsupport::FactoryHandleOverride handOver_{reference_.Module()};
    testsupport::RegistryPathOverride noPath_{""};
    zorvi::ModuleHandle savedModuleHandle_ = nullptr;
};

TEST_F(ReleaseBookkeepingTest, ForcedReleaseOfTheLastComponentTellsTheFactoryTheModuleIsIdle) {
    std::vector<zorvi::IComponent*> components = Create(2);
    testsupport::DebugCapture capture;

    components[0]->Release(1);
    EXPECT_FALSE(module::LiveComponents().Contains(components[0]));
    EXPECT_TRUE(reference_.Journal().empty()) << "a component is still live";

    components[1]->Release(1);
    EXPECT_EQ(module::LiveComponents().Count(), 0);
    EXPECT_EQ(ZorviDllCanUnloadNow(), 1);
    // Neither the service nor the factory is released by the idle scope.
    EXPECT_EQ(reference_.Journal(), IdleNotification());
    EXPECT_TRUE(capture.Messages().empty()) << capture.Joined();
}

TEST_F(ReleaseBookkeepingTest, UnregisterWithoutNotifyEmptiesTheRegistrySilently) {
    zorvi::IComponent* component = Create(1)[0];
    testsupport::DebugCapture capture;
    module::UnregisterComponent(component, 0);
    EXPECT_EQ(module::LiveComponents().Count(), 0);
    EXPECT_TRUE(reference_.Journal().empty());
    EXPECT_TRUE(capture.Messages().empty()) << capture.Joined();
}

TEST_F(ReleaseBookkeepingTest, AnUnknownAddressIsReportedAndTheIdleCheckStillRuns) {
    int notRegistered = 0;
    struct Case {
        const char* label;
        size_t live;
        int32_t notify;
        bool notifies;
    } cases[] = {
        {"others live", 1, 1, false},
        {"registry empty, notify 1", 0, 1, true},
        {"registry empty, notify 0", 0, 0, false},
    };
    for (const Case& c : cases) {
        g_nextInPool = 0;
        Create(c.live);
        testsupport::DebugCapture capture;
        module::UnregisterComponent(&notRegistered, c.notify);
        EXPECT_EQ(capture.Messages(), UnknownAddressMessages(&notRegistered)) << c.label;
        EXPECT_EQ(module::LiveComponents().Count(), static_cast<int32_t>(c.live)) << c.label;
        EXPECT_EQ(reference_.Journal(), c.notifies ? IdleNotification() : Lines{}) << c.label;
        UnregisterPoolQuietly();
    }
}

TEST_F(ReleaseBookkeepingTest, FreeMapSweepAsksEachFlagAndStartsOverAfterARemoval) {
    struct Case {
        const char* label;
        size_t live;
        int32_t flagOfB;
        Lines calls;
        int32_t liveAfter;
    } cases[] = {
        {"empty registry", 0, 0, {}, 0},
        {"no flag set", 3, 0, {"flag A", "flag B", "flag C"}, 3},
        {"only B flagged and released", 3, 1,
         {"flag A", "flag B", "release 0 B", "flag A", "flag C"}, 2},
    };
    for (const Case& c : cases) {
        g_nextInPool = 0;
        Create(c.live);
        g_pool[1].Reset(c.flagOfB, true);
        g_calls.clear();
        testsupport::DebugCapture capture;
        ZorviDllFreeMap();
        EXPECT_EQ(g_calls, c.calls) << c.label;
        EXPECT_EQ(module::LiveComponents().Count(), c.liveAfter) << c.label;
        EXPECT_TRUE(capture.Messages().empty()) << c.label << ": " << capture.Joined();
        EXPECT_TRUE(reference_.Journal().empty()) << c.label;
        UnregisterPoolQuietly();
        g_pool[1].Reset(0, false);
    }
}

TEST_F(ReleaseBookkeepingTest, ASweepThatEmptiesTheRegistryNotifiesTheFactoryOnce) {
    std::vector<zorvi::IComponent*> components = Create(2);
    for (RecordingComponent& component : g_pool) component.Reset(1, true);
    g_calls.clear();
    ZorviDllFreeMap();
    EXPECT_EQ(g_calls, (Lines{"flag A", "release 0 A", "flag B", "release 0 B"}));
    EXPECT_EQ(module::LiveComponents().Count(), 0);
    EXPECT_EQ(reference_.Journal(), IdleNotification());
}

}  // namespace
