// Culling scripts of a chosen size for otcull's benchmarks, each the shape of
// a level or a session that once made a verb quadratic.
#pragma once

#include <string>

namespace tarvo::bench {

// `count` top-level boxes made, a third of them moved under another, a pass,
// a third deleted one by one in creation order and the last third in
// reverse, then everything deleted.
std::string churnScript(int count);

// A row of `zones` zones along x joined by door portals, one item with a
// host object in each, the camera in the first looking down the row, one pass.
std::string zoneRowScript(int zones);

// The same rooms in a row along z, and stacked along y as the floors of a
// tower joined by hatches, the camera on the ground floor looking up.
std::string zoneRowAlongZScript(int zones);
std::string zoneTowerScript(int zones);

}  // namespace tarvo::bench
