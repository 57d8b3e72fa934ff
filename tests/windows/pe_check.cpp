// Checks a built TarvoCulling.dll as the engine and Windows will meet it:
// a 32-bit DLL exporting exactly the 61 undecorated command names, importing
// only Windows system DLLs, carrying the command table as a string table in
// English (United Kingdom) that matches src/commands/command_table.h, and a
// version resource with the project's version, the file's own name and the
// copyright line. The recording flavour must say what it is: the special-build
// flag and text, and "recording" in its file version. otcull.exe, shipped
// beside them, must be a 32-bit program needing nothing but Windows itself.
//
// Usage: pe_check [--recording] DLL    prints a summary; exit status 1 on any fault
//        pe_check --program EXE
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "commands/command_table.h"
#include "pe/pe_image.h"

namespace {

constexpr uint32_t kEnglishUk = 2057;
constexpr uint32_t kSpecialBuild = 0x20;  // VS_FF_SPECIALBUILD
constexpr std::string_view kCopyright = "Copyright (c) 2026 The TarvoCulling developers";

enum class Flavour { kShipped, kRecording };

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// What a Windows installation has of its own; the language runtime must be
// inside the plug-in, not beside it. otcull.exe also opens pages through the
// shell.
bool systemDll(const std::string& name, bool program) {
    static const std::set<std::string> kSystem = {"kernel32.dll", "msvcrt.dll", "user32.dll",
                                                  "advapi32.dll", "ntdll.dll"};
    static const std::set<std::string> kShell = {"shell32.dll", "ole32.dll"};
    return kSystem.count(lower(name)) != 0 || (program && kShell.count(lower(name)) != 0);
}

std::string narrow(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

std::u16string widen(std::string_view text) {
    return std::u16string(text.begin(), text.end());
}

// "1.2.3" as a version resource's two words: 1.2 and 3.0.
std::array<uint32_t, 2> versionWords(const char* version) {
    unsigned part[4] = {};
    std::sscanf(version, "%u.%u.%u.%u", &part[0], &part[1], &part[2], &part[3]);
    return {part[0] << 16 | part[1], part[2] << 16 | part[3]};
}

template <typename Fault>
void checkVersion(const std::vector<tarvo::pe::VersionResource>& versions, Flavour flavour,
                  Fault fault) {
    if (versions.size() != 1) {
        fault("version resources: " + std::to_string(versions.size()) + ", not 1");
        return;
    }
    const tarvo::pe::VersionResource& v = versions.front();
    if (v.name != 1 || v.language != kEnglishUk) {
        fault("version resource " + std::to_string(v.name) + " in language " +
              std::to_string(v.language));
    }
    const std::array<uint32_t, 2> want = versionWords(TARVO_VERSION);
    if (!v.fixedInfo) fault("version resource without its fixed file information");
    if (v.fileVersion[0] != want[0] || v.fileVersion[1] != want[1] ||
        v.productVersion[0] != want[0] || v.productVersion[1] != want[1]) {
        fault("file or product version is not " TARVO_VERSION);
    }
    if (v.fileType != 2) fault("version resource does not describe a DLL");
    if (v.stringTableKey != u"080904b0") fault("version strings are not English (UK), Unicode");
    const auto value = [&](const char16_t* key) {
        const auto found = v.strings.find(key);
        return found == v.strings.end() ? std::u16string() : found->second;
    };
    const bool recording = flavour == Flavour::kRecording;
    const std::pair<const char16_t*, std::string_view> exact[] = {
        {u"FileVersion", recording ? TARVO_VERSION " recording" : TARVO_VERSION},
        {u"ProductVersion", TARVO_VERSION},
        {u"ProductName", "TarvoCulling"},
        {u"OriginalFilename", "TarvoCulling.dll"},
        {u"LegalCopyright", kCopyright},
    };
    for (const auto& [key, text] : exact) {
        if (value(key) != widen(text)) {
            fault("version string " + narrow(key) + " is \"" + narrow(value(key)) + "\", not \"" +
                  std::string(text) + "\"");
        }
    }
    if (value(u"FileDescription").empty()) fault("version resource without a description");
    if (((v.fileFlags & kSpecialBuild) != 0) != recording) {
        fault(recording ? "the recording flavour lacks the special-build flag"
                        : "the shipped flavour has the special-build flag");
    }
    const std::string special = narrow(value(u"SpecialBuild"));
    if (recording && special.find("TARVO_CULLING_JOURNAL") == std::string::npos) {
        fault("special-build text \"" + special + "\" does not name TARVO_CULLING_JOURNAL");
    }
    if (!recording && !special.empty()) fault("the shipped flavour has a special-build text");
}

// Strings 0 to 63 in four blocks; 0, 62 and 63 empty, the others the
// command table's declarations byte for byte.
template <typename Fault>
void checkStringTable(const tarvo::pe::Image& image, Fault fault) {
    std::vector<std::u16string> strings(64);
    std::set<uint32_t> blocks;
    for (const auto& block : image.stringBlocks) {
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
}

// The exports, imports and resources the engine and Windows read.
template <typename Fault>
void checkPlugin(const tarvo::pe::Image& image, Flavour flavour, Fault fault) {
    if (!image.isDll) fault("not a DLL");
    std::vector<std::string> expected;
    for (const auto& command : tarvo::kCommandTable) {
        expected.emplace_back(tarvo::signatureOf(command).exportName);
    }
    std::vector<std::string> exported = image.exports;
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

    for (const auto& name : image.imports) {
        if (!systemDll(name, false)) fault("imports " + name);
    }

    checkStringTable(image, fault);
    if (image.resourceTypes != std::vector<uint32_t>{6, 16}) {
        fault("resource types are not exactly the string table (6) and the version (16)");
    }
    checkVersion(image.versions, flavour, fault);
}

template <typename Fault>
void checkProgram(const tarvo::pe::Image& image, Fault fault) {
    if (image.isDll) fault("a DLL, not a program");
    for (const auto& name : image.imports) {
        if (!systemDll(name, true)) fault("imports " + name);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view mode = argc == 3 ? argv[1] : "";
    if (argc < 2 || argc > 3 || (argc == 3 && mode != "--recording" && mode != "--program")) {
        std::cerr << "usage: pe_check [--recording] DLL | --program EXE\n";
        return 2;
    }
    const char* file = argv[argc - 1];
    std::ifstream in(file, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    std::string why;
    const auto image = tarvo::pe::readImage(bytes, &why);
    if (!image) {
        std::cerr << file << ": " << why << '\n';
        return 1;
    }
    int faults = 0;
    const auto fault = [&](const std::string& text) {
        ++faults;
        std::cerr << file << ": " << text << '\n';
    };
    if (image->machine != 0x14C) fault("machine is not i386");
    if (mode == "--program") {
        checkProgram(*image, fault);
    } else {
        checkPlugin(*image, mode == "--recording" ? Flavour::kRecording : Flavour::kShipped, fault);
    }

    std::cout << file << ": " << bytes.size() << " bytes, " << image->exports.size()
              << " exports, imports";
    for (const auto& name : image->imports) std::cout << ' ' << name;
    std::cout << ", " << image->stringBlocks.size() << " string blocks, " << image->versions.size()
              << " version resource\n";
    return faults == 0 ? 0 : 1;
}
