// The factory module's exports: CreateComponent, as every module of the framework has it,
// and the journal for whoever wants to see what the factory was told.
#include <string>

#include "component_factory.h"
#include "journal.h"
#include "zorfact_exports.h"

zorvi::IComponent* CreateComponent(zorvi::ComponentId componentId, zorvi::CreatorId creatorId) {
    zorfact::JournalLine("CreateComponent " + std::to_string(componentId) + " " + std::to_string(creatorId));
    return componentId == zorvi::kComponentFactoryId ? &zorfact::Factory() : nullptr;
}

int32_t ZorFactJournal(char* buffer, int32_t size) { return zorfact::CopyJournal(buffer, size); }

void ZorFactClearJournal() { zorfact::ClearJournal(); }
