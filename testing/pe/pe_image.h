// Reads what the plug-in's checks need out of a 32-bit PE file: machine and
// kind, exported names, imported DLL names, the string-table resources and
// the version resources.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tarvo::pe {

struct StringBlock {
    uint32_t block;     // resource name: strings (block - 1) * 16 to block * 16 - 1
    uint32_t language;  // e.g. 2057
    std::vector<std::u16string> strings;  // the sixteen strings, empty where absent
};

struct VersionResource {
    uint32_t name = 0;
    uint32_t language = 0;
    bool fixedInfo = false;           // VS_FIXEDFILEINFO present with its signature
    uint32_t fileVersion[2] = {};     // most and least significant words
    uint32_t productVersion[2] = {};  // most and least significant words
    uint32_t fileFlags = 0;           // VS_FF_SPECIALBUILD (0x20) and the like
    uint32_t fileType = 0;            // 1 for a program, 2 for a DLL
    // StringFileInfo: the string table's key (e.g. "080904b0") and its values.
    std::u16string stringTableKey;
    std::map<std::u16string, std::u16string> strings;
};

struct Image {
    uint16_t machine = 0;        // 0x14C for i386
    uint16_t optionalMagic = 0;  // 0x10B for PE32
    bool isDll = false;
    std::vector<std::string> exports;
    std::vector<std::string> imports;
    std::vector<StringBlock> stringBlocks;
    std::vector<VersionResource> versions;
    std::vector<uint32_t> resourceTypes;  // every resource type present, in directory order
};

// nullopt with a reason in *why when the bytes are not a PE file we can read.
std::optional<Image> readImage(const std::vector<uint8_t>& bytes, std::string* why);

}  // namespace tarvo::pe
