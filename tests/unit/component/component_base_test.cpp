#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "component/component_base.h"
#include "debug_capture.h"
#include "module/live_registry.h"
#include "module/module_state.h"
#include "module_overrides.h"
#include "reference_factory.h"

namespace {

// What happened, in order: finalisation, destruction, breaks and deleted children.
std::vector<std::string> g_events;
void RecordBreak() { g_events.push_back("break"); }

class NamedChild : public component::ChildObject {
public:
    explicit NamedChild(const char* name) : name_(name) {}
    ~NamedChild() override { g_events.push_back(std::string("delete ") + name_); }

private:
    const char* name_;
};

template <zorvi::ComponentId kId>
class ProbeComponent : public component::ComponentBase<zorvi::IComponent, kId, 9> {
public:
    void Finalize() override {
        g_events.push_back("finalize with " + std::to_string(this->keyedChildren.size()) + " keyed");
    }
    ~ProbeComponent() override { g_events.push_back("destroy"); }
    void KeepAfterFinalize() { this->noDelete = 1; }
};
// Releases without an idle notification, as the ComponentFactory's ID asks.
using QuietProbe = ProbeComponent<zorvi::kComponentFactoryId>;

template <class Probe>
Probe* NewTrackedProbe() {
    Probe* probe = new Probe;
    module::ModuleLockGuard guard;
    module::LiveComponents().Record(module::LiveComponentRecord{probe->GetComponentID(), 1, probe});
    return probe;
}

bool IsLive(const void* component) {
    module::ModuleLockGuard guard;
    return module::LiveComponents().Contains(component);
}

bool AnyMessageContains(const testsupport::DebugCapture& capture, const std::string& text) {
    return capture.Joined().find(text) != std::string::npos;
}

bool FactoryHeardOfIdleModule(const testsupport::ReferenceFactory& factory) {
    return !factory.JournalLinesStartingWith("NotifyModuleIdle ").empty();
}

class ComponentBaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_events.clear();
        platform::SetBreakHook(&RecordBreak);
    }
    void TearDown() override { platform::SetBreakHook(nullptr); }
};

TEST_F(ComponentBaseTest, AnswersFromTemplateArgumentsAndStoresTheFreeMapFlagAsGiven) {
    QuietProbe* probe = NewTrackedProbe<QuietProbe>();
    EXPECT_EQ(probe->GetComponentID(), zorvi::kComponentFactoryId);
    EXPECT_EQ(probe->GetClassConstant(), 9);
    EXPECT_EQ(probe->GetFreeMapFlag(), 0);
    for (int32_t value : {5, -1, 2, 0}) {
        probe->SetFreeMapFlag(value);
        EXPECT_EQ(probe->GetFreeMapFlag(), value);
    }
    probe->Release(1);
}

TEST_F(ComponentBaseTest, ForcedReleaseFinalizesOnceDeletesAndUnregisters) {
    testsupport::ReferenceFactory factory;
    ASSERT_TRUE(factory.Loaded()) << "ZorFact.dll did not load";
    testsupport::FactoryHandleOverride handle(factory.Module());
    ASSERT_EQ(module::LiveComponents().Count(), 0) << "another test left a live component";
    struct Case {
        bool componentFactoryId;
        bool idleNotification;
    } cases[] = {{false, true}, {true, false}};
    for (const Case& c : cases) {
        g_events.clear();
        component::ChildOwner* probe = c.componentFactoryId
            ? static_cast<component::ChildOwner*>(NewTrackedProbe<QuietProbe>())
            : static_cast<component::ChildOwner*>(NewTrackedProbe<ProbeComponent<3>>());
        auto* asComponent = dynamic_cast<zorvi::IComponent*>(probe);
        probe->keyedChildren[2] = new NamedChild("k2");
        probe->keyedChildren[1] = new NamedChild("k1");
        probe->keyedChildren[5] = nullptr;
        probe->listedChildren.push_back(new NamedChild("l1"));
        probe->listedChildren.push_back(nullptr);
        testsupport::DebugCapture capture;
        factory.ClearJournal();

        asComponent->Release(1);

        EXPECT_EQ(g_events, (std::vector<std::string>{"finalize with 3 keyed", "delete k1", "delete k2",
                                                      "destroy", "delete l1"}));
        EXPECT_FALSE(IsLive(asComponent));
        EXPECT_FALSE(AnyMessageContains(capture, "To remove a component not exist"));
        EXPECT_EQ(FactoryHeardOfIdleModule(factory), c.idleNotification);
    }
}

TEST_F(ComponentBaseTest, ReleasesThatDoNotTakeEffectChangeNothing) {
    struct Case {
        int32_t force;
        int32_t dllSafe;
    } cases[] = {{0, 1}, {1, 0}, {7, 0}, {0, 0}};
    for (const Case& c : cases) {
        QuietProbe* probe = NewTrackedProbe<QuietProbe>();
        g_events.clear();
        {
            testsupport::DllSafeOverride safe(c.dllSafe);
            probe->Release(c.force);
        }
        EXPECT_TRUE(g_events.empty()) << "force " << c.force << ", dllSafe " << c.dllSafe;
        EXPECT_TRUE(IsLive(probe));
        probe->Release(1);
        EXPECT_FALSE(IsLive(probe));
    }
}

TEST_F(ComponentBaseTest, DestructionBeforeAFinalisingReleaseOrWithNoDeleteBreaksFirst) {
    struct Case {
        const char* what;
        bool keptAfterFinalize;
        std::vector<std::string> eventsOfDeletion;
    } cases[] = {
        {"never released", false, {"destroy", "break", "delete l1", "delete k1"}},
        // The finalising release already deleted the keyed child.
        {"finalised but kept", true, {"destroy", "break", "delete l1"}},
    };
    for (const Case& c : cases) {
        auto* probe = new QuietProbe;
        probe->keyedChildren[1] = new NamedChild("k1");
        probe->listedChildren.push_back(new NamedChild("l1"));
        if (c.keptAfterFinalize) {
            probe->KeepAfterFinalize();
            probe->Release(1);  // finalises, then stops short of deleting
            EXPECT_EQ(probe->keyedChildren.size(), 0u) << c.what;
        }
        g_events.clear();
        delete static_cast<component::ChildOwner*>(probe);
        EXPECT_EQ(g_events, c.eventsOfDeletion) << c.what;
    }
}

TEST_F(ComponentBaseTest, GetRegistryPathCopiesWholeOrNotAtAll) {
    const char kRegistryPath[] = "C:\\zorvi.ini";  // 12 characters
    testsupport::RegistryPathOverride registry(kRegistryPath);
    const std::string untouched(31, '#');
    struct Case {
        const char* preferred;
        bool nullOut;
        int32_t outSize;
        std::string expected;
    } cases[] = {
        {nullptr, false, 13, kRegistryPath},
        {"", false, 13, kRegistryPath},
        {nullptr, false, 32, kRegistryPath},
        {nullptr, false, 12, untouched},
        {"", false, 12, untouched},
        {"abc", false, 4, "abc"},
        {"abc", false, 3, untouched},
        {"abc", false, 0, untouched},
        {"abc", false, -1, untouched},
        {nullptr, false, 0, untouched},
        {"abc", true, 4, untouched},
    };
    QuietProbe* probe = NewTrackedProbe<QuietProbe>();
    for (const Case& c : cases) {
        char out[32];
        memset(out, '#', sizeof out - 1);
        out[sizeof out - 1] = '\0';
        probe->GetRegistryPath(c.preferred, c.nullOut ? nullptr : out, c.outSize);
        EXPECT_EQ(std::string(out), c.expected)
            << (c.preferred ? c.preferred : "(null)") << " into " << c.outSize;
    }
    probe->Release(1);
}

}  // namespace
