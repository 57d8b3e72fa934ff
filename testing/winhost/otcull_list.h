// otcull's verbs in the stand-in engine's process: under Wine on qemu every
// process start costs the better part of a minute, so the runs that hold
// otcull.exe's code against the Linux otcull's share this one.
#pragma once

#include <string>

namespace standin {

// Each line of LIST is one run: its name, then otcull's arguments, separated
// by tabs. Every run starts from a fresh culling state in the list's folder
// and leaves NAME.out, NAME.err and NAME.status there, as otcull.exe would.
// Returns 1 when the list cannot be read or a result not written, else 0.
int runOtcullList(const std::string& list);

}  // namespace standin
