// The module's exported contract, seen the way a host sees it: the module file loaded
// through the platform loader, every call made through a resolved export.
#include <gtest/gtest.h>

#include <string>

#include "export_ordinal.h"
#include "module_files.h"
#include "process_debug_capture.h"
#include "zorvi/exports.h"

namespace {

struct ExportRow {
    const char* name;
    int ordinal;
};
const ExportRow kExports[] = {
    {"CreateComponent", 1},      {"SetDLLRegistry", 2},   {"ZorviDllFreeMap", 3},
    {"ZorviDllCanUnloadNow", 4}, {"SetFactoryHandle", 5}, {"ZorviSetDllSafe", 6},
    {"GetComponentIDs", 7},
};

class ModuleContractTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        module_ = platform::LoadModule(testsupport::BesideExecutable(testsupport::MemallocFileName()).c_str());
    }
    static void TearDownTestSuite() {
        if (module_) testsupport::UnloadModule(module_);
        module_ = nullptr;
    }
    void SetUp() override { ASSERT_NE(module_, nullptr) << "the module did not load"; }

    template <typename Fn>
    static Fn Export(const char* name) {
        return reinterpret_cast<Fn>(platform::FindExport(module_, name));
    }

    static platform::ModuleHandle module_;
};
platform::ModuleHandle ModuleContractTest::module_ = nullptr;

TEST_F(ModuleContractTest, EveryExportResolvesByNameAndByItsOrdinal) {
    for (const ExportRow& row : kExports) {
        void* byName = platform::FindExport(module_, row.name);
        EXPECT_NE(byName, nullptr) << row.name;
        if (testsupport::ModulesHaveOrdinals())
            EXPECT_EQ(testsupport::FindExportByOrdinal(module_, row.ordinal), byName) << row.name;
    }
}

TEST_F(ModuleContractTest, ExportsNothingElse) {
    // Internal functions stay internal (the Linux build exports through a version script,
    // the Windows build through its .def file).
    for (const char* name : {"_ZN6module5StateEv", "_ZN6module17ReportModuleErrorEPKcz", "DllMain",
                             "RegisterComponentClass"})
        EXPECT_EQ(platform::FindExport(module_, name), nullptr) << name;
}

TEST_F(ModuleContractTest, ListsItsClassesAndIsIdleBeforeAnyCreation) {
    auto getIds = Export<zorvi::GetComponentIDsFn>("GetComponentIDs");
    auto canUnload = Export<zorvi::ZorviDllCanUnloadNowFn>("ZorviDllCanUnloadNow");
    EXPECT_EQ(getIds(nullptr, 0), 1);
    int32_t ids[4] = {0, 0, 0, 0};
    EXPECT_EQ(getIds(ids, 4), 1);
    EXPECT_EQ(ids[0], zorvi::kMemoryAllocatorId);
    EXPECT_EQ(ids[1], 0);
    EXPECT_EQ(getIds(nullptr, 4), 1) << "a null array with room asked for must not fault";
    EXPECT_EQ(canUnload(), 1);
}

TEST_F(ModuleContractTest, FailedCreationWritesBothMessagesToTheDebuggerOutput) {
    auto create = Export<zorvi::CreateComponentFn>("CreateComponent");
    auto canUnload = Export<zorvi::ZorviDllCanUnloadNowFn>("ZorviDllCanUnloadNow");
    std::string output;
    {
        testsupport::ProcessDebugCapture capture;
        EXPECT_EQ(create(5, 1), nullptr);
        output = capture.Text();
    }
    EXPECT_EQ(output,
              "Zorvi[Error]: Can't find the factory method of Component\n"
              "Zorvi[Error]: ComponentID=5 CreatorID=1");
    EXPECT_EQ(canUnload(), 1);
}

}  // namespace
