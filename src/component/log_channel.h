// A component's error log. The factory module configures which outputs are on, the
// channel's name and the log file with the lock that guards it; a line then goes to the
// debugger output, to that file, to both or to neither. Lines read
// "<level>_<name> <message>\n": the time stamp is formatted but never emitted.
//
// The channel never opens, closes or owns the file or its lock, and it keeps no pointer
// to the LogTarget through which the factory handed them over.
#pragma once

#include <cstdarg>
#include <cstdint>

#include "platform/platform.h"
#include "zorvi/factory.h"
#include "zorvi/log_channel.h"

namespace component {

// The factory module's file name on every target; only a module already loaded under
// this name configures channels.
constexpr char kFactoryFileName[] = "ZorFact.dll";

class ComponentLogChannel {
public:
    // Both outputs off and no file, then configured by an already loaded factory module.
    explicit ComponentLogChannel(zorvi::ComponentId ownerId);
    ComponentLogChannel(const ComponentLogChannel&) = delete;
    ComponentLogChannel& operator=(const ComponentLogChannel&) = delete;

    // One line at level "Error". With both outputs off nothing is formatted.
    void ReportError(const char* format, ...) const __attribute__((format(printf, 2, 3)));

    // The line to the outputs whose flag is non-zero.
    void EmitLine(int32_t toDebugger, int32_t toFile, const char* level, const char* format,
                  va_list args) const;
    // Formats time stamp, level, name and message into `buffer` (cut at size - 1, always
    // terminated) and returns where the emitted part begins: past the 24-character time
    // stamp when the buffer holds more than that.
    const char* FormatLine(char* buffer, int32_t size, const char* level, const char* format,
                           va_list args) const;
    // Appends the text at the end of the log file, inside the file's lock when there is one.
    void AppendToFile(const char* text) const;

    // Asks an already loaded factory module to fill the record; unchanged when none is.
    void ConfigureFromFactory(zorvi::ComponentId ownerId);
    // Lets `factory` fill the record and takes over the file and lock it hands back. The
    // factory object is not released.
    void ConfigureWith(zorvi::IComponentFactory* factory, zorvi::ComponentId ownerId);
    // The ComponentFactory of the module loaded under kFactoryFileName; loads nothing.
    static zorvi::IComponentFactory* FindLoadedFactory();
    // The ComponentFactory that `module` creates, or null (a null module is silently null).
    static zorvi::IComponentFactory* FactoryFromModule(platform::ModuleHandle module);

    // The record the factory fills; its layout is an exchange format.
    zorvi::LogChannel& Record() { return record_; }
    const zorvi::LogChannel& Record() const { return record_; }

private:
    void Reset();

    zorvi::LogChannel record_;
};

}  // namespace component
