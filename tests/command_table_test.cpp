#include "commands/command_table.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace tarvo {
namespace {

// Each row written as the host's compiler reads it from the string table: a
// '[' and the result's letter only with a result, "0" for no parameters, an
// 'L' for every parameter but a float; the kinds keep what the letters lose.
TEST(CommandTable, WritesDeclarationsAsTheHostCompilerReadsThem) {
    struct Case {
        std::string_view exportName, declaration, kinds;
    };
    const Case cases[] = {
        {"OT_UpdateFrustum1", "OT_UpdateFrustum%0%OT_UpdateFrustum1%", ""},
        {"OT_UpdateFrustum2", "OT_UpdateFrustum%L%OT_UpdateFrustum2%", "C"},
        {"OT_CreateBox1", "OT_CreateBox[%LLFFFFFFL%OT_CreateBox1%", "NFFFFFFR"},
        {"OT_CreateLimbSphere1", "OT_CreateLimbSphere[%LLLLL%OT_CreateLimbSphere1%", "NOMR"},
        {"OT_AddPortal", "OT_AddPortal[%LLLL%OT_AddPortal%", "NNN"},
        {"OT_GetRadius", "OT_GetRadius[%FL%OT_GetRadius%", "N"},
        {"OT_TestPoint", "OT_TestPoint[%DFFF%OT_TestPoint%", "FFF"},
        {"OT_RemoveLimb", "OT_RemoveLimb%LLL%OT_RemoveLimb%", "NOM"},
        {"OT_ShowAll2", "OT_ShowAll%0%OT_ShowAll2%", ""},
        {"OT_GetPortalB", "OT_GetPortalB[%LL%OT_GetPortalB%", "P"},
    };
    for (const Case& c : cases) {
        const CommandDeclaration* command = findCommandByExport(c.exportName);
        ASSERT_NE(command, nullptr) << c.exportName;
        EXPECT_EQ(command->declaration, c.declaration);
        EXPECT_EQ(command->parameterKinds, c.kinds) << c.exportName;
    }
    EXPECT_EQ(findCommandByExport("OT_CreateBox"), nullptr);
}

// Names shared by several declarations are overloads: their exports end in 1
// and 2 and differ by one parameter; a create command's longer form adds the
// role at the end.
TEST(CommandTable, OverloadPairsAreWellFormed) {
    std::map<std::string_view, std::vector<CommandSignature>> byName;
    std::set<std::string_view> exports;
    for (const auto& command : kCommandTable) {
        const CommandSignature sig = signatureOf(command);
        byName[sig.scriptName].push_back(sig);
        EXPECT_TRUE(exports.insert(sig.exportName).second) << sig.exportName;
        EXPECT_EQ(sig.exportName.substr(0, 3), "OT_");
    }
    const std::set<std::string_view> expected = {
        "OT_UpdateFrustum", "OT_CreateBox",       "OT_CreateSphere",    "OT_CreatePoint",
        "OT_HideAll",       "OT_ShowAll",         "OT_CreateObjectBox", "OT_CreateObjectSphere",
        "OT_CreateLimbBox", "OT_CreateLimbSphere"};
    std::set<std::string_view> overloaded;
    for (const auto& [name, sigs] : byName) {
        if (sigs.size() == 1) {
            EXPECT_EQ(sigs[0].exportName, name);
            continue;
        }
        ASSERT_EQ(sigs.size(), 2u) << name;
        overloaded.insert(name);
        const auto& longer =
            sigs[0].parameters.size() > sigs[1].parameters.size() ? sigs[0] : sigs[1];
        const auto& shorter = &longer == &sigs[0] ? sigs[1] : sigs[0];
        const std::set<std::string_view> pair = {sigs[0].exportName, sigs[1].exportName};
        EXPECT_EQ(pair,
                  (std::set<std::string_view>{std::string(name) + "1", std::string(name) + "2"}));
        EXPECT_EQ(longer.parameters.size(), shorter.parameters.size() + 1);
        EXPECT_EQ(longer.result, shorter.result);
        if (name.starts_with("OT_Create")) {
            EXPECT_EQ(longer.parameters, std::string(shorter.parameters) + "L") << name;
        }
    }
    EXPECT_EQ(overloaded, expected);
}

TEST(CommandTable, HostLinkRunsForCreationDeletionFrustumAndCulling) {
    for (const auto& command : kCommandTable) {
        const std::string_view name = signatureOf(command).scriptName;
        const bool expected = name.starts_with("OT_Create") || name == "OT_Delete" ||
                              name == "OT_DeleteAll" || name == "OT_UpdateFrustum" ||
                              name == "OT_CullAll" || name == "OT_Cull";
        EXPECT_EQ(command.runsHostLink, expected) << name;
    }
}

}  // namespace
}  // namespace tarvo
