// A walk over the core's records that checks what every command must leave
// behind, whatever a script sent: each node in exactly one container and
// there once, parent links that agree with the containers, every portal in
// exactly the lists that name it (as often as they name it), and no freed
// record reachable from anything live.
#pragma once

#include <string>

#include "tree/tree.h"

namespace tarvo::reliability {

// "" when every invariant holds, else the first broken one, in words.
std::string checkTreeInvariants(const Tree& tree);

// Everything a script can observe of the tree and the frustum, as text: two
// dumps are equal exactly when no command could tell the states apart.
std::string describeTree(const Tree& tree);

}  // namespace tarvo::reliability
