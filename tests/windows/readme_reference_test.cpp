// The README's command reference must be the one the command table gives.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "commands/windows/command_reference.h"

namespace tarvo {
namespace {

TEST(ReadmeReference, MatchesTheCommandTable) {
    std::ifstream in(TARVO_README, std::ios::binary);
    ASSERT_TRUE(in) << TARVO_README;
    std::ostringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find(commandReference()), std::string::npos)
        << "regenerate the table under 'Command reference' with: resource_gen --reference";
}

}  // namespace
}  // namespace tarvo
