#include <csignal>
#include <iostream>
#include <string_view>
#include <vector>

#include "cli/verbs.h"
#include "output/kept_failure_buffer.h"

int main(int argc, char** argv) {
#ifdef SIGPIPE
    // A reader that went away is a failed write, said once and in words,
    // not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    std::ios::sync_with_stdio(false);
    tarvo::KeptFailureBuffer standardOutput(*std::cout.rdbuf());
    std::ostream out(&standardOutput);
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    return tarvo::otcullMain(args, out, std::cerr);
}
