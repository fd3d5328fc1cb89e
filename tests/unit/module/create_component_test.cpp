#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "debug_capture.h"
#include "injected_allocation_failure.h"
#include "module/class_table.h"
#include "module/live_registry.h"
#include "zorvi/exports.h"

namespace {

// A component that only answers; the registry never calls it.
class InertComponent : public zorvi::IComponent {
public:
    zorvi::ComponentId GetComponentID() override { return 0; }
    int32_t GetClassConstant() override { return 0; }
    void Release(int32_t) override {}
    int32_t GetFreeMapFlag() override { return 0; }
    void SetFreeMapFlag(int32_t) override {}
};

InertComponent g_single;
zorvi::IComponent* CreateSingle() { return &g_single; }
zorvi::IComponent* CreateNothing() { return nullptr; }
zorvi::IComponent* CreateThrowing() { throw std::runtime_error("creation failed"); }

constexpr zorvi::ComponentId kSingleId = 7101;
constexpr zorvi::ComponentId kNullId = 7102;
constexpr zorvi::ComponentId kThrowingId = 7103;

class CreateComponentTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        module::RegisterComponentClass(kSingleId, &CreateSingle);
        module::RegisterComponentClass(kNullId, &CreateNothing);
        module::RegisterComponentClass(kThrowingId, &CreateThrowing);
    }
    void TearDown() override { module::LiveComponents().Remove(&g_single); }
};

TEST_F(CreateComponentTest, RecordsTheComponentAndLetsTheLastRequesterWin) {
    int32_t before = module::LiveComponents().Count();
    EXPECT_EQ(CreateComponent(kSingleId, 42), &g_single);
    EXPECT_EQ(ZorviDllCanUnloadNow(), 0);
    const module::LiveComponentRecord* record = module::LiveComponents().Find(&g_single);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->ComponentID, kSingleId);
    EXPECT_EQ(record->CreatorID, 42u);
    EXPECT_EQ(record->Pointer, &g_single);

    EXPECT_EQ(CreateComponent(kSingleId, 77), &g_single);
    EXPECT_EQ(module::LiveComponents().Count(), before + 1);
    EXPECT_EQ(module::LiveComponents().Find(&g_single)->CreatorID, 77u);
}

TEST_F(CreateComponentTest, FailuresWriteTwoMessagesAndRecordNothing) {
    struct Case {
        zorvi::ComponentId id;
        zorvi::CreatorId creator;
        const char* first;
        const char* second;
    } cases[] = {
        {5, 1, "Zorvi[Error]: Can't find the factory method of Component\n",
         "Zorvi[Error]: ComponentID=5 CreatorID=1"},
        {0, 4294967295u, "Zorvi[Error]: Can't find the factory method of Component\n",
         "Zorvi[Error]: ComponentID=0 CreatorID=4294967295"},
        {kNullId, 9, "Zorvi[Error]:CreateComponent method return NULL.\n",
         "Zorvi[Error]: ComponentID=7102 CreatorID=9"},
        {kThrowingId, 9, "Zorvi[Error]:CreateComponent method return NULL.\n",
         "Zorvi[Error]: ComponentID=7103 CreatorID=9"},
    };
    for (const Case& c : cases) {
        int32_t before = module::LiveComponents().Count();
        testsupport::DebugCapture capture;
        EXPECT_EQ(CreateComponent(c.id, c.creator), nullptr);
        EXPECT_EQ(capture.Messages(), (std::vector<std::string>{c.first, c.second})) << c.id;
        EXPECT_EQ(module::LiveComponents().Count(), before);
    }
}

TEST_F(CreateComponentTest, NoStorageForTheRecordReportsItAndHandsOutNothing) {
    int32_t before = module::LiveComponents().Count();
    testsupport::DebugCapture capture;
    zorvi::IComponent* created;
    {
        injected::FailureScope failure(1);  // the registry's node for the new entry
        created = CreateComponent(kSingleId, 5);
        EXPECT_TRUE(failure.Reached());
    }
    EXPECT_EQ(created, nullptr) << "a component the registry does not hold must not be handed out";
    EXPECT_EQ(capture.Messages(),
              (std::vector<std::string>{"Zorvi[Error]: No memory to record the component in the live registry.\n",
                                        "Zorvi[Error]: ComponentID=7101 CreatorID=5"}));
    EXPECT_EQ(module::LiveComponents().Count(), before);
    EXPECT_FALSE(module::LiveComponents().Contains(&g_single));
}

TEST(LiveRegistryTest, LeakReportListsAscendingAddressesAndKeepsTheEntries) {
    InertComponent pair[2];
    module::LiveComponentRegistry registry;
    registry.Record({3, 42, &pair[1]});
    registry.Record({5, 0xABCDEF01u, &pair[0]});
    testsupport::DebugCapture capture;
    module::WriteLeakReport(registry);

    auto address = [](const void* p) {
        char text[32];
        snprintf(text, sizeof text, sizeof(void*) == 8 ? "%016llx" : "%08llx",
                 static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(p)));
        return std::string(text);
    };
    const std::string separator =
        "Zorvi[Error]:=================================================================\n";
    EXPECT_EQ(capture.Messages(),
              (std::vector<std::string>{
                  separator, "Zorvi[Error]:Found leak Zorvi components. Count:2\n",
                  "Zorvi[Error]:ComponentID:0x00000005 CreatorID:0xabcdef01 Pointer:0x" + address(&pair[0]) + "\n",
                  "Zorvi[Error]:ComponentID:0x00000003 CreatorID:0x0000002a Pointer:0x" + address(&pair[1]) + "\n",
                  separator}));
    EXPECT_EQ(registry.Count(), 2);
}

TEST(LiveRegistryTest, EmptyRegistryReportsNothing) {
    module::LiveComponentRegistry registry;
    testsupport::DebugCapture capture;
    module::WriteLeakReport(registry);
    EXPECT_TRUE(capture.Messages().empty());
}

}  // namespace
