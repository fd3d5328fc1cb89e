// The reference factory module and the module's factory link, seen the way a host sees
// them: both files loaded through the platform loader, every call made through an export.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "module_files.h"
#include "process_debug_capture.h"
#include "reference_factory.h"
#include "zorvi/exports.h"
#include "zorvi/factory.h"

namespace {

using testsupport::Lines;

class FactoryLinkTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        memalloc_ = platform::LoadModule(testsupport::BesideExecutable(testsupport::MemallocFileName()).c_str());
        factory_ = Reference().Module();
    }
    void SetUp() override {
        ASSERT_NE(memalloc_, nullptr) << "the module did not load";
        ASSERT_NE(factory_, nullptr) << "ZorFact.dll did not load";
        Reference().ClearJournal();
    }
    void TearDown() override { Export<zorvi::SetFactoryHandleFn>(memalloc_, "SetFactoryHandle")(nullptr); }

    template <typename Fn>
    static Fn Export(platform::ModuleHandle module, const char* name) {
        return reinterpret_cast<Fn>(platform::FindExport(module, name));
    }

    // Loaded once for the program, as a host keeps its factory module.
    static testsupport::ReferenceFactory& Reference() {
        static testsupport::ReferenceFactory reference;
        return reference;
    }
    static Lines Journal() { return Reference().Journal(); }

    static zorvi::IComponentFactory* Factory() {
        auto create = Export<zorvi::CreateComponentFn>(factory_, "CreateComponent");
        return static_cast<zorvi::IComponentFactory*>(create(zorvi::kComponentFactoryId, 0));
    }

    static platform::ModuleHandle memalloc_;
    static platform::ModuleHandle factory_;
};
platform::ModuleHandle FactoryLinkTest::memalloc_ = nullptr;
platform::ModuleHandle FactoryLinkTest::factory_ = nullptr;

TEST_F(FactoryLinkTest, TheFactoryModuleExportsItsEntryAndItsJournalOnly) {
    for (const char* name : {"CreateComponent", "ZorFactJournal", "ZorFactClearJournal"})
        EXPECT_NE(platform::FindExport(factory_, name), nullptr) << name;
    for (const char* name : {"DllMain", "_ZN7zorfact7FactoryEv", "_ZN8platform10LoadModuleEPKc"})
        EXPECT_EQ(platform::FindExport(factory_, name), nullptr) << name;
}

TEST_F(FactoryLinkTest, TheJournalRecordsEveryCallTheServiceReceives) {
    zorvi::IComponentFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    zorvi::IFactoryService* service = factory->GetFactoryService(zorvi::kComponentFactoryId, "host.ini");
    ASSERT_NE(service, nullptr);
    service->SetFreeMapFlag(1);
    service->RegisterSingleton(nullptr);
    service->NotifyModuleIdle(nullptr);
    service->Release(0);
    const std::string null = "0x" + std::string(2 * sizeof(void*), '0');
    EXPECT_EQ(Journal(), (Lines{"CreateComponent 361 0", "GetFactoryService 361 host.ini", "SetFreeMapFlag 1",
                                "RegisterSingleton " + null, "NotifyModuleIdle " + null, "Release 0"}));
    EXPECT_EQ(service->GetFreeMapFlag(), 1);
}

TEST_F(FactoryLinkTest, WithNothingLiveTheModuleLeavesTheFactoryAlone) {
    Export<zorvi::SetFactoryHandleFn>(memalloc_, "SetFactoryHandle")(factory_);
    auto create = Export<zorvi::CreateComponentFn>(memalloc_, "CreateComponent");
    auto freeMap = Export<zorvi::ZorviDllFreeMapFn>(memalloc_, "ZorviDllFreeMap");
    auto canUnload = Export<zorvi::ZorviDllCanUnloadNowFn>(memalloc_, "ZorviDllCanUnloadNow");
    std::string output;
    {
        testsupport::ProcessDebugCapture capture;
        freeMap();
        EXPECT_EQ(capture.Text(), "") << "the sweep of an empty registry writes nothing";
        EXPECT_EQ(create(9999, 4), nullptr);
        output = capture.Text();
    }
    EXPECT_EQ(output,
              "Zorvi[Error]: Can't find the factory method of Component\n"
              "Zorvi[Error]: ComponentID=9999 CreatorID=4");
    EXPECT_EQ(canUnload(), 1);
    EXPECT_TRUE(Journal().empty()) << "neither the sweep nor a failed creation reaches the factory";
}

}  // namespace
