// Long random sequences of Alloc and Free against a plain ordered map that says what the
// allocator must hold: every result, every line the allocator writes to its log file, and
// the final leak report line by line. On one thread, then on several at once (each thread
// with creators of its own, checked against its own map).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "allocator_test_support.h"
#include "temp_log_file.h"

namespace {

using namespace allocator_test;

enum class Action {
    Alloc,
    AllocZero,          // size 0: null, no record, no line
    FreeOwn,            // a block it handed out
    FreeForeign,        // memory it never handed out
    FreeInterior,       // an address inside one of its blocks (never aligned as a block is)
    FreeRepeated,       // a block it already took back, not handed out again since
    FreeNull,
    FreeBehindItsBack,  // returned to the runtime without Free: its record stays, and the
                        // runtime may hand the address out again, so that a new Alloc
                        // record replaces the old one
};

struct Weighted {
    Action action;
    int weight;
};

// Blocks freed by another thread may be handed out to that thread at once, so the
// multi-threaded mix leaves out the two actions that pass freed addresses to Free or keep
// records of them.
const std::vector<Weighted> kOneThreadMix = {
    {Action::Alloc, 40},       {Action::AllocZero, 3},    {Action::FreeOwn, 30},
    {Action::FreeForeign, 5},  {Action::FreeInterior, 4}, {Action::FreeRepeated, 8},
    {Action::FreeNull, 3},     {Action::FreeBehindItsBack, 7},
};
const std::vector<Weighted> kManyThreadsMix = {
    {Action::Alloc, 45},      {Action::AllocZero, 3},    {Action::FreeOwn, 35},
    {Action::FreeForeign, 8}, {Action::FreeInterior, 6}, {Action::FreeNull, 3},
};

// Few sizes, so that a block given back is often handed out again for the next request.
const uint32_t kSizes[] = {1, 16, 24, 64, 100, 256};

// One thread's sequence and the map that says what the allocator must hold of it.
class RandomSequence {
public:
    RandomSequence(zorvi::IMemoryAllocator* allocator, uint32_t seed, uint32_t firstCreator,
                   const std::vector<Weighted>& mix)
        : allocator_(allocator), random_(seed), firstCreator_(firstCreator), mix_(mix) {
        memset(foreign_, 0x5A, sizeof foreign_);
    }

    void Run(int steps) {
        for (int step = 0; step < steps && mismatches_.size() < 10; ++step) Perform(Pick(), step);
    }

    const std::vector<std::string>& ExpectedLines() const { return expectedLines_; }
    const std::vector<std::string>& Mismatches() const { return mismatches_; }
    const std::map<uintptr_t, HeldBlock>& Recorded() const { return recorded_; }
    bool ForeignMemoryUntouched() const {
        return std::count(foreign_, foreign_ + sizeof foreign_, 0x5A) == sizeof foreign_;
    }
    // The blocks still held when the allocator is gone belong to the test.
    void ReturnHeldBlocks() {
        for (void* block : owned_) ::operator delete(block);
        owned_.clear();
    }

private:
    Action Pick() {
        int total = 0;
        for (const Weighted& w : mix_) total += w.weight;
        int roll = static_cast<int>(random_() % static_cast<uint32_t>(total));
        for (const Weighted& w : mix_)
            if ((roll -= w.weight) < 0) return w.action;
        return Action::FreeNull;
    }

    void Perform(Action action, int step) {
        switch (action) {
            case Action::Alloc: Alloc(step); break;
            case Action::AllocZero: Expect(allocator_->Alloc(Creator(), 0) == nullptr, "Alloc(0)", step); break;
            case Action::FreeOwn: FreeOwn(step); break;
            case Action::FreeForeign: FreeRefused(foreign_ + random_() % sizeof foreign_, "foreign", step); break;
            case Action::FreeInterior:
                if (!owned_.empty()) FreeRefused(static_cast<char*>(AnyOwned()) + 1 + random_() % 7, "interior", step);
                break;
            case Action::FreeRepeated: FreeRepeated(step); break;
            case Action::FreeNull: Expect(allocator_->Free(nullptr) == 1, "Free(null)", step); break;
            case Action::FreeBehindItsBack: FreeBehindItsBack(); break;
        }
    }

    void Alloc(int step) {
        const uint32_t creator = Creator();
        const uint32_t size = kSizes[random_() % (sizeof kSizes / sizeof kSizes[0])];
        void* block = allocator_->Alloc(creator, size);
        if (!Expect(block != nullptr, "Alloc", step)) return;
        // An address whose record outlived its block: the new record replaces the old one.
        forgotten_.erase(block);
        recorded_[Key(block)] = {block, creator, size};
        owned_.push_back(block);
    }

    void FreeOwn(int step) {
        if (owned_.empty()) return;
        void* block = TakeAnyOwned();
        recorded_.erase(Key(block));
        Expect(allocator_->Free(block) == 1, "Free of an own block", step);
        takenBack_.push_back(block);
    }

    void FreeRepeated(int step) {
        if (takenBack_.empty()) return;
        void* block = takenBack_[random_() % takenBack_.size()];
        if (recorded_.count(Key(block))) return;  // handed out again since: not a repeat
        FreeRefused(block, "repeated", step);
    }

    void FreeRefused(void* pMemory, const char* what, int step) {
        Expect(allocator_->Free(pMemory) == 0, what, step);
        expectedLines_.push_back(ForeignFreeLine(pMemory));
    }

    void FreeBehindItsBack() {
        if (owned_.empty()) return;
        void* block = TakeAnyOwned();
        ::operator delete(block);
        forgotten_.insert(block);
        // Its record stays: the report still names it, unless a new block replaces it.
    }

    uint32_t Creator() { return firstCreator_ + random_() % 16; }
    static uintptr_t Key(const void* block) { return reinterpret_cast<uintptr_t>(block); }
    void* AnyOwned() { return owned_[random_() % owned_.size()]; }
    void* TakeAnyOwned() {
        const size_t index = random_() % owned_.size();
        void* block = owned_[index];
        owned_[index] = owned_.back();
        owned_.pop_back();
        return block;
    }

    bool Expect(bool ok, const char* what, int step) {
        if (!ok) mismatches_.push_back(std::string(what) + " at step " + std::to_string(step));
        return ok;
    }

    zorvi::IMemoryAllocator* allocator_;
    std::mt19937 random_;
    uint32_t firstCreator_;
    std::vector<Weighted> mix_;
    char foreign_[64];

    std::map<uintptr_t, HeldBlock> recorded_;  // what the allocator must hold
    std::vector<void*> owned_;                 // recorded, and still allocated
    std::set<void*> forgotten_;                // recorded, but returned behind its back
    std::vector<void*> takenBack_;             // returned through Free
    std::vector<std::string> expectedLines_;
    std::vector<std::string> mismatches_;
};

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0, end; start < text.size(); start = end + 1) {
        end = text.find('\n', start);
        if (end == std::string::npos) end = text.size() - 1;
        lines.push_back(text.substr(start, end - start + 1));
    }
    return lines;
}

std::vector<HeldBlock> InAddressOrder(const std::vector<const RandomSequence*>& sequences) {
    std::map<uintptr_t, HeldBlock> all;
    for (const RandomSequence* sequence : sequences) all.insert(sequence->Recorded().begin(), sequence->Recorded().end());
    std::vector<HeldBlock> held;
    for (const auto& entry : all) held.push_back(entry.second);
    return held;
}

// The allocator with its lines going to a real log file, guarded by a lock as a factory's.
class AllocatorRandomSequence : public ::testing::Test {
protected:
    void SetUp() override {
        platform::InitLock(&fileLock);
        allocator = CreateAllocator(1);
        ASSERT_NE(allocator, nullptr);
        testsupport::ConfigureChannel(allocator->Channel().Record(), {0, 1, "Heap", file.Handle(), &fileLock});
    }
    void TearDown() override {
        if (allocator) allocator->Release(1);
        platform::DeleteLock(&fileLock);
    }
    // Finalises the allocator and gives back the lines it wrote, the report last.
    std::vector<std::string> ReleaseAndReadLines() {
        allocator->Release(1);
        allocator = nullptr;
        return SplitLines(file.ReadFrom());
    }

    testsupport::TempLogFile file;
    platform::RecursiveLock fileLock;
    memalloc::MemoryAllocator* allocator = nullptr;
};

// Its own suite, so that the concurrency runs (under ThreadSanitizer) pick it.
class AllocatorRandomSequenceConcurrency : public AllocatorRandomSequence {};

TEST_F(AllocatorRandomSequence, OneThreadAgreesWithAnOrderedMap) {
    for (uint32_t seed : {1u, 2u, 3u}) {
        RandomSequence sequence(allocator, seed, 0x100 * seed, kOneThreadMix);
        sequence.Run(6000);
        EXPECT_EQ(sequence.Mismatches(), std::vector<std::string>{}) << "seed " << seed;
        EXPECT_TRUE(sequence.ForeignMemoryUntouched()) << "seed " << seed;

        std::vector<std::string> expected = sequence.ExpectedLines();
        const std::vector<std::string> report = LeakReport(InAddressOrder({&sequence}));
        expected.insert(expected.end(), report.begin(), report.end());
        EXPECT_EQ(ReleaseAndReadLines(), expected) << "seed " << seed;
        sequence.ReturnHeldBlocks();

        // A fresh allocator and log for the next seed.
        file.Resize(0);
        allocator = CreateAllocator(1);
        ASSERT_NE(allocator, nullptr);
        testsupport::ConfigureChannel(allocator->Channel().Record(), {0, 1, "Heap", file.Handle(), &fileLock});
    }
}

TEST_F(AllocatorRandomSequenceConcurrency, EachThreadAgreesWithItsOwnMapAndTheReportWithAll) {
    constexpr int kThreads = 4;
    std::vector<std::unique_ptr<RandomSequence>> sequences;
    for (int t = 0; t < kThreads; ++t)
        sequences.emplace_back(new RandomSequence(allocator, 50 + t, 0x1000 * (t + 1), kManyThreadsMix));
    std::vector<std::thread> threads;
    for (auto& sequence : sequences) threads.emplace_back([&sequence] { sequence->Run(4000); });
    for (std::thread& thread : threads) thread.join();

    // The threads' lines interleave in the file; each line must be one of them.
    std::vector<std::string> expectedMessages;
    std::vector<const RandomSequence*> all;
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(sequences[t]->Mismatches(), std::vector<std::string>{}) << "thread " << t;
        EXPECT_TRUE(sequences[t]->ForeignMemoryUntouched()) << "thread " << t;
        expectedMessages.insert(expectedMessages.end(), sequences[t]->ExpectedLines().begin(),
                                sequences[t]->ExpectedLines().end());
        all.push_back(sequences[t].get());
    }
    const std::vector<std::string> report = LeakReport(InAddressOrder(all));

    std::vector<std::string> lines = ReleaseAndReadLines();
    ASSERT_EQ(lines.size(), expectedMessages.size() + report.size());
    std::vector<std::string> messages(lines.begin(), lines.end() - static_cast<long>(report.size()));
    std::sort(messages.begin(), messages.end());
    std::sort(expectedMessages.begin(), expectedMessages.end());
    EXPECT_EQ(messages, expectedMessages);
    EXPECT_EQ(std::vector<std::string>(lines.end() - static_cast<long>(report.size()), lines.end()), report);
    for (auto& sequence : sequences) sequence->ReturnHeldBlocks();
}

}  // namespace
