// The tracked allocator end to end, as a host uses it: memalloc and the reference factory
// loaded for real, the configuration read from an INI file beside this program, the
// allocator's operations called through its table, its lines read back from the real log
// file and the real debugger output. A program of its own: the factory keeps the first log
// file it opens for the whole process.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "export_ordinal.h"
#include "module_files.h"
#include "process_debug_capture.h"
#include "reference_factory.h"
#include "zorvi/exports.h"

namespace {

using testsupport::Lines;

const char kConfigName[] = "e2e_allocator.ini";
const char kLogName[] = "e2e_allocator.log";

// Objects that outlive the module on purpose; held here so that leak checkers see them.
zorvi::IComponent* g_leftAlive = nullptr;
void* g_blockNeverFreed = nullptr;

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The MSVC runtime's %p: every digit of the pointer's width, upper case, no prefix.
std::string MsvcPointer(const void* address) {
    char text[32];
    snprintf(text, sizeof text, "%0*llX", static_cast<int>(2 * sizeof(void*)),
             static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(address)));
    return text;
}

// An address as the module's report lines print it: all of it, lower case.
std::string ReportAddress(const void* address) { return testsupport::JournalAddress(address).substr(2); }

// Operations reached the way a host of another compiler reaches them: the object's first
// word is its table, slot N holds operation N. On x86_64 (the builds that run here) the
// receiver is passed as the first argument.
template <typename Fn>
Fn Slot(void* object, int slot) {
    void** table = *static_cast<void***>(object);
    return reinterpret_cast<Fn>(table[slot]);
}
using GetIdSlot = int32_t (*)(void*);
using ReleaseSlot = void (*)(void*, int32_t);
using AllocSlot = void* (*)(void*, uint32_t, uint32_t);
using FreeSlot = int32_t (*)(void*, void*);

class AllocatorEndToEndTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::ofstream(testsupport::BesideExecutable(kConfigName))
            << "[361]\nDLL=ZorFact.dll\n\n[Log]\nDebugOutput=1\nFileOutput=1\nFile=" << kLogName
            << "\nName=MemAlloc\n";
        std::remove(testsupport::BesideExecutable(kLogName).c_str());
        factory_ = new testsupport::ReferenceFactory();  // loaded first, as in a framework host
        module_ = platform::LoadModule(testsupport::BesideExecutable(testsupport::MemallocFileName()).c_str());
        if (module_) Export<zorvi::SetDLLRegistryFn>("SetDLLRegistry")(kConfigName);
    }

    void SetUp() override {
        ASSERT_TRUE(factory_->Loaded());
        ASSERT_NE(module_, nullptr) << "the module did not load (or was unloaded by an earlier test)";
        factory_->ClearJournal();
    }

    template <typename Fn>
    static Fn Export(const char* name) {
        return reinterpret_cast<Fn>(platform::FindExport(module_, name));
    }
    static zorvi::IComponent* Create(zorvi::ComponentId id, zorvi::CreatorId creator) {
        return Export<zorvi::CreateComponentFn>("CreateComponent")(id, creator);
    }
    static int32_t CanUnloadNow() { return Export<zorvi::ZorviDllCanUnloadNowFn>("ZorviDllCanUnloadNow")(); }

    static testsupport::ReferenceFactory* factory_;
    static platform::ModuleHandle module_;
};
testsupport::ReferenceFactory* AllocatorEndToEndTest::factory_ = nullptr;
platform::ModuleHandle AllocatorEndToEndTest::module_ = nullptr;

TEST_F(AllocatorEndToEndTest, OneAllocatorTracksBlocksAndReportsThroughTheFactorysChannel) {
    EXPECT_EQ(CanUnloadNow(), 1);
    std::string debugOutput;
    void* foreign = &debugOutput;
    void* kept = nullptr;
    void* freed = nullptr;
    {
        testsupport::ProcessDebugCapture capture;
        zorvi::IComponent* allocator = Create(zorvi::kMemoryAllocatorId, 42);
        ASSERT_NE(allocator, nullptr);
        EXPECT_EQ(Slot<GetIdSlot>(allocator, zorvi::slot::kGetComponentID)(allocator), 3);
        EXPECT_EQ(Slot<GetIdSlot>(allocator, zorvi::slot::kGetClassConstant)(allocator), 1);
        EXPECT_EQ(Create(zorvi::kMemoryAllocatorId, 77), allocator) << "one allocator per process";
        EXPECT_EQ(factory_->JournalLinesStartingWith("RegisterSingleton"),
                  Lines{"RegisterSingleton " + testsupport::JournalAddress(allocator)});
        EXPECT_EQ(CanUnloadNow(), 0);

        auto alloc = Slot<AllocSlot>(allocator, zorvi::slot::kAlloc);
        auto free = Slot<FreeSlot>(allocator, zorvi::slot::kFree);
        kept = alloc(allocator, 7, 16);
        freed = alloc(allocator, 8, 32);
        ASSERT_NE(kept, nullptr);
        ASSERT_NE(freed, nullptr);
        EXPECT_EQ(alloc(allocator, 7, 0), nullptr);
        EXPECT_EQ(free(allocator, freed), 1);
        EXPECT_EQ(free(allocator, foreign), 0);
        EXPECT_EQ(free(allocator, freed), 0) << "a second free of the same block is refused";
        EXPECT_EQ(free(allocator, nullptr), 1);

        // Forced: finalise (the leak report), delete, unregister, tell the factory.
        Slot<ReleaseSlot>(allocator, zorvi::slot::kRelease)(allocator, 1);
        debugOutput = capture.Text();
    }
    g_blockNeverFreed = kept;
    EXPECT_EQ(CanUnloadNow(), 1);
    EXPECT_EQ(factory_->JournalLinesStartingWith("NotifyModuleIdle"),
              Lines{"NotifyModuleIdle " + testsupport::JournalAddress(module_)})
        << "the module hands over its own instance handle";

    const std::string separator = "Error_MemAlloc " + std::string(69, '=') + "\n";
    const std::string expected =
        "Error_MemAlloc Try to free memory not alloced by me. pMemory=0x" + MsvcPointer(foreign) + "\n" +
        "Error_MemAlloc Try to free memory not alloced by me. pMemory=0x" + MsvcPointer(freed) + "\n" +
        separator + "Error_MemAlloc Detect memory leak, block count = 1\n" +
        "Error_MemAlloc Creator:0x00000007 Size:16 Location:0x" + ReportAddress(kept) + "\n" + separator;
    EXPECT_EQ(ReadFile(testsupport::BesideExecutable(kLogName)), expected);
    EXPECT_EQ(debugOutput, expected);
}

TEST_F(AllocatorEndToEndTest, AfterItsReleaseTheNextCreationBuildsAndRegistersANewAllocator) {
    zorvi::IComponent* allocator = Create(zorvi::kMemoryAllocatorId, 5);
    ASSERT_NE(allocator, nullptr);
    EXPECT_EQ(factory_->JournalLinesStartingWith("RegisterSingleton"),
              Lines{"RegisterSingleton " + testsupport::JournalAddress(allocator)});
    auto* memory = static_cast<zorvi::IMemoryAllocator*>(allocator);
    void* block = memory->Alloc(5, 100);
    EXPECT_EQ(memory->Free(block), 1);
    allocator->Release(0);  // ordinary releases are ignored
    EXPECT_EQ(CanUnloadNow(), 0);
    allocator->Release(1);
    EXPECT_EQ(CanUnloadNow(), 1);
}

// Last in the suite: it unloads the module and loads it afresh.
TEST_F(AllocatorEndToEndTest, UnloadingWithALiveComponentReportsItAtProcessDetach) {
    zorvi::IComponent* allocator = Create(zorvi::kMemoryAllocatorId, 42);
    ASSERT_EQ(Create(zorvi::kMemoryAllocatorId, 77), allocator);
    g_leftAlive = allocator;
    std::string output;
    {
        testsupport::ProcessDebugCapture capture;
        testsupport::UnloadModule(module_);
        module_ = nullptr;
        output = capture.Text();
    }
    const std::string separator =
        "Zorvi[Error]:=================================================================\n";
    EXPECT_EQ(output, separator + "Zorvi[Error]:Found leak Zorvi components. Count:1\n" +
                          "Zorvi[Error]:ComponentID:0x00000003 CreatorID:0x0000004d Pointer:0x" +
                          ReportAddress(allocator) + "\n" + separator)
        << "the last requester's IDs are recorded, once";

    // The module really went away: loaded again, it starts from a fresh static state.
    module_ = platform::LoadModule(testsupport::BesideExecutable(testsupport::MemallocFileName()).c_str());
    ASSERT_NE(module_, nullptr);
    EXPECT_EQ(CanUnloadNow(), 1);
    EXPECT_EQ(Export<zorvi::GetComponentIDsFn>("GetComponentIDs")(nullptr, 0), 1);
}

}  // namespace

namespace {

// A host that ends with the allocator still live, without unloading the module: process
// exit runs the module's detach report before its static destructors, and ends cleanly.
zorvi::IComponent* g_aliveAtExit = nullptr;  // apart from g_leftAlive, which an earlier test set

void ExitWithALiveAllocator() {
    platform::ModuleHandle module =
        platform::LoadModule(testsupport::BesideExecutable(testsupport::MemallocFileName()).c_str());
    if (!module) exit(3);
    auto setFactory = reinterpret_cast<zorvi::SetFactoryHandleFn>(platform::FindExport(module, "SetFactoryHandle"));
    setFactory(platform::LoadModule(testsupport::BesideExecutable("ZorFact.dll").c_str()));
    auto create = reinterpret_cast<zorvi::CreateComponentFn>(platform::FindExport(module, "CreateComponent"));
    g_aliveAtExit = create(zorvi::kMemoryAllocatorId, 9);
    exit(g_aliveAtExit ? 0 : 4);
}

TEST(AllocatorProcessExitTest, ExitWithALiveComponentReportsItAndEndsCleanly) {
    // On Linux the module's debugger output is standard error, which the check can read.
    const char* report = testsupport::ModulesHaveOrdinals() ? "" : "Found leak Zorvi components. Count:1";
    EXPECT_EXIT(ExitWithALiveAllocator(), ::testing::ExitedWithCode(0), report);
}

}  // namespace
