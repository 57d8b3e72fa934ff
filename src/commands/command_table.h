// The one list of script commands: each declaration exactly as the host's
// script compiler reads it from the plug-in's string table, with whether the
// command runs the host link first. The Windows resource, the exports'
// signature checks, the script runner and the tests all read this table.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tarvo {

struct CommandDeclaration {
    int id;                        // string identifier in the resource, 1 to 61
    std::string_view declaration;  // "NAME[%TYPES%EXPORT%"
    bool runsHostLink;
};

inline constexpr std::array<CommandDeclaration, 61> kCommandTable = {{
    {1, "OT_UpdateFrustum%0%OT_UpdateFrustum1%", true},
    {2, "OT_UpdateFrustum%L%OT_UpdateFrustum2%", true},
    {3, "OT_CullAll%0%OT_CullAll%", true},
    {4, "OT_Cull%L%OT_Cull%", true},
    {5, "OT_CreateBox[%LLFFFFFFL%OT_CreateBox1%", true},
    {6, "OT_CreateSphere[%LLFFFFL%OT_CreateSphere1%", true},
    {7, "OT_CreatePoint[%LLFFFL%OT_CreatePoint1%", true},
    {8, "OT_CreateBox[%LLFFFFFF%OT_CreateBox2%", true},
    {9, "OT_CreateSphere[%LLFFFF%OT_CreateSphere2%", true},
    {10, "OT_CreatePoint[%LLFFF%OT_CreatePoint2%", true},
    {11, "OT_Delete%L%OT_Delete%", true},
    {12, "OT_DeleteAll%0%OT_DeleteAll%", true},
    {13, "OT_AddObject%LL%OT_AddObject%", false},
    {14, "OT_AddLimb%LLL%OT_AddLimb%", false},
    {15, "OT_RemoveObject%LL%OT_RemoveObject%", false},
    {16, "OT_RemoveLimb%LLL%OT_RemoveLimb%", false},
    {17, "OT_Visible[%DL%OT_Visible%", false},
    {18, "OT_Hide%L%OT_Hide%", false},
    {19, "OT_Show%L%OT_Show%", false},
    {20, "OT_HideAll%L%OT_HideAll1%", false},
    {21, "OT_ShowAll%L%OT_ShowAll1%", false},
    {22, "OT_HideAll%0%OT_HideAll2%", false},
    {23, "OT_ShowAll%0%OT_ShowAll2%", false},
    {24, "OT_AddPortal[%LLLL%OT_AddPortal%", false},
    {25, "OT_RemovePortal%L%OT_RemovePortal%", false},
    {26, "OT_CreateObjectBox[%LLLL%OT_CreateObjectBox1%", true},
    {27, "OT_CreateObjectSphere[%LLLL%OT_CreateObjectSphere1%", true},
    {28, "OT_CreateObjectBox[%LLL%OT_CreateObjectBox2%", true},
    {29, "OT_CreateObjectSphere[%LLL%OT_CreateObjectSphere2%", true},
    {30, "OT_CreateLimbBox[%LLLLL%OT_CreateLimbBox1%", true},
    {31, "OT_CreateLimbSphere[%LLLLL%OT_CreateLimbSphere1%", true},
    {32, "OT_CreateLimbBox[%LLLL%OT_CreateLimbBox2%", true},
    {33, "OT_CreateLimbSphere[%LLLL%OT_CreateLimbSphere2%", true},
    {34, "OT_TestBox[%DFFFFFF%OT_TestBox%", false},
    {35, "OT_TestSphere[%DFFFF%OT_TestSphere%", false},
    {36, "OT_TestPoint[%DFFF%OT_TestPoint%", false},
    {37, "OT_SetParent%LL%OT_SetParent%", false},
    {38, "OT_SetPosition%LFFF%OT_SetPosition%", false},
    {39, "OT_SetBox%LFFFFFF%OT_SetBox%", false},
    {40, "OT_SetBoxSize%LFFF%OT_SetBoxSize%", false},
    {41, "OT_SetRadius%LF%OT_SetRadius%", false},
    {42, "OT_GetPositionX[%FL%OT_GetPositionX%", false},
    {43, "OT_GetPositionY[%FL%OT_GetPositionY%", false},
    {44, "OT_GetPositionZ[%FL%OT_GetPositionZ%", false},
    {45, "OT_GetRadius[%FL%OT_GetRadius%", false},
    {46, "OT_GetBoxWidth[%FL%OT_GetBoxWidth%", false},
    {47, "OT_GetBoxHeight[%FL%OT_GetBoxHeight%", false},
    {48, "OT_GetBoxDepth[%FL%OT_GetBoxDepth%", false},
    {49, "OT_GetBoxXA[%FL%OT_GetBoxXA%", false},
    {50, "OT_GetBoxYA[%FL%OT_GetBoxYA%", false},
    {51, "OT_GetBoxZA[%FL%OT_GetBoxZA%", false},
    {52, "OT_GetBoxXB[%FL%OT_GetBoxXB%", false},
    {53, "OT_GetBoxYB[%FL%OT_GetBoxYB%", false},
    {54, "OT_GetBoxZB[%FL%OT_GetBoxZB%", false},
    {55, "OT_GetParent[%LL%OT_GetParent%", false},
    {56, "OT_EnablePortal%L%OT_EnablePortal%", false},
    {57, "OT_DisablePortal%L%OT_DisablePortal%", false},
    {58, "OT_PortalEnabled[%DL%OT_PortalEnabled%", false},
    {59, "OT_GetPortalPortal[%LL%OT_GetPortalPortal%", false},
    {60, "OT_GetPortalA[%LL%OT_GetPortalA%", false},
    {61, "OT_GetPortalB[%LL%OT_GetPortalB%", false},
}};

// A declaration taken apart: "OT_CreateBox[%LLFFFFFF%OT_CreateBox2%" has script
// name OT_CreateBox, result 'L', parameters "LFFFFFF", export OT_CreateBox2.
struct CommandSignature {
    std::string_view scriptName;
    std::string_view exportName;
    char result;                  // 'L', 'F', 'D', or 0 for none
    std::string_view parameters;  // "" for none (the declaration's "0")
};

constexpr std::optional<CommandSignature> parseDeclaration(std::string_view text) {
    const auto firstPercent = text.find('%');
    if (firstPercent == std::string_view::npos || text.empty() || text.back() != '%') {
        return std::nullopt;
    }
    const bool returnsValue = firstPercent > 0 && text[firstPercent - 1] == '[';
    const auto secondPercent = text.find('%', firstPercent + 1);
    if (secondPercent == std::string_view::npos || secondPercent + 1 >= text.size() - 1) {
        return std::nullopt;
    }
    CommandSignature sig{};
    sig.scriptName = text.substr(0, firstPercent - (returnsValue ? 1 : 0));
    std::string_view letters = text.substr(firstPercent + 1, secondPercent - firstPercent - 1);
    sig.exportName = text.substr(secondPercent + 1, text.size() - secondPercent - 2);
    if (letters.empty() || sig.scriptName.empty() ||
        sig.exportName.find('%') != std::string_view::npos) {
        return std::nullopt;
    }
    if (returnsValue) {
        sig.result = letters.front();
        letters.remove_prefix(1);
    }
    if (letters == "0") letters = {};
    for (char c : letters) {
        if (c != 'L' && c != 'F') return std::nullopt;
    }
    if (sig.result != 0 && sig.result != 'L' && sig.result != 'F' && sig.result != 'D') {
        return std::nullopt;
    }
    sig.parameters = letters;
    return sig;
}

constexpr CommandSignature signatureOf(const CommandDeclaration& command) {
    return *parseDeclaration(command.declaration);
}

constexpr const CommandDeclaration* findCommandByExport(std::string_view exportName) {
    for (const auto& command : kCommandTable) {
        if (signatureOf(command).exportName == exportName) return &command;
    }
    return nullptr;
}

// Every integer result in the table names a node or a portal.
constexpr bool returnsHandle(const CommandDeclaration& command) {
    return signatureOf(command).result == 'L';
}

}  // namespace tarvo
