// The demo host: uses memalloc the way a host program of the framework does.
//
// It loads the framework's factory module and memalloc through the platform loader, lets
// the module find the factory through the Zorvi.ini beside this program, creates the
// allocator for a creator, runs a small workload on several threads (with a foreign free,
// a double free and a few blocks never given back), releases the allocator, and shows
// what a user looks at: the debugger output and the log file. scripts/demo then runs the
// leak-summary tool on that log for what leaked per creator.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "process_debug_capture.h"
#include "zorvi/exports.h"

namespace {

const char kLogFileName[] = "zorvi-demo.log";  // as Zorvi.ini names it
constexpr zorvi::CreatorId kHostCreator = 42;
constexpr int kWorkers = 4;
constexpr int kRoundsPerWorker = 2000;

std::string Directory() {
    char exe[4096] = {0};
    platform::HostExecutablePath(exe, sizeof exe);
    std::string path(exe);
    return path.substr(0, path.find_last_of(platform::NativePathRules().primarySeparator));
}

std::string Beside(const std::string& name) {
    return Directory() + platform::NativePathRules().joinSeparator + name;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

void Heading(const char* title) { printf("\n---- %s ----\n", title); }

// Each worker is one creator: it allocates and frees blocks of varying sizes and keeps
// `leaked` of them for good.
void Work(zorvi::IMemoryAllocator* allocator, zorvi::CreatorId creator, int leaked) {
    std::vector<void*> held;
    for (int round = 0; round < kRoundsPerWorker; ++round) {
        uint32_t size = 16u << (round % 6);  // 16 .. 512 bytes
        void* block = allocator->Alloc(creator, size);
        if (block) held.push_back(block);
        if (held.size() > 8) {
            allocator->Free(held.front());
            held.erase(held.begin());
        }
    }
    while (held.size() > static_cast<size_t>(leaked)) {
        allocator->Free(held.back());
        held.pop_back();
    }
}

struct Exports {
    zorvi::CreateComponentFn createComponent;
    zorvi::SetDLLRegistryFn setDLLRegistry;
    zorvi::ZorviDllCanUnloadNowFn canUnloadNow;
};

bool Load(const std::string& moduleFile, Exports& exports) {
    platform::ModuleHandle module = platform::LoadModule(moduleFile.c_str());
    if (!module) {
        fprintf(stderr, "demo: cannot load %s\n", moduleFile.c_str());
        return false;
    }
    exports.createComponent = reinterpret_cast<zorvi::CreateComponentFn>(platform::FindExport(module, "CreateComponent"));
    exports.setDLLRegistry = reinterpret_cast<zorvi::SetDLLRegistryFn>(platform::FindExport(module, "SetDLLRegistry"));
    exports.canUnloadNow = reinterpret_cast<zorvi::ZorviDllCanUnloadNowFn>(platform::FindExport(module, "ZorviDllCanUnloadNow"));
    return exports.createComponent && exports.setDLLRegistry && exports.canUnloadNow;
}

// The workload, with the module's debugger output captured. Returns false on a failure
// that ends the demo.
bool RunWorkload(const Exports& exports) {
    zorvi::IComponent* component = exports.createComponent(zorvi::kMemoryAllocatorId, kHostCreator);
    if (!component) return false;
    auto* allocator = static_cast<zorvi::IMemoryAllocator*>(component);
    printf("CreateComponent(3, %u) gave the allocator at %p\n", kHostCreator, static_cast<void*>(component));

    std::vector<std::thread> workers;
    for (int i = 0; i < kWorkers; ++i)
        workers.emplace_back(Work, allocator, 0x100u + static_cast<uint32_t>(i), i + 1);
    for (std::thread& worker : workers) worker.join();
    printf("%d workers (creators 0x100 to 0x%x) ran %d allocations each; worker i keeps i + 1 blocks\n",
           kWorkers, 0x100 + kWorkers - 1, kRoundsPerWorker);

    int onStack = 0;
    printf("Free of a block the allocator never handed out: %d\n", allocator->Free(&onStack));
    void* twice = allocator->Alloc(0x200, 24);
    int first = allocator->Free(twice);
    int second = allocator->Free(twice);
    printf("Free of the same block twice: %d, then %d\n", first, second);

    component->Release(1);  // forced: finalise (the leak report), delete, unregister
    printf("Released the allocator; the module may unload now: %d\n", exports.canUnloadNow());
    return true;
}

}  // namespace

int main() {
    const std::string logFile = Beside(kLogFileName);
    std::remove(logFile.c_str());  // the factory appends: start the demo's log afresh

    // A host of the framework has its factory module loaded before it creates components;
    // the factory configures each new component's log channel.
    if (!platform::LoadModule(Beside("ZorFact.dll").c_str())) {
        fprintf(stderr, "demo: cannot load %s\n", Beside("ZorFact.dll").c_str());
        return 1;
    }
    const char* moduleName = platform::NativePathRules().joinSeparator == '\\' ? "memalloc.dll" : "memalloc.so";
    Exports exports{};
    if (!Load(Beside(moduleName), exports)) return 1;
    exports.setDLLRegistry("");  // the default: Zorvi.ini beside the host

    std::string debugOutput;
    bool ran;
    {
        testsupport::ProcessDebugCapture capture;
        ran = RunWorkload(exports);
        debugOutput = capture.Text();
    }
    if (!ran) {
        fprintf(stderr, "demo: CreateComponent(3) failed\n%s", debugOutput.c_str());
        return 1;
    }

    Heading("debugger output");
    fputs(debugOutput.c_str(), stdout);
    Heading(("log file " + logFile).c_str());
    fputs(ReadFile(logFile).c_str(), stdout);
    return 0;
}
