/* The plug-in's script commands as plain C functions. On 32-bit Windows they
   are cdecl, exported undecorated; on Linux they are exported from
   libTarvoCulling.so.

   Handles name nodes and portals; 0 means none. A handle that names nothing
   live (deleted, never issued, or of the other kind) makes a command do
   nothing and return 0.

   Results: an integer result is a handle; a float result comes back as the
   32-bit pattern of the float; a boolean result is exactly 0 or 1. */
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

#if !defined(_WIN32)
/* Where there is no host engine: every later command reaches the host through
   this table (copied). NULL unbinds: commands then see a host with no cameras
   and no objects whose switches do nothing. The Windows plug-in links to the
   host's own modules instead. */
OT_EXPORT void OT_CALL ot_bind_host(const OtHostApi* host);
#endif

OT_EXPORT void OT_CALL OT_UpdateFrustum1(void);
OT_EXPORT void OT_CALL OT_UpdateFrustum2(int32_t camera);
OT_EXPORT void OT_CALL OT_CullAll(void);
OT_EXPORT void OT_CALL OT_Cull(int32_t start);
OT_EXPORT int32_t OT_CALL OT_CreateBox1(int32_t parent, float xa, float ya, float za, float xb,
                                        float yb, float zb, int32_t role);
OT_EXPORT int32_t OT_CALL OT_CreateSphere1(int32_t parent, float x, float y, float z, float radius,
                                           int32_t role);
OT_EXPORT int32_t OT_CALL OT_CreatePoint1(int32_t parent, float x, float y, float z, int32_t role);
OT_EXPORT int32_t OT_CALL OT_CreateBox2(int32_t parent, float xa, float ya, float za, float xb,
                                        float yb, float zb);
OT_EXPORT int32_t OT_CALL OT_CreateSphere2(int32_t parent, float x, float y, float z, float radius);
OT_EXPORT int32_t OT_CALL OT_CreatePoint2(int32_t parent, float x, float y, float z);
OT_EXPORT void OT_CALL OT_Delete(int32_t node);
OT_EXPORT void OT_CALL OT_DeleteAll(void);
OT_EXPORT void OT_CALL OT_AddObject(int32_t node, int32_t object);
OT_EXPORT void OT_CALL OT_AddLimb(int32_t node, int32_t object, int32_t limb);
OT_EXPORT void OT_CALL OT_RemoveObject(int32_t node, int32_t object);
OT_EXPORT void OT_CALL OT_RemoveLimb(int32_t node, int32_t object, int32_t limb);
OT_EXPORT int32_t OT_CALL OT_Visible(int32_t node);
OT_EXPORT void OT_CALL OT_Hide(int32_t node);
OT_EXPORT void OT_CALL OT_Show(int32_t node);
OT_EXPORT void OT_CALL OT_HideAll1(int32_t node);
OT_EXPORT void OT_CALL OT_ShowAll1(int32_t node);
OT_EXPORT void OT_CALL OT_HideAll2(void);
OT_EXPORT void OT_CALL OT_ShowAll2(void);
OT_EXPORT int32_t OT_CALL OT_AddPortal(int32_t zoneA, int32_t zoneB, int32_t portalNode);
OT_EXPORT void OT_CALL OT_RemovePortal(int32_t portal);
OT_EXPORT int32_t OT_CALL OT_CreateObjectBox1(int32_t parent, int32_t object, int32_t role);
OT_EXPORT int32_t OT_CALL OT_CreateObjectSphere1(int32_t parent, int32_t object, int32_t role);
OT_EXPORT int32_t OT_CALL OT_CreateObjectBox2(int32_t parent, int32_t object);
OT_EXPORT int32_t OT_CALL OT_CreateObjectSphere2(int32_t parent, int32_t object);
OT_EXPORT int32_t OT_CALL OT_CreateLimbBox1(int32_t parent, int32_t object, int32_t limb,
                                            int32_t role);
OT_EXPORT int32_t OT_CALL OT_CreateLimbSphere1(int32_t parent, int32_t object, int32_t limb,
                                               int32_t role);
OT_EXPORT int32_t OT_CALL OT_CreateLimbBox2(int32_t parent, int32_t object, int32_t limb);
OT_EXPORT int32_t OT_CALL OT_CreateLimbSphere2(int32_t parent, int32_t object, int32_t limb);
OT_EXPORT int32_t OT_CALL OT_TestBox(float xa, float ya, float za, float xb, float yb, float zb);
OT_EXPORT int32_t OT_CALL OT_TestSphere(float x, float y, float z, float radius);
OT_EXPORT int32_t OT_CALL OT_TestPoint(float x, float y, float z);
OT_EXPORT void OT_CALL OT_SetParent(int32_t node, int32_t newParent);
OT_EXPORT void OT_CALL OT_SetPosition(int32_t node, float x, float y, float z);
OT_EXPORT void OT_CALL OT_SetBox(int32_t node, float xa, float ya, float za, float xb, float yb,
                                 float zb);
OT_EXPORT void OT_CALL OT_SetBoxSize(int32_t node, float width, float height, float depth);
OT_EXPORT void OT_CALL OT_SetRadius(int32_t node, float radius);
OT_EXPORT int32_t OT_CALL OT_GetPositionX(int32_t node);
OT_EXPORT int32_t OT_CALL OT_GetPositionY(int32_t node);
OT_EXPORT int32_t OT_CALL OT_GetPositionZ(int32_t node);
OT_EXPORT int32_t OT_CALL OT_GetRadius(int32_t node);
OT_EXPORT int32_t OT_CALL OT_GetBoxWidth(int32_t node);
OT_EXPORT int32_t OT_CALL OT_GetBoxHeight(int32_t node);
OT_EXPORT int32_t OT_CALL OT_GetBoxDepth(int32_t node);
OT_EXPORT int32_t OT_CALL OT_GetBoxXA(int32_t node);
OT_EXPORT int32_t OT_CALL OT_GetBoxYA(int32_t node);
OT_EXPORT int32_t OT_CALL OT_GetBoxZA(int32_t node);
OT_EXPORT int32_t OT_CALL OT_GetBoxXB(int32_t node);
OT_EXPORT int32_t OT_CALL OT_GetBoxYB(int32_t node);
OT_EXPORT int32_t OT_CALL OT_GetBoxZB(int32_t node);
OT_EXPORT int32_t OT_CALL OT_GetParent(int32_t node);
OT_EXPORT void OT_CALL OT_EnablePortal(int32_t portal);
OT_EXPORT void OT_CALL OT_DisablePortal(int32_t portal);
OT_EXPORT int32_t OT_CALL OT_PortalEnabled(int32_t portal);
OT_EXPORT int32_t OT_CALL OT_GetPortalPortal(int32_t portal);
OT_EXPORT int32_t OT_CALL OT_GetPortalA(int32_t portal);
OT_EXPORT int32_t OT_CALL OT_GetPortalB(int32_t portal);

#ifdef __cplusplus
}
#endif

#endif
