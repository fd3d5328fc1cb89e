// Allocation benchmark: what block tracking costs a host, against the C runtime's
// malloc/free in the same run. Prints every figure and the ratios of the goals:
//   1. one thread: a tracked Alloc + Free pair costs at most 3.0x a raw pair;
//   2. two threads on their own blocks: at least 1.8x the throughput of one thread
//      (the cross-thread case, where each thread frees the other's blocks, is reported);
//   3. at most 32 bytes of tracking per live block with 1,000,000 live blocks, and a pair
//      at most 1.5x dearer with 1,000,000 live blocks than with 64;
// and the same program runs as a Windows build under Wine.
//
// Usage: alloc_bench [--quick]   (--quick: fewer rounds, for a smoke run)
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "contestants.h"
#include "heap_usage.h"
#include "platform/platform.h"
#include "zorvi/exports.h"

namespace {

using bench::Contestant;
using Clock = std::chrono::steady_clock;

constexpr int kBatch = 64;            // blocks allocated, then freed, per round
constexpr int kManyLive = 1000000;    // the large live set
int g_rounds = 20000;                 // rounds per thread and measurement
int g_repeats = 5;                    // measurements per case; the best one counts

// Starts every worker at the same moment.
class StartGate {
public:
    explicit StartGate(int parties) : waiting_(parties) {}
    void ArriveAndWait() {
        waiting_.fetch_sub(1);
        while (waiting_.load() > 0) std::this_thread::yield();
    }

private:
    std::atomic<int> waiting_;
};

// Own blocks: each round allocates a batch and frees it on the same thread.
void OwnBlocksWorker(Contestant& c, uint32_t creator, uint32_t size, StartGate& gate) {
    void* blocks[kBatch];
    gate.ArriveAndWait();
    for (int round = 0; round < g_rounds; ++round) {
        for (int i = 0; i < kBatch; ++i) {
            blocks[i] = c.Alloc(creator, size);
            *static_cast<volatile char*>(blocks[i]) = 1;  // a host uses what it asks for
        }
        for (int i = 0; i < kBatch; ++i) c.Free(blocks[i]);
    }
}

// Cross-thread: two threads pass batches through a two-slot mailbox; each frees the
// batches the other allocated.
struct Mailbox {
    std::atomic<void**> slot[2] = {{nullptr}, {nullptr}};
};

void CrossThreadWorker(Contestant& c, uint32_t creator, uint32_t size, StartGate& gate,
                       Mailbox& mailbox, int self) {
    std::vector<void*> batches[2] = {std::vector<void*>(kBatch), std::vector<void*>(kBatch)};
    int which = 0;
    gate.ArriveAndWait();
    for (int round = 0; round < g_rounds; ++round) {
        void** mine = batches[which].data();
        which ^= 1;
        for (int i = 0; i < kBatch; ++i) mine[i] = c.Alloc(creator, size);
        while (mailbox.slot[self].load() != nullptr) std::this_thread::yield();
        mailbox.slot[self].store(mine);
        void** theirs;
        while ((theirs = mailbox.slot[1 - self].load()) == nullptr) std::this_thread::yield();
        for (int i = 0; i < kBatch; ++i) c.Free(theirs[i]);
        mailbox.slot[1 - self].store(nullptr);
    }
    while (mailbox.slot[self].load() != nullptr) std::this_thread::yield();
}

enum class Pattern { OwnBlocks, CrossThread };

// Nanoseconds per Alloc + Free pair over all threads (wall time / pairs), best of repeats.
double MeasurePair(Contestant& c, uint32_t size, int threads, Pattern pattern) {
    double best = 1e30;
    for (int repeat = 0; repeat < g_repeats; ++repeat) {
        StartGate gate(threads + 1);
        Mailbox mailbox;
        std::vector<std::thread> workers;
        for (int t = 0; t < threads; ++t) {
            uint32_t creator = 0x100 + static_cast<uint32_t>(t);
            if (pattern == Pattern::OwnBlocks)
                workers.emplace_back(OwnBlocksWorker, std::ref(c), creator, size, std::ref(gate));
            else
                workers.emplace_back(CrossThreadWorker, std::ref(c), creator, size, std::ref(gate),
                                     std::ref(mailbox), t);
        }
        gate.ArriveAndWait();
        Clock::time_point start = Clock::now();
        for (std::thread& worker : workers) worker.join();
        double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        double pairs = static_cast<double>(threads) * g_rounds * kBatch;
        best = std::min(best, seconds * 1e9 / pairs);
    }
    return best;
}

// Holds a live set of blocks through a contestant for the length of a measurement.
class LiveSet {
public:
    LiveSet(Contestant& c, int count, uint32_t size) : c_(c) {
        blocks_.reserve(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) blocks_.push_back(c.Alloc(0x0BAD, size));
    }
    ~LiveSet() {
        for (void* block : blocks_) c_.Free(block);
    }

private:
    Contestant& c_;
    std::vector<void*> blocks_;
};

struct Contestants {
    bench::RawContestant raw;
    bench::TextbookContestant textbook;
    std::unique_ptr<bench::ModuleContestant> module;
    zorvi::IComponent* component = nullptr;
    std::vector<Contestant*> All() { return {&raw, &textbook, module.get()}; }
};

bool LoadModuleAllocator(Contestants& all) {
    char exe[4096] = {0};
    platform::HostExecutablePath(exe, sizeof exe);
    std::string dir(exe);
    const platform::PathRules& rules = platform::NativePathRules();
    dir = dir.substr(0, dir.find_last_of(rules.primarySeparator));
    std::string file = dir + rules.joinSeparator + (rules.joinSeparator == '\\' ? "memalloc.dll" : "memalloc.so");
    platform::ModuleHandle module = platform::LoadModule(file.c_str());
    if (!module) {
        fprintf(stderr, "alloc_bench: cannot load %s\n", file.c_str());
        return false;
    }
    // The factory is handed over, so the module finds it without a configuration file.
    platform::ModuleHandle factory = platform::LoadModule((dir + rules.joinSeparator + "ZorFact.dll").c_str());
    auto setFactory = reinterpret_cast<zorvi::SetFactoryHandleFn>(platform::FindExport(module, "SetFactoryHandle"));
    if (factory && setFactory) setFactory(factory);
    auto create = reinterpret_cast<zorvi::CreateComponentFn>(platform::FindExport(module, "CreateComponent"));
    zorvi::IComponent* component = create ? create(zorvi::kMemoryAllocatorId, 0xBE7C) : nullptr;
    if (!component) {
        fprintf(stderr, "alloc_bench: CreateComponent(3) failed\n");
        return false;
    }
    all.module.reset(new bench::ModuleContestant(static_cast<zorvi::IMemoryAllocator*>(component)));
    all.component = component;
    return true;
}

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

void RunPairCosts(Contestants& all, const std::vector<uint32_t>& sizes) {
    printf("\nPair cost, ns per Alloc+Free pair (batches of %d, best of %d runs of %d rounds)\n",
           kBatch, g_repeats, g_rounds);
    printf("%-6s %-9s %-7s | %9s %9s %9s | %9s %9s\n", "size", "live", "threads", "raw",
           "textbook", "memalloc", "text/raw", "mem/raw");
    for (uint32_t size : sizes) {
        for (int live : {kBatch, kManyLive}) {
            for (int threads : {1, 2}) {
                double ns[3];
                std::vector<Contestant*> list = all.All();
                for (size_t i = 0; i < list.size(); ++i) {
                    // The batch itself is the small live set; the large one is held beside it.
                    std::unique_ptr<LiveSet> held;
                    if (live == kManyLive) held.reset(new LiveSet(*list[i], kManyLive - kBatch, size));
                    ns[i] = MeasurePair(*list[i], size, threads, Pattern::OwnBlocks);
                }
                printf("%-6u %-9d %-7d | %9.1f %9.1f %9.1f | %8.2fx %8.2fx\n", size, live, threads,
                       ns[0], ns[1], ns[2], ns[1] / ns[0], ns[2] / ns[0]);
            }
        }
    }
}

void RunGoals(Contestants& all) {
    const uint32_t size = 64;
    printf("\nGoals (64-byte blocks)\n");

    double raw1 = MeasurePair(all.raw, size, 1, Pattern::OwnBlocks);
    double mem1 = MeasurePair(*all.module, size, 1, Pattern::OwnBlocks);
    double text1 = MeasurePair(all.textbook, size, 1, Pattern::OwnBlocks);
    printf("1. one thread: memalloc %.1f ns, raw %.1f ns: %.2fx (goal <= 3.0x: %s); textbook %.2fx\n",
           mem1, raw1, mem1 / raw1, Verdict(mem1 / raw1 <= 3.0), text1 / raw1);

    for (Contestant* c : all.All()) {
        double one = MeasurePair(*c, size, 1, Pattern::OwnBlocks);
        double two = MeasurePair(*c, size, 2, Pattern::OwnBlocks);
        double cross = MeasurePair(*c, size, 2, Pattern::CrossThread);
        // Throughput is pairs per second: the inverse of the wall time per pair.
        printf("2. %-9s two threads, own blocks: %.2fx one thread's throughput%s; "
               "cross-thread frees: %.2fx\n",
               c->Name(), one / two,
               c == all.module.get() ? (one / two >= 1.8 ? " (goal >= 1.8x: met)" : " (goal >= 1.8x: MISSED)") : "",
               one / cross);
    }

    uint64_t base = bench::HeapBytesInUse();
    double rawBytes, memBytes;
    {
        LiveSet held(all.raw, kManyLive, size);
        rawBytes = static_cast<double>(bench::HeapBytesInUse() - base);
    }
    base = bench::HeapBytesInUse();
    double memFew = MeasurePair(*all.module, size, 1, Pattern::OwnBlocks);
    double memMany;
    {
        LiveSet held(*all.module, kManyLive, size);
        memBytes = static_cast<double>(bench::HeapBytesInUse() - base);
        memMany = MeasurePair(*all.module, size, 1, Pattern::OwnBlocks);
    }
    double perBlock = (memBytes - rawBytes) / kManyLive;
    printf("3. tracking memory with %d live blocks: %.1f bytes per block (goal <= 32: %s)\n",
           kManyLive, perBlock, Verdict(perBlock <= 32.0));
    printf("   pair cost with %d live: %.1f ns, with %d live: %.1f ns: %.2fx (goal <= 1.5x: %s)\n",
           kManyLive, memMany, kBatch, memFew, memMany / memFew, Verdict(memMany / memFew <= 1.5));
}

}  // namespace

int main(int argc, char** argv) {
    bool quick = argc > 1 && strcmp(argv[1], "--quick") == 0;
    if (quick) {
        g_rounds = 500;
        g_repeats = 1;
    }
    Contestants all;
    if (!LoadModuleAllocator(all)) return 1;
    printf("alloc_bench: %zu-bit build, %u hardware threads\n", sizeof(void*) * 8,
           std::thread::hardware_concurrency());
    RunGoals(all);
    if (!quick) RunPairCosts(all, {16, 64, 1024});
    all.component->Release(1);  // every block went back: the leak report stays empty
    return 0;
}
