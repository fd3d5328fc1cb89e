#include "component_factory.h"

#include <cstring>
#include <string>

#include "factory_service.h"
#include "journal.h"
#include "log_settings.h"
#include "platform/platform.h"
#include "shared_log_file.h"

namespace zorfact {

namespace {
void CopyName(const std::string& name, char (&field)[sizeof(zorvi::LogChannel::name)]) {
    memset(field, 0, sizeof field);
    memcpy(field, name.data(), name.size() < sizeof field ? name.size() : sizeof field - 1);
}

// A file that cannot be opened turns file output off, so that the failure is seen once
// here rather than lost line by line.
zorvi::LogTarget* OpenTarget(const LogSettings& settings) {
    zorvi::LogTarget* target = SharedLogTarget(settings.logFile);
    if (!target) {
        std::string message = "ZorFact: cannot open the log file " + settings.logFile + "\n";
        platform::DebugOutput(message.c_str());
    }
    return target;
}
}  // namespace

zorvi::ComponentId ComponentFactory::GetComponentID() { return zorvi::kComponentFactoryId; }
int32_t ComponentFactory::GetClassConstant() { return 1; }

void ComponentFactory::Release(int32_t force) { JournalLine("FactoryRelease " + std::to_string(force)); }

int32_t ComponentFactory::GetFreeMapFlag() { return freeMapFlag_.load(); }

void ComponentFactory::SetFreeMapFlag(int32_t value) {
    freeMapFlag_.store(value);
    JournalLine("FactorySetFreeMapFlag " + std::to_string(value));
}

zorvi::IFactoryService* ComponentFactory::GetFactoryService(zorvi::ComponentId componentId,
                                                            const char* registryPath) {
    JournalLine("GetFactoryService " + std::to_string(componentId) + " " + TextOrNull(registryPath));
    return componentId == zorvi::kComponentFactoryId ? &Service() : nullptr;
}

int32_t ComponentFactory::ConfigureLogChannel(const char* registryPath, zorvi::ComponentId ownerId,
                                              zorvi::LogChannel* channel, int32_t* fileOutput,
                                              zorvi::LogTarget** target) {
    JournalLine("ConfigureLogChannel " + std::to_string(ownerId) + " " + TextOrNull(registryPath));
    if (!channel) return 0;
    LogSettings settings = ReadLogSettings(registryPath, ownerId);
    zorvi::LogTarget* opened = settings.fileOutput ? OpenTarget(settings) : nullptr;
    channel->debugOutput = settings.debugOutput ? 1 : 0;
    if (fileOutput) *fileOutput = opened ? 1 : 0;
    CopyName(settings.name, channel->name);
    if (target) *target = opened;
    return 1;
}

ComponentFactory& Factory() {
    static ComponentFactory factory;
    return factory;
}

}  // namespace zorfact
