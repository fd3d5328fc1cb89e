// The DLL's entry point. The runtime runs the module's static initialisers before it and
// the at-exit list (static destructors) after its process-detach call.
#include <windows.h>

#include "module/entry.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    module::Notification notification;
    switch (reason) {
        case DLL_PROCESS_ATTACH: notification = module::Notification::ProcessAttach; break;
        case DLL_PROCESS_DETACH: notification = module::Notification::ProcessDetach; break;
        case DLL_THREAD_ATTACH: notification = module::Notification::ThreadAttach; break;
        case DLL_THREAD_DETACH: notification = module::Notification::ThreadDetach; break;
        default: return TRUE;
    }
    return module::ModuleEntryPoint(instance, notification) ? TRUE : FALSE;
}
