// The command layer: every export's handle-0 rule, its host link, its result
// encoding, and what the shared library exports.
#include <array>
#include <cstdio>
#include <map>
#include <set>
#include <string>

#include "commands/command_table.h"
#include "commands/invoke.h"
#include "fixture.h"

namespace tarvo {
namespace {

// Everything a command could change, in comparable form.
struct Snapshot {
    std::vector<std::string> calls;
    std::vector<std::array<uint32_t, 9>> nodes;  // handle, parent, visible, corners
    std::vector<std::array<int32_t, 4>> portals;
    bool operator==(const Snapshot&) const = default;
};

class CommandsTest : public PluginTest {
protected:
    // A zone with an attached object, a child opening with an attached limb,
    // and a portal from the zone out to the top level through that opening.
    void buildScene() {
        lookAlongZ(0, 0, 0, 0);
        OT_UpdateFrustum1();
        const int32_t zone = OT_CreateBox1(0, -5, -5, -5, 5, 5, 5, 2);
        OT_AddObject(zone, 7);
        const int32_t door = OT_CreateBox2(zone, -1, -1, 4, 1, 1, 6);
        OT_AddLimb(door, 8, 2);
        OT_AddPortal(zone, 0, door);
        OT_CreateSphere2(0, 0, 0, -20, 1);
        calls();
    }

    Snapshot snapshot() {
        Snapshot s;
        s.calls = calls();
        const Tree& tree = cullingState();
        for (NodeIndex i = 1; i < tree.nodeSlotCount(); ++i) {
            const OtNode& n = tree.node(i);
            if (n.state != SlotState::kLive) continue;
            s.nodes.push_back(
                {static_cast<uint32_t>(tree.nodeHandle(i)), n.parent, n.visible,
                 std::bit_cast<uint32_t>(n.cornerA.x), std::bit_cast<uint32_t>(n.cornerA.y),
                 std::bit_cast<uint32_t>(n.cornerA.z), std::bit_cast<uint32_t>(n.cornerB.x),
                 std::bit_cast<uint32_t>(n.radius), static_cast<uint32_t>(n.role)});
        }
        for (PortalIndex i = 1; i < tree.portalSlotCount(); ++i) {
            const OtPortal& p = tree.portal(i);
            if (p.state != SlotState::kLive) continue;
            s.portals.push_back({static_cast<int32_t>(p.zoneA), static_cast<int32_t>(p.zoneB),
                                 static_cast<int32_t>(p.portalNode), p.disabled});
        }
        return s;
    }

    // Runs one command with every argument 0 on a fresh scene.
    std::pair<int32_t, Snapshot> runWithZeros(const CommandDeclaration& command) {
        resetCullingState();
        buildScene();
        const std::vector<uint32_t> zeros(signatureOf(command).parameters.size(), 0);
        const int32_t result = invokeCommand(command.id, zeros);
        return {result, snapshot()};
    }
};

TEST_F(CommandsTest, HandleZeroMeansNoneOrEverythingAsEachCommandSays) {
    // Commands whose zero means "the whole tree" act as their argument-less twin;
    // creation with parent 0 adds a top-level node; a portal may have every
    // side absent; the rest change nothing.
    const std::map<std::string_view, std::string_view> sameAs = {
        {"OT_Cull", "OT_CullAll"},
        {"OT_Delete", "OT_DeleteAll"},
        {"OT_HideAll1", "OT_HideAll2"},
        {"OT_ShowAll1", "OT_ShowAll2"},
    };
    const std::set<std::string_view> withoutHandles = {
        "OT_UpdateFrustum1", "OT_UpdateFrustum2", "OT_CullAll",    "OT_DeleteAll", "OT_HideAll2",
        "OT_ShowAll2",       "OT_TestBox",        "OT_TestSphere", "OT_TestPoint"};
    resetCullingState();
    buildScene();
    const Snapshot untouched = snapshot();
    for (const CommandDeclaration& command : kCommandTable) {
        const CommandSignature sig = signatureOf(command);
        SCOPED_TRACE(sig.exportName);
        if (withoutHandles.count(sig.exportName)) continue;
        const auto [result, after] = runWithZeros(command);
        if (const auto twin = sameAs.find(sig.exportName); twin != sameAs.end()) {
            EXPECT_EQ(after, runWithZeros(*findCommandByExport(twin->second)).second);
            EXPECT_NE(after, untouched);
        } else if (sig.exportName.starts_with("OT_Create")) {
            const bool fitted = sig.exportName.find("Object") != std::string_view::npos ||
                                sig.exportName.find("Limb") != std::string_view::npos;
            // Object 0 does not exist in this host, so fitting creates nothing.
            EXPECT_EQ(after.nodes.size(), untouched.nodes.size() + (fitted ? 0 : 1));
            EXPECT_EQ(result != 0, !fitted);
            if (result != 0) {
                EXPECT_EQ(OT_GetParent(result), 0);
            }
        } else if (sig.exportName == "OT_AddPortal") {
            // Every side absent: a portal that stands in no list.
            EXPECT_NE(result, 0);
            EXPECT_EQ(after.portals.size(), untouched.portals.size() + 1);
            EXPECT_EQ(after.nodes, untouched.nodes);
        } else {
            EXPECT_EQ(result, 0);
            EXPECT_EQ(after, untouched);
        }
    }
}

TEST_F(CommandsTest, OnlyCommandsDeclaredWithLinkRunTheHostLink) {
    for (const CommandDeclaration& command : kCommandTable) {
        SCOPED_TRACE(command.declaration);
        resetCullingState();
        buildScene();
        const uint64_t before = host.linkCount();
        const std::vector<uint32_t> zeros(signatureOf(command).parameters.size(), 0);
        invokeCommand(command.id, zeros);
        EXPECT_EQ(host.linkCount() - before, command.runsHostLink ? 1u : 0u);
    }
}

TEST_F(CommandsTest, ResultsAreBitPatternsAndExactBooleans) {
    const int32_t s = OT_CreateSphere1(0, 1, 2, 3, 2.5f, 7);
    EXPECT_EQ(OT_GetRadius(s), std::bit_cast<int32_t>(2.5f));
    EXPECT_EQ(OT_GetPositionX(s), std::bit_cast<int32_t>(1.0f));
    EXPECT_EQ(OT_GetBoxXB(s), 0);
    EXPECT_EQ(cullingState().node(cullingState().nodeIndex(s)).role, 7);
    const int32_t b = OT_CreateBox2(0, 0, 0, 0, 1, 1, 1);
    EXPECT_EQ(cullingState().node(cullingState().nodeIndex(b)).role, 1);
    OT_Hide(b);
    EXPECT_EQ(OT_Visible(b), 0);
    OT_Show(b);
    EXPECT_EQ(OT_Visible(b), 1);
    const std::array<uint32_t, 3> point = {0, 0, std::bit_cast<uint32_t>(-3.0f)};
    EXPECT_EQ(invokeCommand(findCommandByExport("OT_TestPoint")->id, point), 0);
    const std::array<uint32_t, 4> sphere = {0, 0, 0, std::bit_cast<uint32_t>(1.0f)};
    EXPECT_EQ(invokeCommand(findCommandByExport("OT_TestSphere")->id, sphere), 1);
}

TEST(SharedLibrary, ExportsTheCommandsAndTheHostBindingOnly) {
    const std::string command = std::string("nm -D --defined-only ") + TARVO_SHARED_LIBRARY;
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> exported;
    char line[512];
    while (fgets(line, sizeof line, pipe)) {
        std::string text(line);
        const size_t space = text.find_last_of(' ');
        std::string name = text.substr(space + 1);
        while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
        exported.insert(name);
    }
    ASSERT_EQ(pclose(pipe), 0);
    std::set<std::string> expected = {"ot_bind_host"};
    for (const auto& c : kCommandTable) expected.insert(std::string(signatureOf(c).exportName));
    EXPECT_EQ(exported, expected);
}

}  // namespace
}  // namespace tarvo
