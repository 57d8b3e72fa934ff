// The users' reference of the script commands: the table the README prints
// and the text that ships beside the DLL. The command table's names, types and
// exports, with a name for each parameter and result and a line on what the
// command does. The words are documentation only; the build checks that every
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
    std::string_view what;        // what it does, for script authors
};

inline constexpr std::array<CommandWords, 61> kCommandWords = {{
    {"OT_UpdateFrustum1", "", "",
     "Takes the view frustum from the engine's current camera; the next cull uses it."},
    {"OT_UpdateFrustum2", "camera", "",
     "Takes the view frustum from the given camera; a camera the engine does not have changes "
     "nothing."},
    {"OT_CullAll", "", "",
     "Culls the whole tree: floods from the zone that holds the camera through open portals in "
     "view, and shows or hides every object and limb accordingly."},
    {"OT_Cull", "start node", "",
     "One culling pass from the given node instead of the whole tree; node 0 is the same as "
     "OT_CullAll."},
    {"OT_CreateBox1", "parent, xa, ya, za, xb, yb, zb, role", "node",
     "Creates a box from two corners under the parent (0: at the top level) with the given role (1 "
     "normal, 2 zone; any other value takes no part in culling)."},
    {"OT_CreateSphere1", "parent, x, y, z, radius, role", "node",
     "Creates a sphere from its centre and radius under the parent, with the given role."},
    {"OT_CreatePoint1", "parent, x, y, z, role", "node",
     "Creates a point under the parent, with the given role."},
    {"OT_CreateBox2", "parent, xa, ya, za, xb, yb, zb", "node",
     "The box of OT_CreateBox with a role, with role 1 (normal)."},
    {"OT_CreateSphere2", "parent, x, y, z, radius", "node",
     "The sphere of OT_CreateSphere with a role, with role 1 (normal)."},
    {"OT_CreatePoint2", "parent, x, y, z", "node",
     "The point of OT_CreatePoint with a role, with role 1 (normal)."},
    {"OT_Delete", "node", "",
     "Deletes the node with its whole subtree and every portal that names one of those nodes; node "
     "0 deletes everything."},
    {"OT_DeleteAll", "", "", "Deletes every node and portal."},
    {"OT_AddObject", "node, object", "",
     "Hangs an engine object on the node: showing or hiding the node shows or hides the object."},
    {"OT_AddLimb", "node, object, limb", "", "Hangs one limb of an engine object on the node."},
    {"OT_RemoveObject", "node, object", "",
     "Takes the object off the node (every time it was added); its limbs stay."},
    {"OT_RemoveLimb", "node, object, limb", "",
     "Takes the object's limb off the node (every time it was added)."},
    {"OT_Visible", "node", "visible",
     "1 when the node was last shown, 0 when it was last hidden; a new node reads 1."},
    {"OT_Hide", "node", "", "Hides what hangs on this node only; its children are not touched."},
    {"OT_Show", "node", "", "Shows what hangs on this node only."},
    {"OT_HideAll1", "node", "",
     "Hides the node and its whole subtree; node 0 hides the whole tree."},
    {"OT_ShowAll1", "node", "",
     "Shows the node and its whole subtree; node 0 shows the whole tree."},
    {"OT_HideAll2", "", "", "Hides the whole tree."},
    {"OT_ShowAll2", "", "", "Shows the whole tree."},
    {"OT_AddPortal", "zone A, zone B, portal node", "portal",
     "Joins two zones by a portal (a door or window); the flood passes through it while it is "
     "enabled and its opening node is in view. An opening node 0 counts as always in view."},
    {"OT_RemovePortal", "portal", "", "Removes the portal."},
    {"OT_CreateObjectBox1", "parent, object, role", "node",
     "Creates a box fitted around an engine object, with the object hung on it, under the parent "
     "with the given role; 0 when the engine has no such object."},
    {"OT_CreateObjectSphere1", "parent, object, role", "node",
     "Creates a sphere fitted around an engine object, with the object hung on it; 0 when the "
     "engine has no such object."},
    {"OT_CreateObjectBox2", "parent, object", "node",
     "The box of OT_CreateObjectBox with a role, with role 1 (normal)."},
    {"OT_CreateObjectSphere2", "parent, object", "node",
     "The sphere of OT_CreateObjectSphere with a role, with role 1 (normal)."},
    {"OT_CreateLimbBox1", "parent, object, limb, role", "node",
     "Creates a box fitted around one limb of an engine object, with the limb hung on it; 0 when "
     "the engine has no such limb."},
    {"OT_CreateLimbSphere1", "parent, object, limb, role", "node",
     "Creates a sphere fitted around one limb of an engine object, with the limb hung on it; 0 "
     "when the engine has no such limb."},
    {"OT_CreateLimbBox2", "parent, object, limb", "node",
     "The box of OT_CreateLimbBox with a role, with role 1 (normal)."},
    {"OT_CreateLimbSphere2", "parent, object, limb", "node",
     "The sphere of OT_CreateLimbSphere with a role, with role 1 (normal)."},
    {"OT_TestBox", "xa, ya, za, xb, yb, zb", "inside",
     "1 when some of the box is inside the last frustum taken, else 0."},
    {"OT_TestSphere", "x, y, z, radius", "inside",
     "1 when some of the sphere is inside the last frustum taken, else 0."},
    {"OT_TestPoint", "x, y, z", "inside",
     "1 when the point is inside the last frustum taken, else 0."},
    {"OT_SetParent", "node, new parent", "",
     "Moves the node (with its subtree) under a new parent; 0 makes it a top-level node. A move "
     "under itself or its own subtree does nothing."},
    {"OT_SetPosition", "node, x, y, z", "",
     "Moves the node's volume so that its position is the point given; a box keeps its size."},
    {"OT_SetBox", "node, xa, ya, za, xb, yb, zb", "", "Sets the node's two box corners."},
    {"OT_SetBoxSize", "node, width, height, depth", "",
     "Resizes the node's box around its position."},
    {"OT_SetRadius", "node, radius", "", "Sets the node's radius."},
    {"OT_GetPositionX", "node", "x",
     "The x of the node's position (a box's centre, a sphere's or point's centre)."},
    {"OT_GetPositionY", "node", "y", "The y of the node's position."},
    {"OT_GetPositionZ", "node", "z", "The z of the node's position."},
    {"OT_GetRadius", "node", "radius", "The node's radius (0 for a box or point created as such)."},
    {"OT_GetBoxWidth", "node", "width", "The box's extent along x (xb - xa)."},
    {"OT_GetBoxHeight", "node", "height", "The box's extent along y (yb - ya)."},
    {"OT_GetBoxDepth", "node", "depth", "The box's extent along z (zb - za)."},
    {"OT_GetBoxXA", "node", "xa",
     "The x of the box's first corner (for a sphere or point: its centre)."},
    {"OT_GetBoxYA", "node", "ya", "The y of the box's first corner."},
    {"OT_GetBoxZA", "node", "za", "The z of the box's first corner."},
    {"OT_GetBoxXB", "node", "xb", "The x of the box's second corner."},
    {"OT_GetBoxYB", "node", "yb", "The y of the box's second corner."},
    {"OT_GetBoxZB", "node", "zb", "The z of the box's second corner."},
    {"OT_GetParent", "node", "parent", "The node's parent; 0 for a top-level node."},
    {"OT_EnablePortal", "portal", "", "Lets the flood pass through the portal again."},
    {"OT_DisablePortal", "portal", "",
     "Closes the portal: the flood does not pass through it (a shut door)."},
    {"OT_PortalEnabled", "portal", "enabled", "1 when the portal is enabled, else 0."},
    {"OT_GetPortalPortal", "portal", "portal node", "The portal's opening node."},
    {"OT_GetPortalA", "portal", "zone A", "The portal's first zone."},
    {"OT_GetPortalB", "portal", "zone B", "The portal's second zone."},
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

// "name type, name type", types in backticks for Markdown.
inline std::string parameterList(std::size_t index, bool markdown) {
    const char* quote = markdown ? "`" : "";
    std::string list;
    std::string_view names = kCommandWords[index].parameters;
    for (char letter : signatureOf(kCommandTable[index]).parameters) {
        const std::size_t comma = names.find(',');
        const std::string_view name = names.substr(0, comma);
        names = comma == std::string_view::npos ? std::string_view() : names.substr(comma + 2);
        if (!list.empty()) list += ", ";
        list += std::string(name) + " " + quote + std::string(typeName(letter)) + quote;
    }
    return list;
}

inline std::string resultText(std::size_t index, bool markdown) {
    const char* quote = markdown ? "`" : "";
    const char result = signatureOf(kCommandTable[index]).result;
    if (result == 0) return "";
    return std::string(kCommandWords[index].result) + " " + quote + std::string(typeName(result)) +
           quote;
}

// One row per declaration, in identifier order.
inline std::string commandReference() {
    std::string out =
        "| Id | Command | Parameters | Result | Export | Host link |\n"
        "|---:|---|---|---|---|---|\n";
    for (std::size_t i = 0; i < kCommandTable.size(); ++i) {
        const CommandSignature sig = signatureOf(kCommandTable[i]);
        const std::string parameters = parameterList(i, true);
        const std::string result = resultText(i, true);
        out += "| " + std::to_string(kCommandTable[i].id) + " | `" + std::string(sig.scriptName) +
               "` | " + (parameters.empty() ? "none" : parameters) + " | " +
               (result.empty() ? "none" : result) + " | `" + std::string(sig.exportName) + "` | " +
               (kCommandTable[i].runsHostLink ? "yes" : "no") + " |\n";
    }
    return out;
}

// The text indented by four spaces, its lines broken between words before
// column 80.
inline std::string indentedParagraph(std::string_view text) {
    constexpr std::size_t kWidth = 76;
    std::string out;
    std::size_t lineLength = 0;
    while (!text.empty()) {
        const std::size_t space = text.find(' ');
        const std::string_view word = text.substr(0, space);
        text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
        if (lineLength > 0 && lineLength + 1 + word.size() > kWidth) {
            out += "\n";
            lineLength = 0;
        }
        out += lineLength == 0 ? "    " : " ";
        out += word;
        lineLength += (lineLength == 0 ? 0 : 1) + word.size();
    }
    return out + "\n";
}

// The script authors' reference that ships beside the DLL: every command as
// a script calls it, with its types and what it does.
inline std::string commandReferenceText(std::string_view version) {
    std::string out =
        "TarvoCulling " + std::string(version) + ": the script commands\n\n" +
        indentedParagraph(
            "Types: int is a 32-bit signed integer (node and portal handles, object, "
            "limb and camera numbers, roles); float a 32-bit float; 0/1 a result that "
            "is 1 for yes and 0 for no. A handle names a node or a portal; 0 names "
            "none. A handle of something deleted names nothing: the command then "
            "does nothing and returns 0. Where a command has two parameter lists, "
            "the engine picks the one with as many arguments as the script gives.") +
        "\n";
    for (std::size_t i = 0; i < kCommandTable.size(); ++i) {
        const CommandSignature sig = signatureOf(kCommandTable[i]);
        const std::string result = resultText(i, false);
        out += std::string(sig.scriptName) + "(" + parameterList(i, false) + ")" +
               (result.empty() ? "" : " -> " + result) + "\n" +
               indentedParagraph(kCommandWords[i].what) + "\n";
    }
    return out;
}

}  // namespace tarvo
