/* The host engine as the culling core sees it: one table of plain function
   pointers. The Windows plug-in fills it from the host's own modules; on Linux
   a stand-in host (or any program, through ot_bind_host) supplies it. */
#ifndef TARVO_HOST_API_H
#define TARVO_HOST_API_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Where a camera's figures live in host memory. The position is read again at
   every camera-inside test, so the three pointers must stay valid for as long
   as the host keeps the camera. */
typedef struct OtCameraRef {
    const float* projection; /* 16 floats, row-major: camera space to clip space */
    const float* view;       /* 16 floats, row-major: world space to camera space */
    const float* position;   /* x, y, z in world space */
} OtCameraRef;

/* Figures of an object (position, bounds as offsets from it, bounding radius)
   or of one limb (limb position, its mesh's bounds and radius). */
typedef struct OtBodyFigures {
    float position[3];
    float boundsMin[3];
    float boundsMax[3];
    float radius;
} OtBodyFigures;

typedef struct OtHostApi {
    void* context;

    /* The six visibility switches, called in the order culling decides. */
    void (*hide)(void* context, int32_t object);
    void (*excludeOn)(void* context, int32_t object);
    void (*hideLimb)(void* context, int32_t object, int32_t limb);
    void (*excludeOff)(void* context, int32_t object);
    void (*show)(void* context, int32_t object);
    void (*showLimb)(void* context, int32_t object, int32_t limb);

    /* Runs before every command that may need the host (creation, deletion,
       frustum update, culling); the Windows link resolves entry points here. */
    void (*link)(void* context);

    int32_t (*currentCamera)(void* context);
    /* Nonzero and *out filled when the host has that camera. */
    int32_t (*findCamera)(void* context, int32_t camera, OtCameraRef* out);
    /* Nonzero and *out filled when the host has that object (or limb with a mesh). */
    int32_t (*findObject)(void* context, int32_t object, OtBodyFigures* out);
    int32_t (*findLimb)(void* context, int32_t object, int32_t limb, OtBodyFigures* out);
} OtHostApi;

#ifdef __cplusplus
}
#endif

#endif
