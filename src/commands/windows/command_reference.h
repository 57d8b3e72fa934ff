// The user's reference of the script commands, as the README prints it: the
// command table's names, types and exports, with a name for each parameter
// and result. The names are documentation only; the build checks that every
// export has them and that their count matches its declaration.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "commands/command_table.h"

namespace tarvo {

struct CommandWords {
    std::string_view exportName;
    std::string_view parameters;  // comma-separated, one per declared parameter
    std::string_view result;      // empty when the command returns nothing
};

inline constexpr std::array<CommandWords, 61> kCommandWords = {{
    {"OT_UpdateFrustum1", "", ""},
    {"OT_UpdateFrustum2", "camera", ""},
    {"OT_CullAll", "", ""},
    {"OT_Cull", "start node", ""},
    {"OT_CreateBox1", "parent, xa, ya, za, xb, yb, zb, role", "node"},
    {"OT_CreateSphere1", "parent, x, y, z, radius, role", "node"},
    {"OT_CreatePoint1", "parent, x, y, z, role", "node"},
    {"OT_CreateBox2", "parent, xa, ya, za, xb, yb, zb", "node"},
    {"OT_CreateSphere2", "parent, x, y, z, radius", "node"},
    {"OT_CreatePoint2", "parent, x, y, z", "node"},
    {"OT_Delete", "node", ""},
    {"OT_DeleteAll", "", ""},
    {"OT_AddObject", "node, object", ""},
    {"OT_AddLimb", "node, object, limb", ""},
    {"OT_RemoveObject", "node, object", ""},
    {"OT_RemoveLimb", "node, object, limb", ""},
    {"OT_Visible", "node", "visible"},
    {"OT_Hide", "node", ""},
    {"OT_Show", "node", ""},
    {"OT_HideAll1", "node", ""},
    {"OT_ShowAll1", "node", ""},
    {"OT_HideAll2", "", ""},
    {"OT_ShowAll2", "", ""},
    {"OT_AddPortal", "zone A, zone B, portal node", "portal"},
    {"OT_RemovePortal", "portal", ""},
    {"OT_CreateObjectBox1", "parent, object, role", "node"},
    {"OT_CreateObjectSphere1", "parent, object, role", "node"},
    {"OT_CreateObjectBox2", "parent, object", "node"},
    {"OT_CreateObjectSphere2", "parent, object", "node"},
    {"OT_CreateLimbBox1", "parent, object, limb, role", "node"},
    {"OT_CreateLimbSphere1", "parent, object, limb, role", "node"},
    {"OT_CreateLimbBox2", "parent, object, limb", "node"},
    {"OT_CreateLimbSphere2", "parent, object, limb", "node"},
    {"OT_TestBox", "xa, ya, za, xb, yb, zb", "inside"},
    {"OT_TestSphere", "x, y, z, radius", "inside"},
    {"OT_TestPoint", "x, y, z", "inside"},
    {"OT_SetParent", "node, new parent", ""},
    {"OT_SetPosition", "node, x, y, z", ""},
    {"OT_SetBox", "node, xa, ya, za, xb, yb, zb", ""},
    {"OT_SetBoxSize", "node, width, height, depth", ""},
    {"OT_SetRadius", "node, radius", ""},
    {"OT_GetPositionX", "node", "x"},
    {"OT_GetPositionY", "node", "y"},
    {"OT_GetPositionZ", "node", "z"},
    {"OT_GetRadius", "node", "radius"},
    {"OT_GetBoxWidth", "node", "width"},
    {"OT_GetBoxHeight", "node", "height"},
    {"OT_GetBoxDepth", "node", "depth"},
    {"OT_GetBoxXA", "node", "xa"},
    {"OT_GetBoxYA", "node", "ya"},
    {"OT_GetBoxZA", "node", "za"},
    {"OT_GetBoxXB", "node", "xb"},
    {"OT_GetBoxYB", "node", "yb"},
    {"OT_GetBoxZB", "node", "zb"},
    {"OT_GetParent", "node", "parent"},
    {"OT_EnablePortal", "portal", ""},
    {"OT_DisablePortal", "portal", ""},
    {"OT_PortalEnabled", "portal", "enabled"},
    {"OT_GetPortalPortal", "portal", "portal node"},
    {"OT_GetPortalA", "portal", "zone A"},
    {"OT_GetPortalB", "portal", "zone B"},
}};

constexpr std::size_t wordCount(std::string_view list) {
    if (list.empty()) return 0;
    std::size_t count = 1;
    for (char c : list) count += c == ',' ? 1 : 0;
    return count;
}

consteval bool wordsMatchTable() {
    for (std::size_t i = 0; i < kCommandTable.size(); ++i) {
        const CommandSignature sig = signatureOf(kCommandTable[i]);
        const CommandWords& words = kCommandWords[i];
        if (words.exportName != sig.exportName) return false;
        if (wordCount(words.parameters) != sig.parameters.size()) return false;
        if (words.result.empty() != (sig.result == 0)) return false;
    }
    return true;
}
static_assert(wordsMatchTable(), "kCommandWords is out of step with the command table");

inline std::string_view typeName(char letter) {
    switch (letter) {
        case 'L':
            return "int";
        case 'F':
            return "float";
        case 'D':
            return "0/1";
        default:
            return "?";
    }
}

// One row per declaration, in identifier order.
inline std::string commandReference() {
    std::string out =
        "| Id | Command | Parameters | Result | Export | Host link |\n"
        "|---:|---|---|---|---|---|\n";
    for (std::size_t i = 0; i < kCommandTable.size(); ++i) {
        const CommandSignature sig = signatureOf(kCommandTable[i]);
        const CommandWords& words = kCommandWords[i];
        std::string parameters;
        std::string_view names = words.parameters;
        for (char letter : sig.parameters) {
            const std::size_t comma = names.find(',');
            const std::string_view name = names.substr(0, comma);
            names = comma == std::string_view::npos ? std::string_view() : names.substr(comma + 2);
            if (!parameters.empty()) parameters += ", ";
            parameters += std::string(name) + " `" + std::string(typeName(letter)) + "`";
        }
        std::string result;
        if (sig.result != 0) {
            result = std::string(words.result) + " `" + std::string(typeName(sig.result)) + "`";
        }
        out += "| " + std::to_string(kCommandTable[i].id) + " | `" + std::string(sig.scriptName) +
               "` | " + (parameters.empty() ? "none" : parameters) + " | " +
               (result.empty() ? "none" : result) + " | `" + std::string(sig.exportName) + "` | " +
               (kCommandTable[i].runsHostLink ? "yes" : "no") + " |\n";
    }
    return out;
}

}  // namespace tarvo
