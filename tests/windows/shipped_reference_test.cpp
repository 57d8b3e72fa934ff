// The command reference that ships beside the DLL must carry every command
// whole, in the command table's order.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "commands/windows/command_reference.h"

namespace tarvo {
namespace {

// Headings start in column 1; each paragraph's indented lines, joined again,
// must give back the words unbroken and in order.
TEST(ShippedReference, EveryCommandInOrderWithItsWordsWhole) {
    std::istringstream text(commandReferenceText("9.8.7"));
    std::string line;
    std::getline(text, line);
    EXPECT_EQ(line, "TarvoCulling 9.8.7: the script commands");
    std::vector<std::string> headings;
    std::vector<std::string> paragraphs;
    std::string paragraph;
    while (std::getline(text, line)) {
        if (line.starts_with("    ")) {
            EXPECT_LE(line.size(), 80u) << line;
            paragraph += (paragraph.empty() ? "" : " ") + line.substr(4);
            continue;
        }
        if (!paragraph.empty()) paragraphs.push_back(paragraph);
        paragraph.clear();
        if (!line.empty()) headings.push_back(line);
    }
    ASSERT_EQ(headings.size(), kCommandTable.size());
    ASSERT_EQ(paragraphs.size(), kCommandTable.size() + 1);  // the types first
    for (std::size_t i = 0; i < kCommandTable.size(); ++i) {
        const CommandSignature sig = signatureOf(kCommandTable[i]);
        EXPECT_TRUE(headings[i].starts_with(std::string(sig.scriptName) + "(")) << headings[i];
        EXPECT_EQ(headings[i].find(" -> ") != std::string::npos, sig.result != 0) << headings[i];
        EXPECT_EQ(paragraphs[i + 1], kCommandTable[i].reference);
    }
}

}  // namespace
}  // namespace tarvo
