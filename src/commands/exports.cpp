// The script commands. Each is thin: the host link where the command table
// says so, then one call into the tree, which ignores handles that name
// nothing live.
#include <bit>
#include <string_view>
#include <type_traits>

#include "commands/command_table.h"
#include "commands/state.h"
#include "tarvo/culling.h"

namespace tarvo {

Tree& cullingState() {
    static Tree tree;
    return tree;
}

void resetCullingState() {
    Tree& tree = cullingState();
    const HostLink host = tree.host();
    tree = Tree{};
    tree.host() = host;
}

// Looked up by position: compile-time pointer comparisons do not survive
// the undefined-behaviour sanitizer's checks.
consteval bool declaredWithHostLink(std::string_view exportName) {
    for (const CommandDeclaration& command : kCommandTable) {
        if (signatureOf(command).exportName == exportName) return command.runsHostLink;
    }
    throw "export missing from the command list";
}

namespace {

// Every export starts here: the host link first when its declaration asks.
#define OT_ENTER(name)                                                    \
    tarvo::Tree& tree = tarvo::cullingState();                            \
    if constexpr (tarvo::declaredWithHostLink(#name)) tree.host().link(); \
    (void)tree

int32_t floatResult(float value) {
    return std::bit_cast<int32_t>(value);
}
int32_t boolResult(bool value) {
    return value ? 1 : 0;
}

Volume box(float xa, float ya, float za, float xb, float yb, float zb) {
    return {kBox, {xa, ya, za}, {xb, yb, zb}, 0.0f};
}
Volume sphere(float x, float y, float z, float radius) {
    return {kSphere, {x, y, z}, {}, radius};
}
Volume point(float x, float y, float z) {
    return {kPoint, {x, y, z}, {}, 0.0f};
}

float figureOf(int32_t node, Tree::Figure which) {
    return cullingState().figure(node, which);
}

}  // namespace
}  // namespace tarvo

using tarvo::Tree;

extern "C" {

void ot_bind_host(const OtHostApi* host) {
    tarvo::cullingState().host().bind(host);
}

void OT_UpdateFrustum1(void) {
    OT_ENTER(OT_UpdateFrustum1);
    tree.updateFrustum(tree.host().currentCamera());
}
void OT_UpdateFrustum2(int32_t camera) {
    OT_ENTER(OT_UpdateFrustum2);
    tree.updateFrustum(camera);
}
void OT_CullAll(void) {
    OT_ENTER(OT_CullAll);
    tree.cull(0);
}
void OT_Cull(int32_t startNode) {
    OT_ENTER(OT_Cull);
    tree.cull(startNode);
}

int32_t OT_CreateBox1(int32_t parent, float xa, float ya, float za, float xb, float yb, float zb,
                      int32_t role) {
    OT_ENTER(OT_CreateBox1);
    return tree.createNode(parent, role, tarvo::box(xa, ya, za, xb, yb, zb));
}
int32_t OT_CreateSphere1(int32_t parent, float x, float y, float z, float radius, int32_t role) {
    OT_ENTER(OT_CreateSphere1);
    return tree.createNode(parent, role, tarvo::sphere(x, y, z, radius));
}
int32_t OT_CreatePoint1(int32_t parent, float x, float y, float z, int32_t role) {
    OT_ENTER(OT_CreatePoint1);
    return tree.createNode(parent, role, tarvo::point(x, y, z));
}
int32_t OT_CreateBox2(int32_t parent, float xa, float ya, float za, float xb, float yb, float zb) {
    return OT_CreateBox1(parent, xa, ya, za, xb, yb, zb, tarvo::kNormal);
}
int32_t OT_CreateSphere2(int32_t parent, float x, float y, float z, float radius) {
    return OT_CreateSphere1(parent, x, y, z, radius, tarvo::kNormal);
}
int32_t OT_CreatePoint2(int32_t parent, float x, float y, float z) {
    return OT_CreatePoint1(parent, x, y, z, tarvo::kNormal);
}

void OT_Delete(int32_t node) {
    OT_ENTER(OT_Delete);
    if (node == 0) {
        tree.deleteAll();
    } else {
        tree.deleteNode(node);
    }
}
void OT_DeleteAll(void) {
    OT_Delete(0);
}

void OT_AddObject(int32_t node, int32_t object) {
    OT_ENTER(OT_AddObject);
    tree.attach(node, object, -1);
}
void OT_AddLimb(int32_t node, int32_t object, int32_t limb) {
    OT_ENTER(OT_AddLimb);
    tree.attach(node, object, limb);
}
void OT_RemoveObject(int32_t node, int32_t object) {
    OT_ENTER(OT_RemoveObject);
    tree.detach(node, object, -1);
}
void OT_RemoveLimb(int32_t node, int32_t object, int32_t limb) {
    OT_ENTER(OT_RemoveLimb);
    tree.detach(node, object, limb);
}
int32_t OT_Visible(int32_t node) {
    OT_ENTER(OT_Visible);
    return tarvo::boolResult(tree.isVisible(node));
}
void OT_Hide(int32_t node) {
    OT_ENTER(OT_Hide);
    tree.switchNode(node, false);
}
void OT_Show(int32_t node) {
    OT_ENTER(OT_Show);
    tree.switchNode(node, true);
}
void OT_HideAll1(int32_t node) {
    OT_ENTER(OT_HideAll1);
    tree.switchSubtree(node, false);
}
void OT_ShowAll1(int32_t node) {
    OT_ENTER(OT_ShowAll1);
    tree.switchSubtree(node, true);
}
void OT_HideAll2(void) {
    OT_HideAll1(0);
}
void OT_ShowAll2(void) {
    OT_ShowAll1(0);
}

int32_t OT_AddPortal(int32_t zoneA, int32_t zoneB, int32_t portalNode) {
    OT_ENTER(OT_AddPortal);
    return tree.addPortal(zoneA, zoneB, portalNode);
}
void OT_RemovePortal(int32_t portal) {
    OT_ENTER(OT_RemovePortal);
    tree.removePortal(portal);
}

int32_t OT_CreateObjectBox1(int32_t parent, int32_t object, int32_t role) {
    OT_ENTER(OT_CreateObjectBox1);
    return tree.createFitted(parent, object, -1, true, tarvo::kBox, role);
}
int32_t OT_CreateObjectSphere1(int32_t parent, int32_t object, int32_t role) {
    OT_ENTER(OT_CreateObjectSphere1);
    return tree.createFitted(parent, object, -1, true, tarvo::kSphere, role);
}
int32_t OT_CreateObjectBox2(int32_t parent, int32_t object) {
    return OT_CreateObjectBox1(parent, object, tarvo::kNormal);
}
int32_t OT_CreateObjectSphere2(int32_t parent, int32_t object) {
    return OT_CreateObjectSphere1(parent, object, tarvo::kNormal);
}
int32_t OT_CreateLimbBox1(int32_t parent, int32_t object, int32_t limb, int32_t role) {
    OT_ENTER(OT_CreateLimbBox1);
    return tree.createFitted(parent, object, limb, false, tarvo::kBox, role);
}
int32_t OT_CreateLimbSphere1(int32_t parent, int32_t object, int32_t limb, int32_t role) {
    OT_ENTER(OT_CreateLimbSphere1);
    return tree.createFitted(parent, object, limb, false, tarvo::kSphere, role);
}
int32_t OT_CreateLimbBox2(int32_t parent, int32_t object, int32_t limb) {
    return OT_CreateLimbBox1(parent, object, limb, tarvo::kNormal);
}
int32_t OT_CreateLimbSphere2(int32_t parent, int32_t object, int32_t limb) {
    return OT_CreateLimbSphere1(parent, object, limb, tarvo::kNormal);
}

int32_t OT_TestBox(float xa, float ya, float za, float xb, float yb, float zb) {
    OT_ENTER(OT_TestBox);
    return tarvo::boolResult(tarvo::testBoxInFrustum(tree.frustum(), {xa, ya, za}, {xb, yb, zb}));
}
int32_t OT_TestSphere(float x, float y, float z, float radius) {
    OT_ENTER(OT_TestSphere);
    return tarvo::boolResult(tarvo::testSphereInFrustum(tree.frustum(), {x, y, z}, radius));
}
int32_t OT_TestPoint(float x, float y, float z) {
    OT_ENTER(OT_TestPoint);
    return tarvo::boolResult(tarvo::testSphereInFrustum(tree.frustum(), {x, y, z}, 0.0f));
}

void OT_SetParent(int32_t node, int32_t newParent) {
    OT_ENTER(OT_SetParent);
    tree.setParent(node, newParent);
}
void OT_SetPosition(int32_t node, float x, float y, float z) {
    OT_ENTER(OT_SetPosition);
    tree.setPosition(node, {x, y, z});
}
void OT_SetBox(int32_t node, float xa, float ya, float za, float xb, float yb, float zb) {
    OT_ENTER(OT_SetBox);
    tree.setBox(node, {xa, ya, za}, {xb, yb, zb});
}
void OT_SetBoxSize(int32_t node, float width, float height, float depth) {
    OT_ENTER(OT_SetBoxSize);
    tree.setBoxSize(node, {width, height, depth});
}
void OT_SetRadius(int32_t node, float radius) {
    OT_ENTER(OT_SetRadius);
    tree.setRadius(node, radius);
}

#define OT_FIGURE_GETTER(name, figure)                                          \
    int32_t name(int32_t node) {                                                \
        OT_ENTER(name);                                                         \
        return tarvo::floatResult(tarvo::figureOf(node, Tree::Figure::figure)); \
    }
OT_FIGURE_GETTER(OT_GetPositionX, kPositionX)
OT_FIGURE_GETTER(OT_GetPositionY, kPositionY)
OT_FIGURE_GETTER(OT_GetPositionZ, kPositionZ)
OT_FIGURE_GETTER(OT_GetRadius, kRadius)
OT_FIGURE_GETTER(OT_GetBoxWidth, kWidth)
OT_FIGURE_GETTER(OT_GetBoxHeight, kHeight)
OT_FIGURE_GETTER(OT_GetBoxDepth, kDepth)
OT_FIGURE_GETTER(OT_GetBoxXA, kXA)
OT_FIGURE_GETTER(OT_GetBoxYA, kYA)
OT_FIGURE_GETTER(OT_GetBoxZA, kZA)
OT_FIGURE_GETTER(OT_GetBoxXB, kXB)
OT_FIGURE_GETTER(OT_GetBoxYB, kYB)
OT_FIGURE_GETTER(OT_GetBoxZB, kZB)
#undef OT_FIGURE_GETTER

int32_t OT_GetParent(int32_t node) {
    OT_ENTER(OT_GetParent);
    return tree.parentOf(node);
}

void OT_EnablePortal(int32_t portal) {
    OT_ENTER(OT_EnablePortal);
    tree.setPortalDisabled(portal, false);
}
void OT_DisablePortal(int32_t portal) {
    OT_ENTER(OT_DisablePortal);
    tree.setPortalDisabled(portal, true);
}
int32_t OT_PortalEnabled(int32_t portal) {
    OT_ENTER(OT_PortalEnabled);
    return tarvo::boolResult(tree.portalEnabled(portal));
}
int32_t OT_GetPortalPortal(int32_t portal) {
    OT_ENTER(OT_GetPortalPortal);
    return tree.portalEnd(portal, Tree::PortalEnd::kPortalNode);
}
int32_t OT_GetPortalA(int32_t portal) {
    OT_ENTER(OT_GetPortalA);
    return tree.portalEnd(portal, Tree::PortalEnd::kZoneA);
}
int32_t OT_GetPortalB(int32_t portal) {
    OT_ENTER(OT_GetPortalB);
    return tree.portalEnd(portal, Tree::PortalEnd::kZoneB);
}

}  // extern "C"

// The public header declares every export exactly as its row in the command
// list does; the definitions above must then match both.
#define TARVO_CHECK_DECLARATION(id, exportName, scriptName, hostLink, reads, result, parameters, \
                                reference)                                                       \
    static_assert(std::is_same_v<decltype(exportName), TARVO_FUNCTION_TYPE(result, parameters)>, \
                  #exportName " in tarvo/culling.h differs from its row in the command list");
TARVO_COMMANDS(TARVO_CHECK_DECLARATION)
#undef TARVO_CHECK_DECLARATION
