/* The plug-in's script commands as plain C functions. On 32-bit Windows they
   are cdecl, exported undecorated; on Linux they are exported from
   libTarvoCulling.so.

   Handles name nodes and portals; 0 means none. A handle that names nothing
   live (deleted, never issued, or of the other kind) makes a command do
   nothing and return 0.

   Results: an integer result is a handle; a float result comes back as the
   32-bit pattern of the float; a boolean result is exactly 0 or 1.

   The plug-in's build checks every declaration here against its command
   list, which also gives the commands' script names, identifiers and
   reference text. */
#ifndef TARVO_CULLING_H
#define TARVO_CULLING_H

#include <stdint.h>

#include "tarvo/host_api.h"

#if defined(_WIN32)
#define OT_CALL __cdecl
#define OT_EXPORT
#else
#define OT_CALL
#define OT_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Where there is no host engine: every later command reaches the host through
   this table (copied). NULL unbinds: commands then see a host with no cameras
   and no objects whose switches do nothing. The Windows plug-in links to the
   host's own modules instead and does not export this; only a program with
   the core linked in (otcull.exe) calls it there. */
OT_EXPORT void OT_CALL ot_bind_host(const OtHostApi* host);

/* Takes the view frustum from the engine's current camera. */
OT_EXPORT void OT_CALL OT_UpdateFrustum1(void);
/* Takes the view frustum from the given camera. */
OT_EXPORT void OT_CALL OT_UpdateFrustum2(int32_t camera);
/* Culls the whole tree from the zone that holds the camera. */
OT_EXPORT void OT_CALL OT_CullAll(void);
/* One culling pass from the given node; 0 culls the whole tree. */
OT_EXPORT void OT_CALL OT_Cull(int32_t startNode);
/* A box from two corners under the parent (0: top level), with a role. */
OT_EXPORT int32_t OT_CALL OT_CreateBox1(int32_t parent, float xa, float ya, float za, float xb,
                                        float yb, float zb, int32_t role);
/* A sphere from its centre and radius under the parent, with a role. */
OT_EXPORT int32_t OT_CALL OT_CreateSphere1(int32_t parent, float x, float y, float z, float radius,
                                           int32_t role);
/* A point under the parent, with a role. */
OT_EXPORT int32_t OT_CALL OT_CreatePoint1(int32_t parent, float x, float y, float z, int32_t role);
/* OT_CreateBox1 with role 1 (normal). */
OT_EXPORT int32_t OT_CALL OT_CreateBox2(int32_t parent, float xa, float ya, float za, float xb,
                                        float yb, float zb);
/* OT_CreateSphere1 with role 1 (normal). */
OT_EXPORT int32_t OT_CALL OT_CreateSphere2(int32_t parent, float x, float y, float z, float radius);
/* OT_CreatePoint1 with role 1 (normal). */
OT_EXPORT int32_t OT_CALL OT_CreatePoint2(int32_t parent, float x, float y, float z);
/* Deletes the node, its subtree and the portals naming them; 0 deletes all. */
OT_EXPORT void OT_CALL OT_Delete(int32_t node);
/* Deletes every node and portal. */
OT_EXPORT void OT_CALL OT_DeleteAll(void);
/* Hangs an engine object on the node. */
OT_EXPORT void OT_CALL OT_AddObject(int32_t node, int32_t object);
/* Hangs one limb of an engine object on the node. */
OT_EXPORT void OT_CALL OT_AddLimb(int32_t node, int32_t object, int32_t limb);
/* Takes the object off the node. */
OT_EXPORT void OT_CALL OT_RemoveObject(int32_t node, int32_t object);
/* Takes the object's limb off the node. */
OT_EXPORT void OT_CALL OT_RemoveLimb(int32_t node, int32_t object, int32_t limb);
/* 1 when the node was last shown, 0 when last hidden. */
OT_EXPORT int32_t OT_CALL OT_Visible(int32_t node);
/* Hides what hangs on this node only. */
OT_EXPORT void OT_CALL OT_Hide(int32_t node);
/* Shows what hangs on this node only. */
OT_EXPORT void OT_CALL OT_Show(int32_t node);
/* Hides the node and its subtree; 0 hides the whole tree. */
OT_EXPORT void OT_CALL OT_HideAll1(int32_t node);
/* Shows the node and its subtree; 0 shows the whole tree. */
OT_EXPORT void OT_CALL OT_ShowAll1(int32_t node);
/* Hides the whole tree. */
OT_EXPORT void OT_CALL OT_HideAll2(void);
/* Shows the whole tree. */
OT_EXPORT void OT_CALL OT_ShowAll2(void);
/* Joins two zones by a portal through the opening node (0: always in view). */
OT_EXPORT int32_t OT_CALL OT_AddPortal(int32_t zoneA, int32_t zoneB, int32_t portalNode);
/* Removes the portal. */
OT_EXPORT void OT_CALL OT_RemovePortal(int32_t portal);
/* A box fitted around an engine object, which it carries, with a role. */
OT_EXPORT int32_t OT_CALL OT_CreateObjectBox1(int32_t parent, int32_t object, int32_t role);
/* A sphere fitted around an engine object, which it carries, with a role. */
OT_EXPORT int32_t OT_CALL OT_CreateObjectSphere1(int32_t parent, int32_t object, int32_t role);
/* OT_CreateObjectBox1 with role 1 (normal). */
OT_EXPORT int32_t OT_CALL OT_CreateObjectBox2(int32_t parent, int32_t object);
/* OT_CreateObjectSphere1 with role 1 (normal). */
OT_EXPORT int32_t OT_CALL OT_CreateObjectSphere2(int32_t parent, int32_t object);
/* A box fitted around one limb of an engine object, which it carries. */
OT_EXPORT int32_t OT_CALL OT_CreateLimbBox1(int32_t parent, int32_t object, int32_t limb,
                                            int32_t role);
/* A sphere fitted around one limb of an engine object, which it carries. */
OT_EXPORT int32_t OT_CALL OT_CreateLimbSphere1(int32_t parent, int32_t object, int32_t limb,
                                               int32_t role);
/* OT_CreateLimbBox1 with role 1 (normal). */
OT_EXPORT int32_t OT_CALL OT_CreateLimbBox2(int32_t parent, int32_t object, int32_t limb);
/* OT_CreateLimbSphere1 with role 1 (normal). */
OT_EXPORT int32_t OT_CALL OT_CreateLimbSphere2(int32_t parent, int32_t object, int32_t limb);
/* 1 when some of the box is inside the last frustum taken. */
OT_EXPORT int32_t OT_CALL OT_TestBox(float xa, float ya, float za, float xb, float yb, float zb);
/* 1 when some of the sphere is inside the last frustum taken. */
OT_EXPORT int32_t OT_CALL OT_TestSphere(float x, float y, float z, float radius);
/* 1 when the point is inside the last frustum taken. */
OT_EXPORT int32_t OT_CALL OT_TestPoint(float x, float y, float z);
/* Moves the node with its subtree under a new parent (0: top level). */
OT_EXPORT void OT_CALL OT_SetParent(int32_t node, int32_t newParent);
/* Moves the node's volume to the position; a box keeps its size. */
OT_EXPORT void OT_CALL OT_SetPosition(int32_t node, float x, float y, float z);
/* Sets the node's two box corners. */
OT_EXPORT void OT_CALL OT_SetBox(int32_t node, float xa, float ya, float za, float xb, float yb,
                                 float zb);
/* Resizes the node's box around its position. */
OT_EXPORT void OT_CALL OT_SetBoxSize(int32_t node, float width, float height, float depth);
/* Sets the node's radius. */
OT_EXPORT void OT_CALL OT_SetRadius(int32_t node, float radius);
/* The x of the node's position. */
OT_EXPORT int32_t OT_CALL OT_GetPositionX(int32_t node);
/* The y of the node's position. */
OT_EXPORT int32_t OT_CALL OT_GetPositionY(int32_t node);
/* The z of the node's position. */
OT_EXPORT int32_t OT_CALL OT_GetPositionZ(int32_t node);
/* The node's radius. */
OT_EXPORT int32_t OT_CALL OT_GetRadius(int32_t node);
/* The box's extent along x. */
OT_EXPORT int32_t OT_CALL OT_GetBoxWidth(int32_t node);
/* The box's extent along y. */
OT_EXPORT int32_t OT_CALL OT_GetBoxHeight(int32_t node);
/* The box's extent along z. */
OT_EXPORT int32_t OT_CALL OT_GetBoxDepth(int32_t node);
/* The x of the box's first corner. */
OT_EXPORT int32_t OT_CALL OT_GetBoxXA(int32_t node);
/* The y of the box's first corner. */
OT_EXPORT int32_t OT_CALL OT_GetBoxYA(int32_t node);
/* The z of the box's first corner. */
OT_EXPORT int32_t OT_CALL OT_GetBoxZA(int32_t node);
/* The x of the box's second corner. */
OT_EXPORT int32_t OT_CALL OT_GetBoxXB(int32_t node);
/* The y of the box's second corner. */
OT_EXPORT int32_t OT_CALL OT_GetBoxYB(int32_t node);
/* The z of the box's second corner. */
OT_EXPORT int32_t OT_CALL OT_GetBoxZB(int32_t node);
/* The node's parent; 0 for a top-level node. */
OT_EXPORT int32_t OT_CALL OT_GetParent(int32_t node);
/* Lets the flood pass through the portal again. */
OT_EXPORT void OT_CALL OT_EnablePortal(int32_t portal);
/* Closes the portal to the flood. */
OT_EXPORT void OT_CALL OT_DisablePortal(int32_t portal);
/* 1 when the portal is enabled. */
OT_EXPORT int32_t OT_CALL OT_PortalEnabled(int32_t portal);
/* The portal's opening node. */
OT_EXPORT int32_t OT_CALL OT_GetPortalPortal(int32_t portal);
/* The portal's first zone. */
OT_EXPORT int32_t OT_CALL OT_GetPortalA(int32_t portal);
/* The portal's second zone. */
OT_EXPORT int32_t OT_CALL OT_GetPortalB(int32_t portal);

#ifdef __cplusplus
}
#endif

#endif
