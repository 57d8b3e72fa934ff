// Writes the Windows plug-in's module-definition file, its resource script
// (the command table as a string table, and the version) and the script
// authors' command reference from the command list, so that none is kept by
// hand. Built and run on the build machine, also when the plug-in is
// cross-compiled.
//
// Usage: resource_gen VERSION RC-FILE DEF-FILE REFERENCE-FILE
#include <array>
#include <charconv>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include "commands/command_table.h"
#include "commands/windows/command_reference.h"

namespace {

// "1.2.3" as the four numbers of a version resource, "1,2,3,0".
std::optional<std::string> versionNumbers(std::string_view version) {
    std::array<unsigned, 4> parts{};
    std::size_t count = 0;
    const char* at = version.data();
    const char* const end = version.data() + version.size();
    while (count < parts.size()) {
        const auto [next, error] = std::from_chars(at, end, parts[count]);
        if (error != std::errc() || parts[count] > 0xFFFF) return std::nullopt;
        ++count;
        at = next;
        if (at == end) break;
        if (*at++ != '.') return std::nullopt;
    }
    if (at != end) return std::nullopt;
    return std::to_string(parts[0]) + "," + std::to_string(parts[1]) + "," +
           std::to_string(parts[2]) + "," + std::to_string(parts[3]);
}

// The standard version resource, in the string table's language. The
// recording flavour compiles the same script with TARVO_RECORDING defined, and
// says so wherever a file's properties show it: the special-build flag and
// text, its description and its file version.
std::string versionResource(std::string_view version, std::string_view numbers) {
    std::ostringstream rc;
    rc << "1 VERSIONINFO\n"
          "FILEVERSION "
       << numbers << "\nPRODUCTVERSION " << numbers
       << "\n"
          "FILEFLAGSMASK VS_FFI_FILEFLAGSMASK\n"
          "#ifdef TARVO_RECORDING\n"
          "FILEFLAGS VS_FF_SPECIALBUILD\n"
          "#else\n"
          "FILEFLAGS 0\n"
          "#endif\n"
          "FILEOS VOS_NT_WINDOWS32\n"
          "FILETYPE VFT_DLL\n"
          "FILESUBTYPE VFT2_UNKNOWN\n"
          "BEGIN\n"
          "    BLOCK \"StringFileInfo\"\n"
          "    BEGIN\n"
          // English (United Kingdom), Unicode.
          "        BLOCK \"080904b0\"\n"
          "        BEGIN\n"
          "#ifdef TARVO_RECORDING\n"
          "            VALUE \"FileDescription\", \"TarvoCulling visibility culling, recording "
          "flavour (journals every command)\"\n"
          "            VALUE \"FileVersion\", \""
       << version
       << " recording\"\n"
          "            VALUE \"SpecialBuild\", \"recording: journals every command to the file "
          "TARVO_CULLING_JOURNAL names\"\n"
          "#else\n"
          "            VALUE \"FileDescription\", \"TarvoCulling visibility culling\"\n"
          "            VALUE \"FileVersion\", \""
       << version
       << "\"\n"
          "#endif\n"
          "            VALUE \"InternalName\", \"TarvoCulling\"\n"
          "            VALUE \"LegalCopyright\", \"Copyright (c) 2026 The TarvoCulling "
          "developers\"\n"
          "            VALUE \"OriginalFilename\", \"TarvoCulling.dll\"\n"
          "            VALUE \"ProductName\", \"TarvoCulling\"\n"
          "            VALUE \"ProductVersion\", \""
       << version
       << "\"\n"
          "        END\n"
          "    END\n"
          "    BLOCK \"VarFileInfo\"\n"
          "    BEGIN\n"
          "        VALUE \"Translation\", 0x809, 1200\n"
          "    END\n"
          "END\n";
    return rc.str();
}

std::string resourceScript(std::string_view version, std::string_view numbers) {
    std::ostringstream rc;
    rc << "// Generated from the command list; edit src/commands/command_list.h instead.\n"
          "#include <winresrc.h>\n\n"
          // 2057: the language the host's script compiler looks the table up in.
          "LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_UK\n"
          "STRINGTABLE\n"
          "BEGIN\n"
          "    0 \"\"\n";
    for (const auto& command : tarvo::kCommandTable) {
        rc << "    " << command.id << " \"" << command.declaration << "\"\n";
    }
    rc << "END\n\n" << versionResource(version, numbers);
    return rc.str();
}

std::string moduleDefinition() {
    std::ostringstream def;
    def << "; Generated from the command list; edit src/commands/command_list.h instead.\n"
           "LIBRARY TarvoCulling.dll\n"
           "EXPORTS\n";
    for (const auto& command : tarvo::kCommandTable) {
        def << "    " << tarvo::signatureOf(command).exportName << "\n";
    }
    return def.str();
}

// Leaves an unchanged file alone so that the build does not relink for nothing.
bool writeIfChanged(const char* path, const std::string& text) {
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream old;
        old << in.rdbuf();
        if (in && old.str() == text) return true;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: resource_gen VERSION RC-FILE DEF-FILE REFERENCE-FILE\n";
        return 2;
    }
    const std::string_view version = argv[1];
    const std::optional<std::string> numbers = versionNumbers(version);
    if (!numbers) {
        std::cerr << "resource_gen: version " << version << " is not up to four numbers\n";
        return 2;
    }
    if (!writeIfChanged(argv[2], resourceScript(version, *numbers)) ||
        !writeIfChanged(argv[3], moduleDefinition()) ||
        !writeIfChanged(argv[4], tarvo::commandReferenceText(version))) {
        std::cerr << "resource_gen: cannot write output\n";
        return 1;
    }
    return 0;
}
