// Every program in the fuzzer's checked-in corpus, replayed through the
// differential harness on every build, sanitized builds included: whatever
// the fuzzer once found stays found.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "differential/differential.h"

namespace tarvo::reliability {
namespace {

TEST(FuzzCorpus, EveryProgramAgreesWithTheModel) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(TARVO_CORPUS_DIR)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty()) << "no corpus in " << TARVO_CORPUS_DIR;
    for (const auto& path : files) {
        std::ifstream in(path, std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                         std::istreambuf_iterator<char>()};
        std::string divergence;
        {
            Differential run;
            divergence = run.runProgram(bytes, nullptr);
        }
        if (divergence.empty()) continue;
        std::vector<std::string> trace;
        {
            Differential run;
            run.runProgram(bytes, &trace);
        }
        std::string text;
        for (const std::string& line : trace) text += "  " + line + "\n";
        ADD_FAILURE() << path.filename() << ": " << divergence << "\n" << text;
    }
}

}  // namespace
}  // namespace tarvo::reliability
