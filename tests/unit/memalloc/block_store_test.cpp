// The block store on its own: the hash table of one shard against a plain ordered map,
// the ordered visits, calls back into the store from a callout, and a frozen store that
// other threads keep trying to change.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <map>
#include <new>
#include <random>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "memalloc/block_store.h"
#include "memalloc/record_table.h"

namespace {

using memalloc::BlockRecord;
using memalloc::BlockStore;
using memalloc::RecordSlot;
using memalloc::RecordTable;

using Stored = std::pair<uint32_t, uint32_t>;  // creator, size
using Reference = std::map<uintptr_t, Stored>;
// A record as location, creator, size: comparable and printable.
using Row = std::tuple<uintptr_t, uint32_t, uint32_t>;

Reference TableContents(const RecordTable& table) {
    Reference contents;
    for (size_t i = 0; i < table.Capacity(); ++i) {
        const RecordSlot& slot = table.Slots()[i];
        if (slot.address != 0) contents[slot.address] = {slot.creator, slot.size};
    }
    return contents;
}

std::vector<Row> VisitedInOrder(const BlockStore::Frozen& frozen, bool withSnapshot) {
    std::vector<Row> visited;
    auto collect = [&](const BlockRecord& record) {
        visited.emplace_back(record.Location, record.Creator, record.Size);
    };
    if (withSnapshot)
        frozen.VisitInOrder(collect);
    else
        frozen.VisitInOrderWithoutSnapshot(collect);
    return visited;
}

std::vector<Row> AsRows(const Reference& reference) {
    std::vector<Row> rows;
    for (const auto& entry : reference) rows.emplace_back(entry.first, entry.second.first, entry.second.second);
    return rows;
}

// Long runs of insertions, replacements and removals, from empty to thousands of records
// and back (so the table grows and shrinks), each result checked against the map.
TEST(RecordTable, AgreesWithAnOrderedMapThroughGrowthAndShrinking) {
    struct Case {
        const char* what;
        uintptr_t stride;  // addresses are multiples of it in a range of `span` of them
        uintptr_t span;
    } cases[] = {
        {"heap-like neighbours", 16, 12000},
        {"few addresses, many replacements", 16, 5000},
        {"addresses far apart", uintptr_t{1} << (sizeof(void*) * 8 - 14), 9000},
    };
    for (const Case& c : cases) {
        std::mt19937 random(1234);
        RecordTable table;
        Reference reference;
        size_t peakCapacity = 0;
        // Rising phase favours insertions, falling phase removals.
        for (int phase = 0; phase < 2; ++phase) {
            for (int step = 0; step < 60000; ++step) {
                const uintptr_t address = c.stride * (1 + random() % c.span);
                const bool insert = (random() % 4 != 0) == (phase == 0);
                if (insert) {
                    const Stored stored{static_cast<uint32_t>(random()), static_cast<uint32_t>(random())};
                    ASSERT_TRUE(table.InsertOrReplace({address, stored.first, stored.second})) << c.what;
                    reference[address] = stored;
                } else {
                    ASSERT_EQ(table.Remove(address), reference.erase(address) == 1) << c.what << " step " << step;
                }
                ASSERT_EQ(table.Count(), reference.size()) << c.what;
                peakCapacity = std::max(peakCapacity, table.Capacity());
            }
            EXPECT_EQ(TableContents(table), reference) << c.what << " phase " << phase;
        }
        for (auto entry = reference.begin(); entry != reference.end(); entry = reference.erase(entry))
            ASSERT_TRUE(table.Remove(entry->first)) << c.what;
        EXPECT_EQ(table.Count(), 0u) << c.what;
        // Tables of 4096 slots and more give storage back as they empty.
        EXPECT_GE(peakCapacity, 4096u) << c.what;
        EXPECT_LT(table.Capacity(), 4096u) << c.what << ": an emptied large table kept its storage";
    }
}

// Storage that a test turns off: growth then fails as when the heap is exhausted.
bool g_storageAvailable = true;
void* SwitchableStorage(size_t bytes) { return g_storageAvailable ? ::operator new(bytes, std::nothrow) : nullptr; }

TEST(RecordTable, FailedGrowthKeepsEveryRecordAndStillReplacesAndRemoves) {
    g_storageAvailable = true;
    RecordTable table(&SwitchableStorage);
    Reference reference;
    ASSERT_TRUE(table.InsertOrReplace({16, 1, 1}));
    reference[16] = {1, 1};

    g_storageAvailable = false;
    uintptr_t address = 32;
    while (table.InsertOrReplace({address, 2, 2})) {
        reference[address] = {2, 2};
        address += 16;
        ASSERT_LT(address, 16u * 1000) << "the table never needed to grow";
    }
    EXPECT_EQ(TableContents(table), reference) << "a failed growth lost or changed records";
    EXPECT_EQ(table.Count(), reference.size());

    EXPECT_TRUE(table.InsertOrReplace({16, 9, 9})) << "a replacement needs no storage";
    reference[16] = {9, 9};
    EXPECT_TRUE(table.Remove(32));
    reference.erase(32);
    EXPECT_TRUE(table.InsertOrReplace({address, 3, 3})) << "the removal made room";
    reference[address] = {3, 3};
    EXPECT_EQ(TableContents(table), reference);

    g_storageAvailable = true;
    EXPECT_TRUE(table.InsertOrReplace({address + 16, 4, 4}));
    reference[address + 16] = {4, 4};
    EXPECT_EQ(TableContents(table), reference);
}

// Addresses spread over many 64 KiB regions, so that every shard holds some.
std::vector<uintptr_t> SpreadAddresses(int count, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<uintptr_t> addresses;
    for (int i = 0; i < count; ++i) addresses.push_back(16 * (1 + static_cast<uintptr_t>(random() % 50000000)));
    return addresses;
}

TEST(BlockStore, VisitsEveryRecordInAscendingOrderWithAndWithoutSnapshot) {
    struct Case {
        const char* what;
        int records;
    } cases[] = {
        {"empty", 0},
        {"one", 1},
        {"less than one selection batch", 100},
        {"several selection batches and a partial one", 1000},
    };
    for (const Case& c : cases) {
        BlockStore store;
        Reference reference;
        uint32_t creator = 0;
        for (uintptr_t address : SpreadAddresses(c.records, 99)) {
            ++creator;
            ASSERT_TRUE(store.InsertOrReplace({creator, address, creator * 3}));
            reference[address] = {creator, creator * 3};
        }
        BlockStore::Frozen frozen(store);
        EXPECT_EQ(frozen.Count(), reference.size()) << c.what;
        EXPECT_EQ(VisitedInOrder(frozen, true), AsRows(reference)) << c.what;
        EXPECT_EQ(VisitedInOrder(frozen, false), AsRows(reference)) << c.what;
    }
}

TEST(BlockStore, ASecondRecordForAnAddressReplacesTheFirst) {
    BlockStore store;
    ASSERT_TRUE(store.InsertOrReplace({1, 0x1000, 8}));
    ASSERT_TRUE(store.InsertOrReplace({2, 0x1000, 24}));
    BlockStore::Frozen frozen(store);
    EXPECT_EQ(frozen.Count(), 1u);
    EXPECT_EQ(VisitedInOrder(frozen, true), (std::vector<Row>{Row{0x1000, 2, 24}}));
}

// A callout (a message written with a shard's lock held) that calls back into the store
// on the same thread finds the lock it holds instead of waiting for itself.
TEST(BlockStore, ACalloutMayCallBackIntoTheStoreOnItsOwnThread) {
    BlockStore store;
    // Same 64 KiB region: the same shard as the absent address.
    const uintptr_t absent = 0x7000010, neighbour = 0x7000020, otherAbsent = 0x7000030;
    int callouts = 0;
    const bool removed = store.RemoveOr(absent, [&] {
        ++callouts;
        EXPECT_TRUE(store.InsertOrReplace({5, neighbour, 16}));
        // A callout inside the callout.
        EXPECT_FALSE(store.RemoveOr(otherAbsent, [&] { ++callouts; }));
        EXPECT_TRUE(store.RemoveOr(neighbour, [] { ADD_FAILURE() << "the neighbour was recorded"; }));
        EXPECT_TRUE(store.InsertOrReplace({6, neighbour, 32}));
    });
    EXPECT_FALSE(removed);
    EXPECT_EQ(callouts, 2);

    // A visit of a frozen store is a callout too.
    ASSERT_TRUE(store.InsertOrReplace({7, 0x9000000, 8}));
    {
        BlockStore::Frozen frozen(store);
        frozen.VisitInOrder([&](const BlockRecord& record) {
            if (record.Location == neighbour) {
                EXPECT_TRUE(store.RemoveOr(neighbour, [] {}));
            }
        });
    }
    BlockStore::Frozen frozen(store);
    EXPECT_EQ(VisitedInOrder(frozen, true), (std::vector<Row>{Row{0x9000000, 7, 8}}));
}

// While one thread holds the store frozen, the others' insertions and removals wait: two
// visits in a row see the same records, and the count matches what is visited.
TEST(BlockStoreConcurrency, AFrozenStoreDoesNotChangeWhileOtherThreadsWork) {
    constexpr int kWorkers = 3;
    BlockStore store;
    std::atomic<bool> stop{false};
    std::vector<std::thread> workers;
    for (int w = 0; w < kWorkers; ++w) {
        workers.emplace_back([&, w] {
            std::mt19937 random(static_cast<uint32_t>(w));
            std::vector<uintptr_t> mine = SpreadAddresses(400, static_cast<uint32_t>(100 + w));
            for (uintptr_t& address : mine) address = address * 4 + static_cast<uintptr_t>(w);  // disjoint
            while (!stop.load()) {
                const uintptr_t address = mine[random() % mine.size()];
                if (random() % 2)
                    store.InsertOrReplace({static_cast<uint32_t>(w), address, 1});
                else
                    store.RemoveOr(address, [] {});
            }
        });
    }
    for (int round = 0; round < 200; ++round) {
        BlockStore::Frozen frozen(store);
        const std::vector<Row> first = VisitedInOrder(frozen, true);
        EXPECT_EQ(first.size(), frozen.Count());
        std::this_thread::yield();
        EXPECT_EQ(VisitedInOrder(frozen, false), first) << "round " << round;
    }
    stop.store(true);
    for (std::thread& worker : workers) worker.join();
}

}  // namespace
