#include "otcull_scripts.h"

namespace tarvo::bench {
namespace {

std::string name(char letter, int number) {
    return letter + std::to_string(number);
}

}  // namespace

std::string churnScript(int count) {
    std::string script = "camera 0 lookat 50 0.5 -20  50 0.5 100  60 1 1 1000\n";
    for (int i = 0; i < count; ++i) {
        const int x = i % 100;
        const int z = i / 100;
        script += name('b', i) + " = OT_CreateBox(0, " + std::to_string(x) + ", 0, " +
                  std::to_string(z) + ", " + std::to_string(x + 1) + ", 1, " +
                  std::to_string(z + 1) + ")\n";
    }
    const int third = count / 3;
    for (int i = 0; i < third; ++i) {
        script += "OT_SetParent(" + name('b', third + i) + ", " + name('b', i) + ")\n";
    }
    script += "OT_UpdateFrustum()\nOT_CullAll()\n";
    const int middle = 2 * third + (count - 2 * third) / 2;
    for (int i = 2 * third; i < middle; ++i) script += "OT_Delete(" + name('b', i) + ")\n";
    for (int i = count - 1; i >= middle; --i) script += "OT_Delete(" + name('b', i) + ")\n";
    return script + "OT_DeleteAll()\n";
}

std::string zoneRowScript(int zones) {
    std::string script = "camera 0 lookat 1 1.5 5  20 1.5 5  75 1.5 0.1 1000\n";
    for (int i = 0; i < zones; ++i) {
        const std::string x = std::to_string(i * 10);
        const std::string x4 = std::to_string(i * 10 + 4);
        const std::string x5 = std::to_string(i * 10 + 5);
        const std::string x10 = std::to_string(i * 10 + 10);
        script += name('z', i) + " = OT_CreateBox(0, " + x + ", 0, 0, " + x10 + ", 3, 10, 2)\n";
        script += name('t', i) + " = OT_CreateBox(" + name('z', i) + ", " + x4 + ", 0, 4, " + x5 +
                  ", 1, 5)\n";
        script += "OT_AddObject(" + name('t', i) + ", " + std::to_string(i + 1) + ")\n";
        if (i == 0) continue;
        // The doorway straddles the wall between the two zones.
        script += name('d', i) + " = OT_CreateBox(" + name('z', i) + ", " +
                  std::to_string(i * 10 - 1) + ".8, 0, 4, " + x + ".2, 2.2, 6)\n";
        script += name('p', i) + " = OT_AddPortal(" + name('z', i - 1) + ", " + name('z', i) +
                  ", " + name('d', i) + ")\n";
    }
    return script + "OT_UpdateFrustum()\nOT_CullAll()\n";
}

}  // namespace tarvo::bench
