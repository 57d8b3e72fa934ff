// `otcull demo`: builds the demo building, walks the camera through it
// frame by frame (move the camera, OT_UpdateFrustum, OT_CullAll) and reports
// what each pass showed, hid and cost.
#pragma once

#include <iosfwd>
#include <string>

namespace tarvo {

struct DemoRunOptions {
    int frames = 480;
    int rooms = 64;
    int every = 0;         // print one frame in this many; 0 picks about 24 lines
    std::string svgFile;   // empty: no plan view
    int svgFrame = -1;     // -1: the last frame
    std::string htmlFile;  // empty: no page of the session
};

// Returns the exit status.
int runDemo(const DemoRunOptions& options, std::ostream& out, std::ostream& err);

}  // namespace tarvo
