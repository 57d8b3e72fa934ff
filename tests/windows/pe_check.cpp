// Checks a built TarvoCulling.dll as the engine and Windows will meet it:
// a 32-bit DLL exporting exactly the 61 undecorated command names, importing
// only Windows system DLLs, and carrying the command table as a string table
// in English (United Kingdom) that matches src/commands/command_table.h.
//
// Usage: pe_check DLL      prints a summary; exit status 1 on any fault
#include <algorithm>
#include <cctype>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "commands/command_table.h"
#include "pe_image.h"

namespace {

constexpr uint32_t kEnglishUk = 2057;

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// What a Windows installation has of its own; the language runtime must be
// inside the plug-in, not beside it.
bool systemDll(const std::string& name) {
    static const std::set<std::string> kSystem = {"kernel32.dll", "msvcrt.dll", "user32.dll",
                                                  "advapi32.dll", "ntdll.dll"};
    return kSystem.count(lower(name)) != 0;
}

std::string narrow(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: pe_check DLL\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    std::string why;
    const auto image = tarvo::pe::readImage(bytes, &why);
    if (!image) {
        std::cerr << argv[1] << ": " << why << '\n';
        return 1;
    }
    int faults = 0;
    const auto fault = [&](const std::string& text) {
        ++faults;
        std::cerr << argv[1] << ": " << text << '\n';
    };

    if (image->machine != 0x14C) fault("machine is not i386");
    if (!image->isDll) fault("not a DLL");

    std::vector<std::string> expected;
    for (const auto& command : tarvo::kCommandTable) {
        expected.emplace_back(tarvo::signatureOf(command).exportName);
    }
    std::vector<std::string> exported = image->exports;
    std::sort(expected.begin(), expected.end());
    std::sort(exported.begin(), exported.end());
    if (exported != expected) {
        fault("exports " + std::to_string(exported.size()) + " names, not the 61 commands");
        for (const auto& name : exported) {
            if (!std::binary_search(expected.begin(), expected.end(), name)) fault("extra " + name);
        }
        for (const auto& name : expected) {
            if (!std::binary_search(exported.begin(), exported.end(), name))
                fault("missing " + name);
        }
    }

    for (const auto& name : image->imports) {
        if (!systemDll(name)) fault("imports " + name);
    }

    // Strings 0 to 63 in four blocks; 0, 62 and 63 empty.
    std::vector<std::u16string> strings(64);
    std::set<uint32_t> blocks;
    for (const auto& block : image->stringBlocks) {
        if (block.language != kEnglishUk) {
            fault("string block " + std::to_string(block.block) + " in language " +
                  std::to_string(block.language));
        }
        if (block.block < 1 || block.block > 4 || !blocks.insert(block.block).second) {
            fault("unexpected string block " + std::to_string(block.block));
            continue;
        }
        for (size_t i = 0; i < 16; ++i) strings[(block.block - 1) * 16 + i] = block.strings[i];
    }
    if (blocks.size() != 4) fault("string blocks: " + std::to_string(blocks.size()) + ", not 4");
    for (size_t id : {0u, 62u, 63u}) {
        if (!strings[id].empty()) fault("string " + std::to_string(id) + " is not empty");
    }
    for (const auto& command : tarvo::kCommandTable) {
        const std::u16string& text = strings[static_cast<size_t>(command.id)];
        const std::u16string want(command.declaration.begin(), command.declaration.end());
        if (text != want) {
            fault("string " + std::to_string(command.id) + " is \"" + narrow(text) + "\", not \"" +
                  std::string(command.declaration) + "\"");
        }
    }

    std::cout << argv[1] << ": " << bytes.size() << " bytes, " << image->exports.size()
              << " exports, imports";
    for (const auto& name : image->imports) std::cout << ' ' << name;
    std::cout << ", " << image->stringBlocks.size() << " string blocks\n";
    return faults == 0 ? 0 : 1;
}
