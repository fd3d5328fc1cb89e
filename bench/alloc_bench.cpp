// Allocation benchmark: what block tracking costs a host, against the C runtime's
// malloc/free in the same run. Prints every figure and the ratios of the goals:
//   1. one thread: a tracked Alloc + Free pair costs at most 3.0x a raw pair;
//   2. two threads on their own blocks: at least 1.8x the throughput of one thread
//      (the cross-thread case, where each thread frees the other's blocks, is reported);
//   3. at most 32 bytes of tracking per live block with 1,000,000 live blocks, and a pair
//      at most 1.5x dearer with 1,000,000 live blocks than with 64;
// and the same program runs as a Windows build under Wine.
//
// Figures that are compared with each other are measured in turns (one run of each case,
// then the next round of runs), so that a disturbance of the machine hits them alike; the
// best run of each case counts.
//
// Usage: alloc_bench [--quick]   (--quick: fewer rounds, for a smoke run)
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "contestants.h"
#include "heap_usage.h"
#include "platform/platform.h"
#include "zorvi/exports.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kBatch = 64;            // blocks allocated, then freed, per round
constexpr int kManyLive = 1000000;    // the large live set
int g_rounds = 20000;                 // rounds per thread and run
int g_goalRepeats = 7;                // runs per case for the goals
int g_tableRepeats = 3;               // runs per case for the table

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

// When one worker did its work, read by the worker itself.
struct Span {
    Clock::time_point start;
    Clock::time_point end;
};

// Own blocks: each round allocates a batch and frees it on the same thread.
template <class C>
void OwnBlocksWorker(C& c, uint32_t creator, uint32_t size, StartGate& gate, Span& span) {
    void* blocks[kBatch];
    gate.ArriveAndWait();
    span.start = Clock::now();
    for (int round = 0; round < g_rounds; ++round) {
        for (int i = 0; i < kBatch; ++i) {
            blocks[i] = c.Alloc(creator, size);
            *static_cast<volatile char*>(blocks[i]) = 1;  // a host uses what it asks for
        }
        for (int i = 0; i < kBatch; ++i) c.Free(blocks[i]);
    }
    span.end = Clock::now();
}

// Cross-thread: two threads pass batches through a two-slot mailbox; each frees the
// batches the other allocated.
struct Mailbox {
    std::atomic<void**> slot[2] = {{nullptr}, {nullptr}};
};

template <class C>
void CrossThreadWorker(C& c, uint32_t creator, uint32_t size, StartGate& gate, Span& span,
                       Mailbox& mailbox, int self) {
    std::vector<void*> batches[2] = {std::vector<void*>(kBatch), std::vector<void*>(kBatch)};
    int which = 0;
    gate.ArriveAndWait();
    span.start = Clock::now();
    for (int round = 0; round < g_rounds; ++round) {
        void** mine = batches[which].data();
        which ^= 1;
        for (int i = 0; i < kBatch; ++i) {
            mine[i] = c.Alloc(creator, size);
            *static_cast<volatile char*>(mine[i]) = 1;
        }
        while (mailbox.slot[self].load() != nullptr) std::this_thread::yield();
        mailbox.slot[self].store(mine);
        void** theirs;
        while ((theirs = mailbox.slot[1 - self].load()) == nullptr) std::this_thread::yield();
        for (int i = 0; i < kBatch; ++i) c.Free(theirs[i]);
        mailbox.slot[1 - self].store(nullptr);
    }
    while (mailbox.slot[self].load() != nullptr) std::this_thread::yield();
    span.end = Clock::now();
}

enum class Pattern { OwnBlocks, CrossThread };

// One run: nanoseconds per Alloc + Free pair over all threads, that is the wall time from
// the first worker's start to the last worker's end divided by the pairs of every thread.
// Its inverse is the total throughput; thread creation and joining are not counted.
template <class C>
double RunOnce(C& c, uint32_t size, int threads, Pattern pattern) {
    StartGate gate(threads);
    Mailbox mailbox;
    std::vector<Span> spans(static_cast<size_t>(threads));
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        uint32_t creator = 0x100 + static_cast<uint32_t>(t);
        if (pattern == Pattern::OwnBlocks)
            workers.emplace_back(OwnBlocksWorker<C>, std::ref(c), creator, size, std::ref(gate),
                                 std::ref(spans[t]));
        else
            workers.emplace_back(CrossThreadWorker<C>, std::ref(c), creator, size, std::ref(gate),
                                 std::ref(spans[t]), std::ref(mailbox), t);
    }
    for (std::thread& worker : workers) worker.join();
    Clock::time_point first = spans[0].start, last = spans[0].end;
    for (const Span& span : spans) {
        first = std::min(first, span.start);
        last = std::max(last, span.end);
    }
    double seconds = std::chrono::duration<double>(last - first).count();
    return seconds * 1e9 / (static_cast<double>(threads) * g_rounds * kBatch);
}

// A case measured in turns with others; the best run counts.
struct Case {
    std::function<double()> runOnce;
    double best = 1e30;
};

void MeasureInTurns(const std::vector<Case*>& cases, int repeats) {
    for (int repeat = 0; repeat < repeats; ++repeat)
        for (Case* c : cases) c->best = std::min(c->best, c->runOnce());
}

template <class C>
Case PairCase(C& c, uint32_t size, int threads, Pattern pattern) {
    return Case{[&c, size, threads, pattern] { return RunOnce(c, size, threads, pattern); }};
}

// A set of blocks held through a contestant. The list of blocks is reserved at
// construction, so that it is not counted as heap the blocks use.
class LiveSet {
public:
    explicit LiveSet(int count) : count_(count) { blocks_.reserve(static_cast<size_t>(count)); }
    template <class C>
    void Fill(C& c, uint32_t size) {
        for (int i = 0; i < count_; ++i) blocks_.push_back(c.Alloc(0x0BAD, size));
    }
    template <class C>
    void Drain(C& c) {
        for (void* block : blocks_) c.Free(block);
        blocks_.clear();
    }

private:
    int count_;
    std::vector<void*> blocks_;
};

struct Contestants {
    bench::RawContestant raw;
    bench::TextbookContestant textbook;
    std::unique_ptr<bench::ModuleContestant> module;
    zorvi::IComponent* component = nullptr;
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

// Heap bytes that `kManyLive` blocks take beyond the blocks themselves. Measured before
// anything else uses the module's allocator, so that storage its block store kept from an
// earlier, larger set cannot hide.
double TrackingBytesPerBlock(Contestants& all, uint32_t size) {
    LiveSet rawSet(kManyLive), moduleSet(kManyLive);
    uint64_t base = bench::HeapBytesInUse();
    rawSet.Fill(all.raw, size);
    double rawBytes = static_cast<double>(bench::HeapBytesInUse() - base);
    rawSet.Drain(all.raw);

    base = bench::HeapBytesInUse();
    moduleSet.Fill(*all.module, size);
    double moduleBytes = static_cast<double>(bench::HeapBytesInUse() - base);
    moduleSet.Drain(*all.module);
    return (moduleBytes - rawBytes) / kManyLive;
}

// Best pair cost with 64 live blocks and with kManyLive, the two measured in turns.
struct LiveSetCosts {
    double few = 1e30;
    double many = 1e30;
};

template <class C>
void MeasureLiveSetCostsOnce(C& c, uint32_t size, LiveSetCosts& costs) {
    costs.few = std::min(costs.few, RunOnce(c, size, 1, Pattern::OwnBlocks));
    LiveSet held(kManyLive - kBatch);  // the batch itself makes up the rest
    held.Fill(c, size);
    costs.many = std::min(costs.many, RunOnce(c, size, 1, Pattern::OwnBlocks));
    held.Drain(c);
}

void RunGoals(Contestants& all) {
    const uint32_t size = 64;
    printf("\nGoals (64-byte blocks; best of %d runs of %d rounds of %d pairs per thread)\n",
           g_goalRepeats, g_rounds, kBatch);
    double perBlock = TrackingBytesPerBlock(all, size);

    Case raw1 = PairCase(all.raw, size, 1, Pattern::OwnBlocks);
    Case text1 = PairCase(all.textbook, size, 1, Pattern::OwnBlocks);
    Case mem1 = PairCase(*all.module, size, 1, Pattern::OwnBlocks);
    MeasureInTurns({&raw1, &text1, &mem1}, g_goalRepeats);
    printf("1. one thread: memalloc %.1f ns, raw %.1f ns: %.2fx (goal <= 3.0x: %s); textbook %.2fx\n",
           mem1.best, raw1.best, mem1.best / raw1.best, Verdict(mem1.best / raw1.best <= 3.0),
           text1.best / raw1.best);

    struct ScalingCases {
        const char* name;
        Case one, two, cross;
    };
    ScalingCases scaling[] = {
        {all.raw.Name(), PairCase(all.raw, size, 1, Pattern::OwnBlocks),
         PairCase(all.raw, size, 2, Pattern::OwnBlocks), PairCase(all.raw, size, 2, Pattern::CrossThread)},
        {all.textbook.Name(), PairCase(all.textbook, size, 1, Pattern::OwnBlocks),
         PairCase(all.textbook, size, 2, Pattern::OwnBlocks),
         PairCase(all.textbook, size, 2, Pattern::CrossThread)},
        {all.module->Name(), PairCase(*all.module, size, 1, Pattern::OwnBlocks),
         PairCase(*all.module, size, 2, Pattern::OwnBlocks),
         PairCase(*all.module, size, 2, Pattern::CrossThread)},
    };
    std::vector<Case*> cases;
    for (ScalingCases& s : scaling) cases.insert(cases.end(), {&s.one, &s.two, &s.cross});
    MeasureInTurns(cases, g_goalRepeats);
    for (ScalingCases& s : scaling) {
        // Throughput is pairs per second over all threads: the inverse of the time per pair.
        double own = s.one.best / s.two.best;
        bool isModule = &s == &scaling[2];
        printf("2. %-9s two threads, own blocks: %.2fx one thread's throughput%s; cross-thread frees: %.2fx"
               " (%.1f / %.1f / %.1f ns per pair)\n",
               s.name, own, isModule ? (own >= 1.8 ? " (goal >= 1.8x: met)" : " (goal >= 1.8x: MISSED)") : "",
               s.one.best / s.cross.best, s.one.best, s.two.best, s.cross.best);
    }

    LiveSetCosts rawCosts, moduleCosts;
    for (int repeat = 0; repeat < g_goalRepeats; ++repeat) {
        MeasureLiveSetCostsOnce(all.raw, size, rawCosts);
        MeasureLiveSetCostsOnce(*all.module, size, moduleCosts);
    }
    printf("3. tracking memory with %d live blocks: %.1f bytes per block (goal <= 32: %s)\n", kManyLive,
           perBlock, Verdict(perBlock <= 32.0));
    printf("   pair cost with %d live: %.1f ns, with %d live: %.1f ns: %.2fx (goal <= 1.5x: %s);"
           " raw %.2fx (%.1f / %.1f ns)\n",
           kManyLive, moduleCosts.many, kBatch, moduleCosts.few, moduleCosts.many / moduleCosts.few,
           Verdict(moduleCosts.many / moduleCosts.few <= 1.5), rawCosts.many / rawCosts.few, rawCosts.many,
           rawCosts.few);
}

void RunPairCosts(Contestants& all, const std::vector<uint32_t>& sizes) {
    printf("\nPair cost, ns per Alloc+Free pair (batches of %d, best of %d runs of %d rounds)\n", kBatch,
           g_tableRepeats, g_rounds);
    printf("%-6s %-9s %-7s | %9s %9s %9s | %9s %9s\n", "size", "live", "threads", "raw", "textbook",
           "memalloc", "text/raw", "mem/raw");
    for (uint32_t size : sizes) {
        for (int live : {kBatch, kManyLive}) {
            // The batch itself is the small live set; the large one is held beside it, by
            // every contestant at once, so that their runs can take turns.
            int extra = live == kManyLive ? kManyLive - kBatch : 0;
            LiveSet rawSet(extra), textSet(extra), moduleSet(extra);
            rawSet.Fill(all.raw, size);
            textSet.Fill(all.textbook, size);
            moduleSet.Fill(*all.module, size);
            for (int threads : {1, 2}) {
                Case raw = PairCase(all.raw, size, threads, Pattern::OwnBlocks);
                Case text = PairCase(all.textbook, size, threads, Pattern::OwnBlocks);
                Case mem = PairCase(*all.module, size, threads, Pattern::OwnBlocks);
                MeasureInTurns({&raw, &text, &mem}, g_tableRepeats);
                printf("%-6u %-9d %-7d | %9.1f %9.1f %9.1f | %8.2fx %8.2fx\n", size, live, threads, raw.best,
                       text.best, mem.best, text.best / raw.best, mem.best / raw.best);
            }
            rawSet.Drain(all.raw);
            textSet.Drain(all.textbook);
            moduleSet.Drain(*all.module);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    bool quick = argc > 1 && strcmp(argv[1], "--quick") == 0;
    if (quick) {
        g_rounds = 500;
        g_goalRepeats = 1;
        g_tableRepeats = 1;
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
