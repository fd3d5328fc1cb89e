#include "module/entry.h"

#include "module/live_registry.h"
#include "module/module_state.h"

namespace module {

int ModuleEntryPoint(zorvi::ModuleHandle instance, Notification notification) {
    switch (notification) {
        case Notification::ProcessAttach:
            State().moduleHandle = instance;
            EnsureModuleLock();  // static start-up normally made it already
            break;
        case Notification::ProcessDetach:
            // Runs before the static destructors free the registry's storage.
            if (State().lockReady) {
                ReportLeakedComponents();
                DeleteModuleLock();
            }
            break;
        case Notification::ThreadAttach:
        case Notification::ThreadDetach:
            break;
    }
    return 1;
}

}  // namespace module
