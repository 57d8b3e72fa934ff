#include "otcull_scripts.h"

#include <array>

namespace tarvo::bench {
namespace {

std::string name(char letter, int number) {
    return letter + std::to_string(number);
}

// Tenths of a unit as script text: 198 is "19.8", 200 is "20".
std::string tenths(int value) {
    const std::string whole = std::to_string(value / 10);
    return value % 10 == 0 ? whole : whole + "." + std::to_string(value % 10);
}

using Range = std::array<int, 2>;      // tenths of a unit
using Extents = std::array<Range, 3>;  // x, y, z; the one along the line is unused

// A line of rooms, each a zone holding one item, a doorway (or a hatch, up a
// tower) into the next. Along the line each room takes `step`; across it the
// extents are fixed.
struct LineShape {
    int along;  // 0, 1 or 2: x, y or z
    int step;
    Range item;  // into the room, along the line
    Extents room;
    Extents itemAcross;
    Extents doorAcross;
    const char* camera;
};

std::string box(int along, Range span, Extents extents) {
    extents[along] = span;
    std::string text;
    for (const Range& r : extents) text += ", " + tenths(r[0]);
    for (const Range& r : extents) text += ", " + tenths(r[1]);
    return text;
}

std::string lineScript(int zones, const LineShape& s) {
    std::string script = s.camera;
    for (int i = 0; i < zones; ++i) {
        const int at = i * s.step;
        script +=
            name('z', i) + " = OT_CreateBox(0" + box(s.along, {at, at + s.step}, s.room) + ", 2)\n";
        script += name('t', i) + " = OT_CreateBox(" + name('z', i) +
                  box(s.along, {at + s.item[0], at + s.item[1]}, s.itemAcross) + ")\n";
        script += "OT_AddObject(" + name('t', i) + ", " + std::to_string(i + 1) + ")\n";
        if (i == 0) continue;
        // The doorway straddles the wall (or floor) between the two zones.
        script += name('d', i) + " = OT_CreateBox(" + name('z', i) +
                  box(s.along, {at - 2, at + 2}, s.doorAcross) + ")\n";
        script += name('p', i) + " = OT_AddPortal(" + name('z', i - 1) + ", " + name('z', i) +
                  ", " + name('d', i) + ")\n";
    }
    return script + "OT_UpdateFrustum()\nOT_CullAll()\n";
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
    return lineScript(zones, {0,
                              100,
                              {40, 50},
                              {{{}, {0, 30}, {0, 100}}},
                              {{{}, {0, 10}, {40, 50}}},
                              {{{}, {0, 22}, {40, 60}}},
                              "camera 0 lookat 1 1.5 5  20 1.5 5  75 1.5 0.1 1000\n"});
}

std::string zoneRowAlongZScript(int zones) {
    return lineScript(zones, {2,
                              100,
                              {40, 50},
                              {{{0, 100}, {0, 30}, {}}},
                              {{{40, 50}, {0, 10}, {}}},
                              {{{40, 60}, {0, 22}, {}}},
                              "camera 0 lookat 5 1.5 1  5 1.5 20  75 1.5 0.1 1000\n"});
}

// Floors 3 high, the camera on the ground floor looking up the hatches.
std::string zoneTowerScript(int zones) {
    return lineScript(zones, {1,
                              30,
                              {0, 10},
                              {{{0, 100}, {}, {0, 100}}},
                              {{{40, 50}, {}, {40, 50}}},
                              {{{40, 60}, {}, {40, 60}}},
                              "camera 0 lookat 5 0.5 4.5  5.2 30 5  75 1.5 0.1 1000\n"});
}

}  // namespace tarvo::bench
