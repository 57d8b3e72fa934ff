#include "commands/command_table.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace tarvo {
namespace {

TEST(CommandTable, HoldsSixtyOneDeclarationsInIdentifierOrder) {
    for (size_t i = 0; i < kCommandTable.size(); ++i) {
        EXPECT_EQ(kCommandTable[i].id, static_cast<int>(i) + 1);
        EXPECT_TRUE(parseDeclaration(kCommandTable[i].declaration).has_value())
            << kCommandTable[i].declaration;
    }
}

TEST(CommandTable, ParsesDeclarationsIntoTheirParts) {
    struct Case {
        std::string_view text;
        std::string_view scriptName, exportName;
        char result;
        std::string_view parameters;
    };
    const Case cases[] = {
        {"OT_UpdateFrustum%0%OT_UpdateFrustum1%", "OT_UpdateFrustum", "OT_UpdateFrustum1", 0, ""},
        {"OT_CreateBox[%LLFFFFFFL%OT_CreateBox1%", "OT_CreateBox", "OT_CreateBox1", 'L',
         "LFFFFFFL"},
        {"OT_GetRadius[%FL%OT_GetRadius%", "OT_GetRadius", "OT_GetRadius", 'F', "L"},
        {"OT_TestPoint[%DFFF%OT_TestPoint%", "OT_TestPoint", "OT_TestPoint", 'D', "FFF"},
        {"OT_AddLimb%LLL%OT_AddLimb%", "OT_AddLimb", "OT_AddLimb", 0, "LLL"},
    };
    for (const Case& c : cases) {
        const auto sig = parseDeclaration(c.text);
        ASSERT_TRUE(sig.has_value()) << c.text;
        EXPECT_EQ(sig->scriptName, c.scriptName);
        EXPECT_EQ(sig->exportName, c.exportName);
        EXPECT_EQ(sig->result, c.result);
        EXPECT_EQ(sig->parameters, c.parameters);
    }
    for (std::string_view bad :
         {"", "OT_X", "OT_X%%OT_X%", "OT_X%Q%OT_X%", "OT_X[%Z%OT_X%", "OT_X%L%OT_X", "OT_X%L%%"}) {
        EXPECT_FALSE(parseDeclaration(bad).has_value()) << bad;
    }
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
