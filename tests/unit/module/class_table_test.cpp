#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "module/class_table.h"
#include "zorvi/exports.h"

namespace {

using module::ComponentClassTable;

zorvi::IComponent* CreateA() { return nullptr; }
zorvi::IComponent* CreateB() { return nullptr; }

// The table is zero-initialised static storage in the module; tests build their own.
std::unique_ptr<ComponentClassTable> EmptyTable() {
    return std::unique_ptr<ComponentClassTable>(new ComponentClassTable());
}

TEST(ComponentClassTableTest, RefusesIdZeroNullFunctionsAndRowsBeyond512) {
    auto table = EmptyTable();
    table->Register(0, &CreateA);
    table->Register(5, nullptr);
    EXPECT_EQ(table->Count(), 0);
    for (int id = 1; id <= ComponentClassTable::kCapacity; ++id) table->Register(id, &CreateA);
    EXPECT_EQ(table->Count(), 512);
    table->Register(999, &CreateB);
    EXPECT_EQ(table->Count(), 512);
    EXPECT_EQ(table->Find(999), nullptr);
    EXPECT_EQ(table->ListIds(nullptr, 0), 512);
}

TEST(ComponentClassTableTest, SecondRegistrationOfAnIdIsListedButNeverFound) {
    auto table = EmptyTable();
    table->Register(7, &CreateA);
    table->Register(7, &CreateB);
    int32_t ids[4] = {0, 0, 0, 0};
    EXPECT_EQ(table->ListIds(ids, 4), 2);
    EXPECT_EQ(ids[0], 7);
    EXPECT_EQ(ids[1], 7);
    EXPECT_EQ(ids[2], 0);
    EXPECT_EQ(table->Find(7), &CreateA);
    EXPECT_EQ(table->Find(8), nullptr);
}

TEST(ComponentClassTableTest, ListIdsStopsAtTheCapacity) {
    auto table = EmptyTable();
    for (int id : {3, 4, 5}) table->Register(id, &CreateA);
    struct Case {
        uint32_t capacity;
        std::vector<int32_t> written;
    } cases[] = {{0, {-1, -1, -1, -1}}, {2, {3, 4, -1, -1}}, {4, {3, 4, 5, -1}}};
    for (const Case& c : cases) {
        std::vector<int32_t> ids(4, -1);
        EXPECT_EQ(table->ListIds(ids.data(), c.capacity), 3);
        EXPECT_EQ(ids, c.written) << c.capacity;
    }
}

TEST(GetComponentIDsTest, NullArrayOnlyCountsWhateverTheCapacity) {
    int32_t count = GetComponentIDs(nullptr, 0);
    EXPECT_EQ(GetComponentIDs(nullptr, 4), count);
    std::vector<int32_t> ids(static_cast<size_t>(count) + 1, 0);
    EXPECT_EQ(GetComponentIDs(ids.data(), static_cast<uint32_t>(ids.size())), count);
}

}  // namespace
