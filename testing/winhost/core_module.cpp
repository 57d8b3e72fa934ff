// TarvoCore.dll of the stand-in engine: the global record.
#include "records.h"

namespace {
standin::GlobalRecord global{};
}

extern "C" unsigned long __cdecl standinGetGlobPtr() {
    return reinterpret_cast<unsigned long>(&global);
}
