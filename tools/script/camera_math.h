// Camera matrices for `camera N lookat`: row vectors, left-handed, world point
// x view x projection. Worked in double precision and rounded once at the end
// so that every build stores the same 32-bit floats.
#pragma once

namespace tarvo::script {

struct LookAt {
    double eye[3];
    double target[3];
    double fovDegrees;  // vertical field of view
    double aspect;      // width / height
    double zNear;
    double zFar;
};

struct CameraMatrices {
    float view[16];        // row-major
    float projection[16];  // row-major
};

// Up is (0, 1, 0); a line of sight parallel to it gives NaNs, as the formula does.
CameraMatrices lookAtMatrices(const LookAt& setup);

}  // namespace tarvo::script
