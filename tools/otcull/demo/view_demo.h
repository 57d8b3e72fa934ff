// `otcull demo --html`: the demo's session written out as a culling script
// (the building as plain volumes with their attachments and portals, then
// each frame's camera, frustum update and pass), which `otcull view` turns
// into its page like any other script.
#pragma once

#include <iosfwd>
#include <string>

#include "demo/demo_run.h"

namespace tarvo {

std::string demoSessionScript(const DemoRunOptions& options);

// Writes the page of the demo's session to options.htmlFile; returns the
// exit status.
int writeDemoPage(const DemoRunOptions& options, std::ostream& out, std::ostream& err);

}  // namespace tarvo
