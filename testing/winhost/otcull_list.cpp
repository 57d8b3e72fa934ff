#include "otcull_list.h"

#include <windows.h>

#include <exception>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string_view>
#include <vector>

#include "cli/verbs.h"

namespace standin {
namespace {

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');) out.push_back(field);
    return out;
}

// Writes NAME.out and NAME.err as the run goes, then NAME.status.
bool runOne(const std::vector<std::string>& run) {
    const std::vector<std::string_view> args(run.begin() + 1, run.end());
    std::ofstream out(run[0] + ".out", std::ios::binary);
    std::ofstream err(run[0] + ".err", std::ios::binary);
    std::istringstream noInput;
    std::string status;
    try {
        status = std::to_string(tarvo::otcullMain(args, noInput, out, err));
    } catch (const std::exception& e) {
        status = std::string("exception: ") + e.what();
    }
    std::ofstream statusFile(run[0] + ".status", std::ios::binary);
    statusFile << status << '\n';
    return out.flush() && err.flush() && statusFile.flush();
}

}  // namespace

int runOtcullList(const std::string& list) {
    std::ifstream in(list, std::ios::binary);
    std::vector<std::vector<std::string>> runs;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) runs.push_back(fields(line));
    }
    const std::string folder = list.substr(0, list.find_last_of("/\\") + 1);
    if (!in.eof() || (!folder.empty() && !SetCurrentDirectoryA(folder.c_str()))) {
        std::cerr << "winhost: cannot read the runs in " << list << '\n';
        return 1;
    }
    int failed = 0;
    for (const auto& run : runs) {
        if (!runOne(run)) {
            std::cerr << "winhost: cannot write the results of " << run[0] << '\n';
            failed = 1;
        }
    }
    std::cerr << "otcull: " << runs.size() << " runs\n";
    return failed;
}

}  // namespace standin
