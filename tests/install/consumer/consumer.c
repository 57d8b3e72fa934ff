/* Binds a host table of its own, builds a box in front of the camera and one
   behind it, culls, and checks the calls the library made. */
#include <stdio.h>
#include <string.h>
#include <tarvo/culling.h>

static char calls[256];
static int links;

static void note(const char* what, int32_t object) {
    char entry[32];
    snprintf(entry, sizeof entry, "%s %d;", what, (int)object);
    strncat(calls, entry, sizeof calls - strlen(calls) - 1);
}

static void hide(void* context, int32_t object) {
    (void)context;
    note("hide", object);
}
static void excludeOn(void* context, int32_t object) {
    (void)context;
    note("excludeOn", object);
}
static void excludeOff(void* context, int32_t object) {
    (void)context;
    note("excludeOff", object);
}
static void show(void* context, int32_t object) {
    (void)context;
    note("show", object);
}
static void link(void* context) {
    (void)context;
    ++links;
}
static int32_t currentCamera(void* context) {
    (void)context;
    return 1;
}

/* Camera 1 at the origin looking along +z, 90 degrees, near 1, far 100. */
static const float view[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
static const float projection[16] = {
    1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 100.0f / 99, 1, 0, 0, -100.0f / 99, 0};
static const float position[3] = {0, 0, 0};

static int32_t findCamera(void* context, int32_t camera, OtCameraRef* out) {
    (void)context;
    if (camera != 1) return 0;
    out->projection = projection;
    out->view = view;
    out->position = position;
    return 1;
}

int main(void) {
    OtHostApi host;
    memset(&host, 0, sizeof host);
    host.hide = hide;
    host.excludeOn = excludeOn;
    host.excludeOff = excludeOff;
    host.show = show;
    host.link = link;
    host.currentCamera = currentCamera;
    host.findCamera = findCamera;
    ot_bind_host(&host);

    const int32_t ahead = OT_CreateBox2(0, -1, -1, 5, 1, 1, 6);
    const int32_t behind = OT_CreateBox2(0, -1, -1, -6, 1, 1, -5);
    OT_AddObject(ahead, 7);
    OT_AddObject(behind, 8);
    OT_UpdateFrustum1();
    OT_CullAll();

    const char* expected = "excludeOff 7;show 7;hide 8;excludeOn 8;";
    const int ok = strcmp(calls, expected) == 0 && OT_Visible(ahead) == 1 &&
                   OT_Visible(behind) == 0 && links > 0;
    printf("host calls: %s\nvisible: %d %d, links: %d\n", calls, (int)OT_Visible(ahead),
           (int)OT_Visible(behind), links);
    ot_bind_host(NULL);
    if (!ok) {
        fprintf(stderr, "consumer: expected host calls %s\n", expected);
        return 1;
    }
    return 0;
}
