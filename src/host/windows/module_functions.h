// The four Windows module calls the host link makes, as a table so that the
// link's logic can run against stand-in modules as well as against Windows.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define TARVO_HOST_CALL __cdecl
#else
#define TARVO_HOST_CALL
#endif

namespace tarvo::win {

using ModuleHandle = void*;
using EntryAddress = void (*)();

struct ModuleFunctions {
    // GetModuleHandleA: a module the process already has, never loading one.
    ModuleHandle (*findLoaded)(const char* file);
    // LoadLibraryA and FreeLibrary: only ever paired, for one lookup.
    ModuleHandle (*load)(const char* file);
    void (*release)(ModuleHandle module);
    // GetProcAddress by decorated name.
    EntryAddress (*lookUp)(ModuleHandle module, const char* name);
};

}  // namespace tarvo::win
