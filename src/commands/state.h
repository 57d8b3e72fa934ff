// The one culling tree, frustum and host binding that every export acts on.
#pragma once

#include "tree/tree.h"

namespace tarvo {

Tree& cullingState();

// A fresh tree and frustum, as when the library was loaded; the host binding
// stays. For programs that run several independent sessions in one process.
void resetCullingState();

}  // namespace tarvo
