// The Windows plug-in's entry point and its binding to the host's modules.
#include <windows.h>

#include "commands/state.h"
#include "host/windows/host_modules.h"

namespace {

using tarvo::win::EntryAddress;
using tarvo::win::ModuleHandle;

constexpr tarvo::win::ModuleFunctions kWindows{
    [](const char* file) -> ModuleHandle { return GetModuleHandleA(file); },
    [](const char* file) -> ModuleHandle { return LoadLibraryA(file); },
    [](ModuleHandle module) { FreeLibrary(static_cast<HMODULE>(module)); },
    [](ModuleHandle module, const char* name) {
        return reinterpret_cast<EntryAddress>(GetProcAddress(static_cast<HMODULE>(module), name));
    },
};

tarvo::win::HostModules hostModules(kWindows);

// Runs with the other static constructors, before the first command: it only
// copies function pointers. The host is first reached by the first command
// whose declaration asks for the host link.
struct BindAtLoad {
    BindAtLoad() {
        const OtHostApi api = hostModules.api();
        tarvo::cullingState().host().bind(&api);
    }
} bindAtLoad;

}  // namespace

// Thread notifications would only cost time: the plug-in keeps no per-thread
// state and all commands run on the host's script thread.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
    return TRUE;
}
