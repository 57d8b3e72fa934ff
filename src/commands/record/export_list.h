// Every export once, for generating the recording layer from one list:
// X(RESULT, NAME, (PARAMETERS), (ARGUMENTS)).
#pragma once

// clang-format off
#define TARVO_EXPORTS(X) \
    X(void, OT_UpdateFrustum1, (void), ()) \
    X(void, OT_UpdateFrustum2, (int32_t camera), (camera)) \
    X(void, OT_CullAll, (void), ()) \
    X(void, OT_Cull, (int32_t start), (start)) \
    X(int32_t, OT_CreateBox1, (int32_t parent, float xa, float ya, float za, float xb, float yb, float zb, int32_t role), (parent, xa, ya, za, xb, yb, zb, role)) \
    X(int32_t, OT_CreateSphere1, (int32_t parent, float x, float y, float z, float radius, int32_t role), (parent, x, y, z, radius, role)) \
    X(int32_t, OT_CreatePoint1, (int32_t parent, float x, float y, float z, int32_t role), (parent, x, y, z, role)) \
    X(int32_t, OT_CreateBox2, (int32_t parent, float xa, float ya, float za, float xb, float yb, float zb), (parent, xa, ya, za, xb, yb, zb)) \
    X(int32_t, OT_CreateSphere2, (int32_t parent, float x, float y, float z, float radius), (parent, x, y, z, radius)) \
    X(int32_t, OT_CreatePoint2, (int32_t parent, float x, float y, float z), (parent, x, y, z)) \
    X(void, OT_Delete, (int32_t node), (node)) \
    X(void, OT_DeleteAll, (void), ()) \
    X(void, OT_AddObject, (int32_t node, int32_t object), (node, object)) \
    X(void, OT_AddLimb, (int32_t node, int32_t object, int32_t limb), (node, object, limb)) \
    X(void, OT_RemoveObject, (int32_t node, int32_t object), (node, object)) \
    X(void, OT_RemoveLimb, (int32_t node, int32_t object, int32_t limb), (node, object, limb)) \
    X(int32_t, OT_Visible, (int32_t node), (node)) \
    X(void, OT_Hide, (int32_t node), (node)) \
    X(void, OT_Show, (int32_t node), (node)) \
    X(void, OT_HideAll1, (int32_t node), (node)) \
    X(void, OT_ShowAll1, (int32_t node), (node)) \
    X(void, OT_HideAll2, (void), ()) \
    X(void, OT_ShowAll2, (void), ()) \
    X(int32_t, OT_AddPortal, (int32_t zoneA, int32_t zoneB, int32_t portalNode), (zoneA, zoneB, portalNode)) \
    X(void, OT_RemovePortal, (int32_t portal), (portal)) \
    X(int32_t, OT_CreateObjectBox1, (int32_t parent, int32_t object, int32_t role), (parent, object, role)) \
    X(int32_t, OT_CreateObjectSphere1, (int32_t parent, int32_t object, int32_t role), (parent, object, role)) \
    X(int32_t, OT_CreateObjectBox2, (int32_t parent, int32_t object), (parent, object)) \
    X(int32_t, OT_CreateObjectSphere2, (int32_t parent, int32_t object), (parent, object)) \
    X(int32_t, OT_CreateLimbBox1, (int32_t parent, int32_t object, int32_t limb, int32_t role), (parent, object, limb, role)) \
    X(int32_t, OT_CreateLimbSphere1, (int32_t parent, int32_t object, int32_t limb, int32_t role), (parent, object, limb, role)) \
    X(int32_t, OT_CreateLimbBox2, (int32_t parent, int32_t object, int32_t limb), (parent, object, limb)) \
    X(int32_t, OT_CreateLimbSphere2, (int32_t parent, int32_t object, int32_t limb), (parent, object, limb)) \
    X(int32_t, OT_TestBox, (float xa, float ya, float za, float xb, float yb, float zb), (xa, ya, za, xb, yb, zb)) \
    X(int32_t, OT_TestSphere, (float x, float y, float z, float radius), (x, y, z, radius)) \
    X(int32_t, OT_TestPoint, (float x, float y, float z), (x, y, z)) \
    X(void, OT_SetParent, (int32_t node, int32_t newParent), (node, newParent)) \
    X(void, OT_SetPosition, (int32_t node, float x, float y, float z), (node, x, y, z)) \
    X(void, OT_SetBox, (int32_t node, float xa, float ya, float za, float xb, float yb, float zb), (node, xa, ya, za, xb, yb, zb)) \
    X(void, OT_SetBoxSize, (int32_t node, float width, float height, float depth), (node, width, height, depth)) \
    X(void, OT_SetRadius, (int32_t node, float radius), (node, radius)) \
    X(int32_t, OT_GetPositionX, (int32_t node), (node)) \
    X(int32_t, OT_GetPositionY, (int32_t node), (node)) \
    X(int32_t, OT_GetPositionZ, (int32_t node), (node)) \
    X(int32_t, OT_GetRadius, (int32_t node), (node)) \
    X(int32_t, OT_GetBoxWidth, (int32_t node), (node)) \
    X(int32_t, OT_GetBoxHeight, (int32_t node), (node)) \
    X(int32_t, OT_GetBoxDepth, (int32_t node), (node)) \
    X(int32_t, OT_GetBoxXA, (int32_t node), (node)) \
    X(int32_t, OT_GetBoxYA, (int32_t node), (node)) \
    X(int32_t, OT_GetBoxZA, (int32_t node), (node)) \
    X(int32_t, OT_GetBoxXB, (int32_t node), (node)) \
    X(int32_t, OT_GetBoxYB, (int32_t node), (node)) \
    X(int32_t, OT_GetBoxZB, (int32_t node), (node)) \
    X(int32_t, OT_GetParent, (int32_t node), (node)) \
    X(void, OT_EnablePortal, (int32_t portal), (portal)) \
    X(void, OT_DisablePortal, (int32_t portal), (portal)) \
    X(int32_t, OT_PortalEnabled, (int32_t portal), (portal)) \
    X(int32_t, OT_GetPortalPortal, (int32_t portal), (portal)) \
    X(int32_t, OT_GetPortalA, (int32_t portal), (portal)) \
    X(int32_t, OT_GetPortalB, (int32_t portal), (portal))
// clang-format on
