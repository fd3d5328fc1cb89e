#include <windows.h>

#include <atomic>

#include "debug_capture.h"

namespace testsupport {

namespace {
constexpr DWORD kDebugPrintException = 0x40010006;  // DBG_PRINTEXCEPTION_C
std::atomic<DebugCapture*> g_active{nullptr};
PVOID g_handler = nullptr;

LONG CALLBACK OnException(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (record->ExceptionCode != kDebugPrintException || record->NumberParameters < 2)
        return EXCEPTION_CONTINUE_SEARCH;
    if (DebugCapture* capture = g_active.load())
        capture->Add(reinterpret_cast<const char*>(record->ExceptionInformation[1]));
    return EXCEPTION_CONTINUE_EXECUTION;
}
}  // namespace

void DebugCapture::Install() {
    g_active.store(this);
    g_handler = AddVectoredExceptionHandler(1, &OnException);
}

void DebugCapture::Uninstall() {
    RemoveVectoredExceptionHandler(g_handler);
    g_handler = nullptr;
    g_active.store(nullptr);
}

}  // namespace testsupport
