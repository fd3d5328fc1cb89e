// The blocks still held when the allocator is finalised. The blocks themselves are not
// freed: they still belong to whoever asked for them.
#include "memalloc/memory_allocator.h"
#include "platform/address_text.h"

namespace memalloc {

namespace {
// 69 equals signs.
constexpr char kSeparator[] = "=====================================================================";
static_assert(sizeof kSeparator - 1 == 69, "the separator is 69 characters long");
}  // namespace

void MemoryAllocator::ReportLeakedBlocks() {
    // Every shard stays locked for the whole report, so that it describes one state of the
    // store.
    BlockStore::Frozen frozen(blocks);
    const size_t count = frozen.Count();
    if (count == 0) return;
    logChannel.ReportError("%s", kSeparator);
    logChannel.ReportError("Detect memory leak, block count = %d", static_cast<int>(count));
    frozen.VisitInOrder([this](const BlockRecord& record) {
        logChannel.ReportError("Creator:0x%08x Size:%d Location:0x" ZORVI_ADDRESS_HEX, record.Creator,
                               static_cast<int>(record.Size),
                               static_cast<platform::AddressArgument>(record.Location));
    });
    logChannel.ReportError("%s", kSeparator);
}

}  // namespace memalloc
